#pragma once
// The overlays drawn over the game without touching it: the automap (Tab), the key help (F1),
// the message log (F2), the message speed (F5) and the save slots (F6, core/save_slots.h). Their
// keys are caught before the key-line editor, so no screen ever sees them; closing an overlay gives
// back the picture and the text column exactly as they were.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace duskwend {

struct Game;

// Virtual-key codes of the overlay keys.
constexpr int16_t VK_TAB = 9, VK_F1 = 112, VK_F2 = 113, VK_F5 = 116, VK_F6 = 117;

constexpr int OVERLAY_NONE = 0, OVERLAY_AUTOMAP = 1, OVERLAY_KEY_HELP = 2, OVERLAY_MESSAGE_LOG = 3,
              OVERLAY_SAVE_SLOTS = 4, OVERLAY_NOTICE = 5;
constexpr int MESSAGE_LOG_SIZE = 500;

inline constexpr const char* AUTOMAP_FILE = "Automap.dat";
inline constexpr const char* SETTINGS_FILE = "settings.ini";

// The key for the overlays: true when it was theirs (an overlay key, or any key while an
// overlay is shown), and then the game underneath never sees it.
bool sub_overlay_key(Game& g, int16_t key_code, int shift);

// Marks the party's square and the squares of the view as seen on the current map; does
// nothing outside the city.
void sub_automap_note(Game& g);

// Adds one line shown in the message area to the log, dropping the oldest past 500. A line
// that repeats the one before is not added again: that one gets a count, "... (×7)".
void sub_log_message_line(Game& g, const std::string& line);

// The message pause after `current` in the cycle 0.5, 0.25, 0.1, 1 seconds (0.5 after any
// other value).
double next_message_speed(double current);
std::string message_speed_text(double seconds); // "0.25 s"

// The automap file: saved atomically (a .new file renamed over the old); false when it could
// not be written. Loading a missing or damaged file leaves every map empty.
bool sub_save_automap(const Game& g);
// A file larger than the world's maps need, or naming a map the world does not have, is
// damaged too.
void sub_load_automap(Game& g);
// The automap held by a file's text, for a world of `maps` maps; empty when damaged.
std::map<int16_t, std::vector<uint8_t>> parse_automap(std::string_view text, int maps);
// The largest automap file a world of `maps` maps can have.
std::size_t automap_size_limit(int maps);

// The settings file holds a few short lines; one larger than this is not read.
constexpr std::size_t SETTINGS_SIZE_LIMIT = 4096;

// The settings file in the save folder: the message pause; nothing when absent or unreadable.
std::optional<double> read_settings_delay(const std::filesystem::path& save_dir);
// Writes the message pause into the settings file; the file's other lines stay as they were.
bool write_settings_delay(const std::filesystem::path& save_dir, double seconds);
// One setting of the settings file, a line "name = value" (blanks around the "=" are allowed);
// nothing when the file or the line is absent.
std::optional<std::string> read_setting(const std::filesystem::path& save_dir,
                                        const std::string& name);

} // namespace duskwend
