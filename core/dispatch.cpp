#include "core/dispatch.h"

#include "core/game.h"
#include "core/one_time_step.h"
#include "core/output.h"
#include "core/overlays.h"
#include "core/pictures.h"
#include "core/rules.h"
#include "core/screens.h"
#include "core/typed_keys.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <stdexcept>

namespace duskwend {

namespace {

void set_default_character(CharacterRec& c, int16_t in_use, const char* name, int16_t class_id,
                           int32_t experience, std::array<int16_t, 8> attributes,
                           int16_t hit_points, std::array<int16_t, 5> resistances, int16_t right,
                           int16_t left, int16_t body, std::array<int16_t, 5> thief_skills) {
    c = CharacterRec{};
    c.in_use = in_use;
    c.name = name;
    c.class_id = class_id;
    c.sex = 1;
    c.level = 1;
    c.experience = experience;
    c.crowns = 100;
    c.bank = -100;
    c.race = RACE_HUMAN;
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k) attribute(c, k) = attributes[k];
    c.hit_points = c.max_hit_points = hit_points;
    for (int k = 0; k < 5; ++k) c.resistances[k + 1] = resistances[k];
    c.right_hand = {right, 1, 0};
    c.left_hand = {left, 1, 0};
    c.body = body;
    c.pack[0] = {1, 1, 0};
    c.thief_skills = thief_skills;
}

// The slots of each location's screen. The city's key is dispatched on its own: the map's turn
// events may follow it.
using Slot = std::function<void(Game&)> ScreenProcedures::*;
struct LocationScreen {
    int location;
    Slot key, draw;
};
constexpr LocationScreen LOCATION_SCREENS[] = {
    {LOCATION_GUILD_HALL, &ScreenProcedures::guild_hall_key, &ScreenProcedures::draw_guild_hall},
    {LOCATION_CITY, nullptr, &ScreenProcedures::draw_city},
    {LOCATION_SHOP, &ScreenProcedures::shop_key, &ScreenProcedures::draw_shop},
    {LOCATION_TEMPLE, &ScreenProcedures::temple_key, &ScreenProcedures::draw_temple},
    {LOCATION_REVIEW, &ScreenProcedures::review_board_key, &ScreenProcedures::draw_review_board},
};

// The current location's entry; none for a location the game does not have.
const LocationScreen* location_screen(const Game& g) {
    const auto s =
        std::ranges::find(LOCATION_SCREENS, g.current_location, &LocationScreen::location);
    return s == std::end(LOCATION_SCREENS) ? nullptr : s;
}

} // namespace

void Form_Load(Game& g) {
    // A game without its screens would take every key and show nothing: a program that starts
    // one has forgotten screens/register_screens.
    if (!g.screens.complete())
        throw std::logic_error("the game was started without its screens (register_screens)");
    load_main_picture(g, "tavern.bmp");
    sub_check_pictures(g);
    sub_initialise(g);
    sub_render_screen(g);
}

void sub_initialise(Game& g) {
    g.rng.seed(g.start_seed ? *g.start_seed : clock_seed());
    g.quit_requested = 0;
    g.input_line.clear();
    g.keys_enabled = 1;
    g.upper_case_input = -1;
    g.backspace_pressed = 0;
    g.current_location = LOCATION_GUILD_HALL;
    g.location_step = 0;
    g.message_delay = g.start_message_delay ? *g.start_message_delay : 0.5;
    sub_set_default_roster(g);
    sub_open_data_files(g);
    g.move_count = 0;
}

void sub_set_default_roster(Game& g) {
    // Entry 10 is left as it is.
    for (int e = 0; e <= 9; ++e) {
        CharacterRec& c = g.roster[e];
        c.in_use = 0;
        c.name = "";
        c.class_id = CLASS_FIGHTER;
        c.race = RACE_HUMAN;
        for (int k = 0; k < ATTRIBUTE_COUNT; ++k) attribute(c, k) = 0;
    }
    set_default_character(g.roster[0], 1, "Corvath", CLASS_FIGHTER, 1001,
                          {16, 10, 9, 12, 14, 15, 9, 11}, 10, {13, 13, 12, 12, 12}, 3, 10, 13,
                          {0, 0, 0, 0, 0});
    set_default_character(g.roster[1], 2, "Tallow", CLASS_THIEF, 1, {12, 8, 9, 16, 15, 14, 11, 13},
                          6, {10, 10, 10, 12, 12}, 2, 9, 12, {25, 30, 20, 30, 20});
    g.game_flags.fill(0);
}

void Form_KeyDown(Game& g, int16_t& key_code, int shift) {
    // Keys are taken only while keys_enabled is exactly 1, not merely on. The overlays' keys
    // never reach the key line or a screen.
    const bool keys_taken = is_on(g.keys_enabled);
    if (keys_taken && sub_overlay_key(g, key_code, shift)) {
        key_code = 0;
        return;
    }
    if (keys_taken) {
        bool dispatch = true;
        switch (key_code) {
        case VK_BACK:
            g.backspace_pressed = -1;
            if (!g.input_line.empty()) g.input_line.pop_back();
            break;
        case VK_SHIFT:
        case VK_CAPITAL:
            dispatch = false;
            break;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
            g.input_line += "-U+D"[key_code - VK_LEFT];
            g.backspace_pressed = 0;
            break;
        default:
            g.backspace_pressed = 0;
            // Shift alone turns a letter key into its small letter (and a digit into whatever
            // lies 32 codes above it).
            if (shift == SHIFT_MASK) key_code = static_cast<int16_t>(key_code + 32);
            g.input_line += static_cast<char>(key_code);
            break;
        }
        if (dispatch) {
            if (is_on(g.upper_case_input))
                for (char& ch : g.input_line)
                    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            sub_dispatch_input(g);
            if (!is_on(g.quit_requested)) sub_render_screen(g);
            sub_automap_note(g);
        }
        key_code = 0;
    }
    // With quit_requested = 1 the platform closes the window after this key.
}

void sub_dispatch_input(Game& g) {
    if (g.sheet_member > 0) {
        run_screen(g.screens.character_sheet_key, g);
    } else {
        // While a fight asks for an item or a member, a digit is that choice.
        const bool digits_open_sheets = g.combat_step != COMBAT_USE_WHAT &&
                                        g.combat_step != COMBAT_USE_ON &&
                                        g.combat_step != COMBAT_CAST_ON_MEMBER;
        if (const int d = key_digit(g.input_line); digits_open_sheets && d >= 1 && d <= MAX_PARTY) {
            g.sheet_member = static_cast<int16_t>(d);
            if (g.party[g.sheet_member - 1].in_use == 0) {
                g.sheet_member = 0;
                g.sheet_step = 0;
            }
            g.input_line.clear();
        }
        // A digit that opened a sheet is not a key of the screen underneath: a fight waiting
        // for "any key" must not move on because a sheet was opened over it.
        const bool key_for_screen = !g.input_line.empty() || is_on(g.backspace_pressed);
        if (key_for_screen) sub_key_reached_screen(g);
        // Keys go to a fight only while combat_active is exactly -1; any value but 0 draws it.
        if (is_on(g.combat_active)) {
            if (key_for_screen) run_screen(g.screens.combat_key, g);
        } else if (key_for_screen && g.current_location == LOCATION_CITY) {
            if (g.screens.city_key && g.screens.city_key(g) != 0)
                run_screen(g.screens.map_turn_events, g);
        } else if (key_for_screen) {
            if (const LocationScreen* s = location_screen(g); s && s->key)
                run_screen(g.screens.*s->key, g);
        }
    }
    g.input_line.clear();
}

void sub_render_screen(Game& g) {
    g.waits_for_any_key = false; // the draw procedure says so again when it still waits
    sub_update_party_stats(g);
    sub_display_char_status(g);
    if (g.sheet_member >= 1) {
        run_screen(g.screens.draw_character_sheet, g);
    } else if (is_on(g.combat_active)) {
        run_screen(g.screens.draw_combat, g);
    } else if (const LocationScreen* s = location_screen(g)) {
        run_screen(g.screens.*s->draw, g);
    }
}

} // namespace duskwend
