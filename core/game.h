#pragma once
// The whole shared state of the game. Every procedure takes the Game first; tests build as
// many independent Games as they like.

#include "core/datafiles.h"
#include "core/host.h"
#include "core/output_model.h"
#include "core/random.h"
#include "core/records.h"
#include "core/screens.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// current_location: the location whose screen is active when no sheet and no fight is shown.
constexpr int LOCATION_GUILD_HALL = 0, LOCATION_CITY = 1, LOCATION_SHOP = 2, LOCATION_TEMPLE = 3,
              LOCATION_REVIEW = 4;

constexpr int MESSAGE_LINE_COUNT = 27; // lines 0..25 are shown, 26 is never used
constexpr int MESSAGE_LAST_LINE = 25;
constexpr int MESSAGE_WIDTH = 240;

// One monster group of a fight.
struct MonsterGroupRec {
    int16_t monster = 0; // monster number; 0 = no group
    int16_t count = 0;   // living members
    int16_t crowns = 0;
    int16_t experience = 0;
};
constexpr int MONSTER_GROUP_COUNT = 6;

struct Game {
    Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Screen state.
    int16_t current_location = 0;
    int16_t location_step = 0;
    int16_t combat_active = 0; // -1 while a fight runs
    int16_t combat_step = 0;
    int16_t sheet_member = 0; // 1..7: the member whose sheet is open
    int16_t sheet_step = 0;
    std::string input_line;
    int16_t backspace_pressed = 0;
    int16_t upper_case_input = 0;
    int16_t keys_enabled = 0;
    int16_t quit_requested = 0;
    double message_delay = 0;
    int32_t move_count = 0;
    int16_t map_level = 0;
    int16_t party_x = 0, party_y = 0;
    int16_t party_facing = 0; // 0 north, 1 east, 2 south, 3 west
    int16_t party_turned = 0;
    int16_t spell_level_shown = 0;

    // Selections shared by several screens.
    int16_t selected_member = 0;
    int16_t selected_item = 0;
    int16_t building_number = 0;
    int16_t sheet_choice = 0;
    int16_t sheet_target = 0;
    int16_t use_identified = 0;

    // Character creation: the character being made, until it is stored.
    int16_t new_race = 0, new_sex = 0, new_class = 0;
    int16_t new_strength = 0, new_intelligence = 0, new_piety = 0, new_dexterity = 0, new_speed = 0,
            new_vitality = 0, new_personality = 0, new_karma = 0;
    int16_t bonus_points = 0;
    int16_t cursor_line = 0;
    int16_t new_hit_points = 0, new_magic_points = 0;
    std::array<int16_t, 6> new_resistances{};
    std::string new_name;
    std::array<int16_t, 5> new_thief_skills{};
    std::array<int16_t, 101> new_spells{};
    // The guild hall step whose one-time action (take, remove, save, load, a night at the inn,
    // storing a new character) has run, and what it printed: a repaint of that step shows the
    // text again and does not run the action again.
    int16_t guild_step_acted = -1;
    std::vector<TextRun> guild_step_text;

    // The fight.
    std::array<MonsterGroupRec, MONSTER_GROUP_COUNT> monster_groups{};

    // The shared tables.
    std::array<CharacterRec, ROSTER_SIZE> roster{};
    std::array<PartyMemberRec, PARTY_SIZE> party{};
    std::array<int16_t, GAME_FLAG_COUNT> game_flags{};

    // The record most recently fetched from each world file, and the header counts.
    ItemRec item_rec;
    MonsterRec monster_rec;
    ShopRec shop_rec;
    SpellRec spell_rec;
    SpellProgressionRec spell_progression_rec;
    MapRec map_rec;
    int32_t item_count = 0;
    int16_t shop_count = 0, spell_count = 0, spell_progression_count = 0;

    // The message area and the page buffer of the text column.
    std::array<std::string, MESSAGE_LINE_COUNT> message_lines{};
    int16_t message_line = 0; // -1: clear all lines before the next message
    int16_t message_depth = 0;
    std::array<std::string, MESSAGE_LINE_COUNT> page_lines{};
    int16_t page_line = 0;

    // The window's drawing surfaces.
    Form Form1;

    // The procedure of every screen, for the dispatchers.
    ScreenProcedures screens;

    // The machine: files, random numbers, the host that presents and pauses.
    DataFiles data_files;
    Random rng;
    // Start-up values chosen on the command line; none: the game's own (the clock, 0.5 s).
    std::optional<uint64_t> start_seed;
    std::optional<double> start_message_delay;
    Host* host; // never null; a do-nothing host until the platform sets its own
    const FontMetrics* font() const { return Form1.Text.font; }
    void set_font(const FontMetrics* f);

  private:
    Host default_host_;
};
