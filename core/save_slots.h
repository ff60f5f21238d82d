#pragma once
// Save slots: nine places in the save folder where the player keeps copies of the saved game
// (slots/1 .. slots/9), and three the game keeps itself with the last three saved games
// (slots/auto1 .. slots/auto3), so that a save can be undone. A slot holds the three save
// files and the automap, each slot one file written atomically; a slot that does not read back
// whole is refused and nothing changes. The overlay (F6) lists them at the guild hall.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace duskwend {

struct Game;

constexpr int SLOT_COUNT = 9, AUTO_SLOT_COUNT = 3;
inline constexpr const char* SLOTS_FOLDER = "slots";

// A slot's file name: "1".."9" for the player's slots, "auto1".."auto3" for the game's.
std::string slot_name(int number);
std::string auto_slot_name(int number);

// What the list shows of a slot.
struct SlotSummary {
    enum State { empty, damaged, sound } state = empty;
    int64_t saved_at = 0;                             // seconds since 1970
    int16_t map = 0;                                  // the map the party walked last
    std::vector<std::pair<std::string, int>> members; // name (trimmed) and level
};
SlotSummary sub_read_slot_summary(const Game& g, const std::string& slot);

enum class SlotResult { done, no_saved_game, empty, damaged, failed };

// Copies the current saved game (a save left half-done is finished first) into the slot.
SlotResult sub_keep_saved_game(Game& g, const std::string& slot);

// Makes the slot the current saved game and loads it as the guild hall's L does: roster,
// party, flags and automap. A missing or damaged slot changes nothing; neither does one whose
// files cannot be written (the game in memory is given back as it was).
SlotResult sub_restore_slot(Game& g, const std::string& slot);

// Keeps the current saved game as the newest automatic slot, the older ones moving down one
// and the oldest dropped; nothing when the newest already holds it.
void sub_keep_automatic_slot(Game& g);

// The save-slot overlay: its keys (S or L, then the slot's key; X closes; true when the
// overlay closes) and its drawing.
bool sub_save_slots_key(Game& g, int16_t key_code);
void sub_draw_save_slots(Game& g);

} // namespace duskwend
