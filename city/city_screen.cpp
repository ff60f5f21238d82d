// The city screen: entering, walking and turning, the party order, then the view and the
// events of the party's square after every key.
#include "city/city_screen.h"

#include "city/map_view.h"
#include "city/square_events.h"
#include "core/city_map.h"
#include "core/game.h"
#include "core/output.h"
#include "core/pictures.h"
#include "core/rules.h"
#include "core/screens.h"
#include "core/typed_keys.h"

#include <string>

namespace duskwend {

namespace {

// location_step on the city screen.
constexpr int CITY_ENTER = -1, CITY_WALK = 0, CITY_ORDER_WHO = 1, CITY_ORDER_WHERE = 2;

// The step is made when the side of the square ahead that faces the party is open or of
// wall type 6 or 7; types 1 to 5 block. The side of the square left behind never counts.
void step_forward(Game& g) {
    const Step a = facing_ahead(g.party_facing);
    const int x = g.party_x + a.dx, y = g.party_y + a.dy;
    if (!inside_grid(x, y)) return;
    const int t = wall_type(square_value(g, x, y), side_bit(g.party_facing + 2));
    if (t != 0 && t < 6) return;
    g.party_x = static_cast<int16_t>(x);
    g.party_y = static_cast<int16_t>(y);
}

void walk_key(Game& g) {
    g.party_turned = 0;
    const std::string& key = g.input_line;
    if (key == "-") {
        g.party_turned = 1;
        g.party_facing = static_cast<int16_t>(g.party_facing == 0 ? 3 : g.party_facing - 1);
    } else if (key == "+") {
        g.party_turned = 1;
        g.party_facing = static_cast<int16_t>(g.party_facing >= 3 ? 0 : g.party_facing + 1);
    } else if (key == "U") {
        step_forward(g);
    } else if (key == "D") {
        const int f = g.party_facing + 2;
        g.party_facing = static_cast<int16_t>(f > 3 ? f - 4 : f);
    } else if (key == "N" && sub_count_party_members(g) >= 2) {
        sub_show_message(g, "Move which character?");
        for (int c = 0; c < PARTY_SIZE; ++c)
            if (g.party[c].in_use > 0)
                sub_show_message(g,
                                 std::string(1, char('A' + c)) + ". " + g.party[c].name.trimmed());
        sub_show_message(g, "X. Exit");
        g.location_step = CITY_ORDER_WHO;
    }
}

void order_key(Game& g) {
    const std::string& key = g.input_line;
    if (key == "X") {
        g.location_step = CITY_WALK;
    } else if (g.location_step == CITY_ORDER_WHO) {
        const int c = typed_letter(g, 7);
        if (c >= 0 && g.party[c].in_use > 0) {
            g.sheet_target = static_cast<int16_t>(c);
            sub_show_message(g, "");
            sub_show_message(g, "To Where");
            sub_show_message(g, "A,B,C,D,E,F,G");
            sub_show_message(g, "X. to exit");
            g.location_step = CITY_ORDER_WHERE;
        }
    } else {
        const int t = typed_letter(g, 7);
        if (t >= 0) {
            g.sheet_choice = static_cast<int16_t>(t);
            sub_show_message(g,
                             g.party[g.sheet_target & PARTY_SLOT_MASK].name.trimmed() + " moves.");
            sub_swap_party_members(g, g.sheet_target & PARTY_SLOT_MASK, t);
            sub_compact_party(g);
            g.location_step = CITY_ENTER;
        }
    }
    if (g.location_step == CITY_WALK) sub_show_message(g, "Exited.");
}

// Entering (or re-entering after a party-order move or a building) loads the map the party
// is on: the guild hall sets map_level to 1 on the way out, and a party coming back from a
// shop on map 3 must find itself on map 3, not on map 1 at the same square.
void enter_city(Game& g) {
    sub_load_map(g, map_in_file(g, g.map_level) ? g.map_level : 1);
    Form& f = g.Form1;
    f.mWall = load_picture(g, "w1a.bmp");
    f.mWall2 = load_picture(g, "w1b.bmp");
    f.mLeft = load_picture(g, "l1a.bmp");
    f.mLeft2 = load_picture(g, "l1b.bmp");
    f.mRight = load_picture(g, "r1a.bmp");
    f.mRight2 = load_picture(g, "r1b.bmp");
    f.mainPic.view_walls.clear(); // the next view is drawn from the holders afresh
    g.location_step = CITY_WALK;
}

} // namespace

int sub_city_key(Game& g) {
    if (g.location_step <= CITY_WALK)
        walk_key(g);
    else
        order_key(g);
    // Every key on the map is a move: the turn events follow.
    return -1;
}

void sub_draw_city(Game& g) {
    if (g.location_step == CITY_ENTER) enter_city(g);
    PictureArea& text = g.Form1.Text;
    text.Cls();
    text.CurrentX = 0;
    text.CurrentY = 0;
    for (int k = 0; k <= MESSAGE_LAST_LINE; ++k) text.print_line(g.message_lines[k]);
    sub_draw_view(g);
    sub_square_events(g);
    // A fixed fight on this square has begun: the party sees it in this same key, and the
    // next key is the fight's.
    if (is_on(g.combat_active) && g.sheet_member < 1) run_screen(g.screens.draw_combat, g);
}

} // namespace duskwend
