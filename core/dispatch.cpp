#include "core/dispatch.h"

#include "core/game.h"
#include "core/one_time_step.h"
#include "core/output.h"
#include "core/overlays.h"
#include "core/pictures.h"
#include "core/rules.h"
#include "core/screens.h"

#include <cctype>
#include <ctime>

namespace {

// Seconds since local midnight, as the clock seed of a fresh start.
uint64_t seconds_since_midnight() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<uint64_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

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
    c.race = 0;
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k) attribute(c, k) = attributes[k];
    c.hit_points = c.max_hit_points = hit_points;
    for (int k = 0; k < 5; ++k) c.resistances[k + 1] = resistances[k];
    c.right_hand = {right, 1, 0};
    c.left_hand = {left, 1, 0};
    c.body = body;
    c.pack[0] = {1, 1, 0};
    c.thief_skills = thief_skills;
}

} // namespace

void Form_Load(Game& g) {
    load_main_picture(g, "tavern.bmp");
    sub_check_pictures(g);
    sub_initialise(g);
    sub_render_screen(g);
}

void sub_initialise(Game& g) {
    g.rng.seed(g.start_seed ? *g.start_seed : seconds_since_midnight());
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
        c.class_id = 0;
        c.race = 0;
        for (int k = 0; k < ATTRIBUTE_COUNT; ++k) attribute(c, k) = 0;
    }
    set_default_character(g.roster[0], 1, "Corvath", 0, 1001, {16, 10, 9, 12, 14, 15, 9, 11}, 10,
                          {13, 13, 12, 12, 12}, 3, 10, 13, {0, 0, 0, 0, 0});
    set_default_character(g.roster[1], 2, "Tallow", 1, 1, {12, 8, 9, 16, 15, 14, 11, 13}, 6,
                          {10, 10, 10, 12, 12}, 2, 9, 12, {25, 30, 20, 30, 20});
    g.game_flags.fill(0);
}

void Form_KeyDown(Game& g, int16_t& key_code, int shift) {
    // The overlays' keys never reach the key line or a screen.
    if (g.keys_enabled == 1 && sub_overlay_key(g, key_code, shift)) {
        key_code = 0;
        return;
    }
    if (g.keys_enabled == 1) {
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
            if (g.upper_case_input != 0)
                for (char& ch : g.input_line)
                    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            sub_dispatch_input(g);
            if (g.quit_requested == 0) sub_render_screen(g);
            sub_automap_note(g);
        }
        key_code = 0;
    }
    // With quit_requested = 1 the platform closes the window after this key.
}

void sub_dispatch_input(Game& g) {
    if (g.sheet_member > 0) {
        g.screens.character_sheet_key(g);
    } else {
        const bool digits_open_sheets =
            g.combat_step != 3 && g.combat_step != 4 && g.combat_step != 7;
        if (digits_open_sheets && g.input_line.size() == 1 && g.input_line[0] >= '1' &&
            g.input_line[0] <= '7') {
            g.sheet_member = static_cast<int16_t>(g.input_line[0] - '0');
            if (g.party[g.sheet_member - 1].in_use == 0) {
                g.sheet_member = 0;
                g.sheet_step = 0;
            }
            g.input_line.clear();
        }
        // A digit that opened a sheet is not a key of the screen underneath: a fight waiting
        // for "any key" must not move on because a sheet was opened over it.
        const bool key_for_screen = !g.input_line.empty() || g.backspace_pressed == -1;
        if (key_for_screen) sub_key_reached_screen(g);
        if (g.combat_active == -1) {
            if (key_for_screen) g.screens.combat_key(g);
        } else if (key_for_screen) {
            switch (g.current_location) {
            case LOCATION_GUILD_HALL:
                g.screens.guild_hall_key(g);
                break;
            case LOCATION_CITY:
                if (g.screens.city_key(g) != 0) g.screens.map_turn_events(g);
                break;
            case LOCATION_SHOP:
                g.screens.shop_key(g);
                break;
            case LOCATION_TEMPLE:
                g.screens.temple_key(g);
                break;
            case LOCATION_REVIEW:
                g.screens.review_board_key(g);
                break;
            default:
                break;
            }
        }
    }
    g.input_line.clear();
}

void sub_render_screen(Game& g) {
    g.waits_for_any_key = false; // the draw procedure says so again when it still waits
    sub_update_party_stats(g);
    sub_display_char_status(g);
    if (g.sheet_member >= 1) {
        g.screens.draw_character_sheet(g);
    } else if (g.combat_active != 0) {
        g.screens.draw_combat(g);
    } else {
        switch (g.current_location) {
        case LOCATION_GUILD_HALL:
            g.screens.draw_guild_hall(g);
            break;
        case LOCATION_CITY:
            g.screens.draw_city(g);
            break;
        case LOCATION_SHOP:
            g.screens.draw_shop(g);
            break;
        case LOCATION_TEMPLE:
            g.screens.draw_temple(g);
            break;
        case LOCATION_REVIEW:
            g.screens.draw_review_board(g);
            break;
        default:
            break;
        }
    }
}
