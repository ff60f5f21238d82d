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
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace duskwend {

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
constexpr int GROUP_MEMBERS = 101, MONSTER_ATTRIBUTES = 6, GROUP_EFFECT_SLOTS = 4;
constexpr int MONSTER_HIT_POINTS = 0, MONSTER_INITIATIVE = 1, MONSTER_EFFECT_KIND = 2,
              MONSTER_EFFECT_DURATION = 3, MONSTER_EFFECT_STRENGTH = 4;

// combat_step: the steps of the combat screen (8 and 9 are not used).
constexpr int COMBAT_ENCOUNTER = 0, COMBAT_ACTION_MENU = 1, COMBAT_ATTACK_WHICH = 2,
              COMBAT_USE_WHAT = 3, COMBAT_USE_ON = 4, COMBAT_CAST_WHAT = 5,
              COMBAT_CAST_ON_GROUP = 6, COMBAT_CAST_ON_MEMBER = 7, COMBAT_SUMMARY = 10,
              COMBAT_ROUND = 11, COMBAT_DEFEAT = 12, COMBAT_VICTORY = 13;
// sheet_step: the pages and commands of the character sheet.
constexpr int SHEET_STATS = 0, SHEET_EQUIPMENT = 1, SHEET_EQUIP = 2, SHEET_GIVE_TO = 3,
              SHEET_GIVE_WHAT = 4, SHEET_USE_WHAT = 5, SHEET_USE_ON = 6, SHEET_USE = 7,
              SHEET_ABILITIES = 8, SHEET_SPELLS = 9, SHEET_DESCRIBE_WHAT = 10,
              SHEET_DESCRIPTION = 11, SHEET_CAST_WHAT = 12, SHEET_CAST_ON = 13, SHEET_CAST = 14;
// combat_actions[slot][0] holds a CombatAction (core/codes.h).
// Indexes of action_allowed: 1 offered, 0 not, -1 blocked by berserk rage.
constexpr int ALLOW_ATTACK = 0, ALLOW_DEFEND = 1, ALLOW_USE_ITEM = 2, ALLOW_CAST = 3,
              ALLOW_BERSERK = 5, ALLOW_HIDE = 6, ALLOW_COUNT = 11;
// combat_actions[slot][2], and cast_target in a fight: a spell's target. 11..16 a monster
// group (group + 11), -1 the whole party, 1..7 a party slot plus one. An item's member target
// is -(slot + 1).
constexpr int TARGET_GROUP_BASE = 11, TARGET_PARTY = -1;
// What a cast in a fight resolves that target to, one less: a party slot 0..9, or group + 10.
// sub_possessive and the placing of a spell's effect take this form.
constexpr int CAST_GROUP_BASE = TARGET_GROUP_BASE - 1;

// What a one-time step printed and whether it has acted (core/one_time_step.h).
struct OneTimeStep {
    int16_t screen = -1, step = -1;
    bool acted = false;
    std::vector<TextRun> text;
};

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
    // The step whose one-time action has run since the last key (core/one_time_step.h).
    OneTimeStep one_time_step;

    // The fight.
    int16_t combat_member = 0; // party slot choosing its action; MAX_PARTY: all have chosen
    std::array<MonsterGroupRec, MONSTER_GROUP_COUNT> monster_groups{};
    // [group][member][attribute]: 0 hit points, 1 initiative, 2..4 the member's own effect
    // (kind, duration, strength), 5 unused.
    std::array<std::array<std::array<int16_t, MONSTER_ATTRIBUTES>, GROUP_MEMBERS>,
               MONSTER_GROUP_COUNT>
        monster_state{};
    // [group][slot][duration, kind, strength]: effects on a whole group.
    std::array<std::array<std::array<int16_t, 3>, GROUP_EFFECT_SLOTS>, MONSTER_GROUP_COUNT>
        group_effects{};
    std::array<int16_t, MONSTER_GROUP_COUNT> treasure_items{};
    // [party slot][0 action, 1 object, 2 target, 3 unused]; kept from fight to fight.
    std::array<std::array<int16_t, 4>, PARTY_SIZE> combat_actions{};
    std::array<int16_t, ALLOW_COUNT> action_allowed{};

    // A cast: the inputs the caller sets and what the cast reports (combat/spells.cpp).
    int16_t cast_spell = 0;
    int16_t cast_caster = 0;
    int16_t cast_target = 0;
    int16_t cast_done = 0;
    std::string cast_result;

    // Choosing actions in a fight (combat/combat_screen.cpp): the spell picked from the
    // spell list while its target is chosen.
    int16_t combat_chosen_spell = 0;
    // The item picked to use while its target is chosen; the member's action changes only
    // when a target is chosen, so a refused or abandoned use leaves it as it was.
    int16_t combat_chosen_item = 0;

    // The round and the end of the fight (combat/round.cpp, combat/combat_end.cpp).
    // flee_failed: the party tried to flee and was caught; the round that follows is fought
    // without the party acting.
    int16_t flee_failed = 0;

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

    // The character sheet (charsheet/): the spell chosen for a description or a cast, the
    // place an item is used from (a pack slot 0..9 or USE_FROM_* of core/item_use.h), a line
    // the last sheet key left to read (a refused equip), and the sheet's own one-time latch,
    // kept apart so that the latch of the screen underneath survives a sheet drawn over it.
    int16_t sheet_spell = 0;
    int16_t sheet_use_place = 0;
    std::string sheet_notice;
    OneTimeStep sheet_one_time_step;
    // The selections the screen underneath shares with the sheet (the city's party order uses
    // sheet_choice and sheet_target, a fight's spell menu spell_level_shown, the review board
    // the page buffer), kept from the sheet's first key and given back when it closes.
    struct SheetUnderneath {
        bool saved = false;
        int16_t sheet_choice = 0, sheet_target = 0, spell_level_shown = 0, page_line = 0;
        std::array<std::string, MESSAGE_LINE_COUNT> page_lines{};
    } sheet_underneath;

    // The window's drawing surfaces.
    Form Form1;

    // The procedure of every screen, for the dispatchers; screens/ fills them at start-up.
    ScreenProcedures screens;

    // The machine: files, random numbers, the host that presents and pauses.
    DataFiles data_files;
    Random rng;
    // Start-up values chosen on the command line; none: the game's own (the clock, 0.5 s).
    std::optional<uint64_t> start_seed;
    std::optional<double> start_message_delay;
    // ---- Comforts: the overlays, the automap and the message log (core/overlays.h) ----
    struct Overlays {
        int16_t shown = 0;                   // OVERLAY_*: the overlay over the screen, 0 none
        int16_t log_scroll = 0;              // message log lines scrolled back from the newest
        std::deque<std::string> message_log; // the last lines of the message area
        // Per map number: the squares seen, [x * MAP_SIZE + y], 1 seen.
        std::map<int16_t, std::vector<uint8_t>> automap;
        std::string title; // the window title the last speed change asked for
        // What an open overlay covers, given back when it closes.
        std::vector<TextRun> text_under;
        int text_cursor_x = 0, text_cursor_y = 0, text_colour = 0;
        bool text_bold = false;
        Bitmap picture_under;
        std::string picture_name_under;
        // The save slots: S or L typed and waiting for the slot's key, what the last one
        // did, and whether a slot was loaded (the screen underneath is drawn anew on closing).
        int16_t slot_command = 0;
        std::string slot_status;
        bool slot_loaded = false;
    } overlays;
    // The step shown takes any key to go on (core/any_key.h); the window marks it.
    bool waits_for_any_key = false;
    // ---- end of Comforts ----

    Host* host; // never null; a do-nothing host until the platform sets its own
    const FontMetrics* font() const { return Form1.Text.font; }
    void set_font(const FontMetrics* f);

    // --- Speed (core/pictures.cpp): every picture is decoded once. ---
    // The pictures read so far by path, nothing for one that could not be read, from the host
    // named (a new host starts the cache afresh). A cache of the files, not game state: it is
    // not in the state dump.
    struct PictureCache {
        const Host* host = nullptr;
        std::unordered_map<std::string, std::optional<Bitmap>> pictures;
        // The view's background of each map seen so far (city/map_view.cpp).
        std::unordered_map<int, std::string> map_backgrounds;
    } picture_cache;
    // --- end of Speed ---

  private:
    Host default_host_;
};

// The field lists of Game, walked by the state dump (platform/dumps.cpp) and by anything else
// that must see every piece of state. A visitor is called as v("name", member) for every member
// that is game state, in the state dump's key order, and as v.skip("name") for every member that
// is not (record buffers one fetch overwrites, the machine, caches, what an overlay covers).
// Every member is named one way or the other: a test reads this header and holds the two lists
// to its declarations, so a new member that is in neither fails it.
DUSKWEND_VISITABLE(MonsterGroupRec) {
    v("monster", r.monster);
    v("count", r.count);
    v("crowns", r.crowns);
    v("experience", r.experience);
}

DUSKWEND_VISITABLE(OneTimeStep) {
    v("screen", r.screen);
    v("step", r.step);
    v("acted", r.acted);
    v.skip("text"); // shown again on a repaint; what it shows is in the picture areas
}

DUSKWEND_VISITABLE(Game::SheetUnderneath) {
    v("saved", r.saved);
    v("sheet_choice", r.sheet_choice);
    v("sheet_target", r.sheet_target);
    v("spell_level_shown", r.spell_level_shown);
    v("page_line", r.page_line);
    v("page_lines", r.page_lines);
}

DUSKWEND_VISITABLE(Game::Overlays) {
    v("shown", r.shown);
    v("log_scroll", r.log_scroll);
    v("title", r.title);
    v("automap", r.automap);
    v("message_log", r.message_log);
    // What an open overlay covers, kept only to be drawn back.
    for (const char* name : {"text_under", "text_cursor_x", "text_cursor_y", "text_colour",
                             "text_bold", "picture_under", "picture_name_under"})
        v.skip(name);
    // The save slots' overlay: a command half typed and its last report, gone once it closes.
    for (const char* name : {"slot_command", "slot_status", "slot_loaded"}) v.skip(name);
}

DUSKWEND_VISITABLE(Game) {
    v("current_location", r.current_location);
    v("location_step", r.location_step);
    v("combat_active", r.combat_active);
    v("combat_step", r.combat_step);
    v("sheet_member", r.sheet_member);
    v("sheet_step", r.sheet_step);
    v("input_line", r.input_line);
    v("backspace_pressed", r.backspace_pressed);
    v("upper_case_input", r.upper_case_input);
    v("keys_enabled", r.keys_enabled);
    v("quit_requested", r.quit_requested);
    v("message_delay", r.message_delay);
    v("move_count", r.move_count);
    v("map_level", r.map_level);
    v("party_x", r.party_x);
    v("party_y", r.party_y);
    v("party_facing", r.party_facing);
    v("party_turned", r.party_turned);
    v("spell_level_shown", r.spell_level_shown);
    v("selected_member", r.selected_member);
    v("selected_item", r.selected_item);
    v("building_number", r.building_number);
    v("sheet_choice", r.sheet_choice);
    v("sheet_target", r.sheet_target);
    v("use_identified", r.use_identified);
    v("message_lines", r.message_lines);
    v("message_line", r.message_line);
    v("message_depth", r.message_depth);
    v("page_lines", r.page_lines);
    v("page_line", r.page_line);
    v("sheet_spell", r.sheet_spell);
    v("sheet_use_place", r.sheet_use_place);
    v("sheet_notice", r.sheet_notice);
    v("sheet_one_time_step", r.sheet_one_time_step);
    v("sheet_underneath", r.sheet_underneath);
    v("item_count", r.item_count);
    v("shop_count", r.shop_count);
    v("spell_count", r.spell_count);
    v("spell_progression_count", r.spell_progression_count);
    v("new_race", r.new_race);
    v("new_sex", r.new_sex);
    v("new_class", r.new_class);
    v("new_strength", r.new_strength);
    v("new_intelligence", r.new_intelligence);
    v("new_piety", r.new_piety);
    v("new_dexterity", r.new_dexterity);
    v("new_speed", r.new_speed);
    v("new_vitality", r.new_vitality);
    v("new_personality", r.new_personality);
    v("new_karma", r.new_karma);
    v("bonus_points", r.bonus_points);
    v("cursor_line", r.cursor_line);
    v("new_hit_points", r.new_hit_points);
    v("new_magic_points", r.new_magic_points);
    v("new_resistances", r.new_resistances);
    v("new_name", r.new_name);
    v("new_thief_skills", r.new_thief_skills);
    v("new_spells", r.new_spells);
    v("one_time_step", r.one_time_step);
    v("combat_member", r.combat_member);
    v("monster_groups", r.monster_groups);
    v("monster_state", r.monster_state);
    v("group_effects", r.group_effects);
    v("treasure_items", r.treasure_items);
    v("combat_actions", r.combat_actions);
    v("action_allowed", r.action_allowed);
    v("cast_spell", r.cast_spell);
    v("cast_caster", r.cast_caster);
    v("cast_target", r.cast_target);
    v("cast_done", r.cast_done);
    v("cast_result", r.cast_result);
    v("combat_chosen_spell", r.combat_chosen_spell);
    v("combat_chosen_item", r.combat_chosen_item);
    v("flee_failed", r.flee_failed);
    v("roster", r.roster);
    v("party", r.party);
    v("game_flags", r.game_flags);
    v("overlays", r.overlays);
    // Not game state: the record buffers one fetch overwrites, the drawing surfaces (the text
    // dump shows them), the screens' procedures, the machine and the pictures' cache.
    for (const char* name :
         {"item_rec", "monster_rec", "shop_rec", "spell_rec", "spell_progression_rec", "map_rec",
          "Form1", "screens", "data_files", "rng", "start_seed", "start_message_delay", "host",
          "picture_cache", "default_host_"})
        v.skip(name);
    v.skip("waits_for_any_key"); // the window's waiting mark, never in a dump
}

// A type with a field list: a record or a part of Game (only the type is checked, so any
// visitor will do).
template <class T>
concept HasFieldList = requires(T& t, int& v) {
    visit_fields(t, v);
};

} // namespace duskwend
