// The events of the party's square. Each map holds a table of 101 events; after every
// drawing of the city each one standing on the party's square whose condition holds is
// carried out, in table order, against the state the earlier ones left.
#include "city/square_events.h"

#include "city/map_view.h"
#include "combat/combat.h"
#include "core/city_map.h"
#include "core/game.h"
#include "core/map_events.h"
#include "core/numbers.h"
#include "core/output.h"
#include "core/pictures.h"
#include "core/rules.h"

#include <array>
#include <string>

namespace duskwend {

namespace {


constexpr int TREASURE_EXPERIENCE = 0, TREASURE_CROWNS = 1, TREASURE_ITEM = 2;
// Field 4 of a building event: BUILDINGS below.
constexpr int BUILDING_TEMPLE = 2;

bool in_range(int n, int first, int last) {
    return n >= first && n <= last;
}

// Pictures, messages and texts can be seen from some facings only: field 5 holds their side
// bits in any of the three groups; 0 means from every facing.
bool seen_from_facing(const Game& g, const MapEvent& e) {
    static constexpr int FACING_MASK[4] = {0x111, 0x222, 0x444, 0x888};
    return e[EVENT_P2] == 0 || (e[EVENT_P2] & FACING_MASK[g.party_facing & 3]) != 0;
}

// The world's checker keeps every number an event names inside its table or file; a
// hand-made or damaged map may not, and such an event is skipped, never followed.
bool references_sound(const Game& g, const MapEvent& e) {
    switch (e[EVENT_KIND]) {
    case EVENT_TELEPORT:
        return inside_grid(e[EVENT_P2], e[EVENT_P3]) && e[EVENT_P4] <= 4 &&
               (e[EVENT_P1] == g.map_level || map_in_file(g, e[EVENT_P1]));
    case EVENT_MESSAGE:
        return in_range(e[EVENT_P1], 0, MAP_MESSAGE_COUNT - 1);
    case EVENT_SWITCH:
        return e[EVENT_P2] != SWITCH_STEPPED_ON || in_range(e[EVENT_P1], 0, GAME_FLAG_COUNT - 1);
    case EVENT_TEXT:
        return in_range(e[EVENT_P1], 0, MAP_TEXT_COUNT - 1);
    case EVENT_TREASURE:
        return e[EVENT_P1] != TREASURE_ITEM || in_range(e[EVENT_P3], 1, g.item_count);
    default:
        return true;
    }
}

void teleport(Game& g, const MapEvent& e) {
    const int map = e[EVENT_P1], facing = e[EVENT_P4];
    g.party_x = e[EVENT_P2];
    g.party_y = e[EVENT_P3];
    if (facing > 0) g.party_facing = static_cast<int16_t>(facing - 1);
    if (g.map_level != map) sub_load_map(g, map);
    sub_draw_view(g);
}

// The four buildings a door leads into, by field 4.
struct Building {
    const char* picture;
    int16_t location;
    bool numbered; // field 5 names which shop or temple
    const char* message;
};
constexpr Building BUILDINGS[4] = {
    {"tavern.bmp", LOCATION_GUILD_HALL, false, "You enter the Guildhall"},
    {"shoppe.bmp", LOCATION_SHOP, true, "You enter 'Ye Oldde Equippe' shop."},
    {"temple.bmp", LOCATION_TEMPLE, true, "You enter The temple of Light."},
    {"review.bmp", LOCATION_REVIEW, false, "You enter into a Review Board."}};

void building(Game& g, const MapEvent& e) {
    const int kind = e[EVENT_P1];
    if (!in_range(kind, 0, 3)) return;
    const Building& b = BUILDINGS[kind];
    load_main_picture(g, b.picture);
    g.current_location = b.location;
    if (b.numbered) g.building_number = e[EVENT_P2];
    g.location_step = 0;
    // Only the temple of Light greets the party; the others are entered in silence.
    if (kind != BUILDING_TEMPLE || e[EVENT_P2] == 0) sub_show_message(g, b.message);
}

// A picture the Data folder does not hold leaves the view as it is: one missing sign is not
// worth ending the game over.
void picture(Game& g, const MapEvent& e) {
    try {
        load_main_picture(g, "Map" + std::to_string(e[EVENT_P1]) + ".bmp");
    } catch (const DataError&) {
    }
}

// A long text may start with \C (begin a fresh page) and is shown one message per piece
// between its line markers, split as the page printer splits them.
void long_text(Game& g, const MapEvent& e) {
    std::string text = g.map_rec.texts[e[EVENT_P1]];
    if (text.starts_with("\\C")) {
        g.message_line = -1;
        text.erase(0, 2);
    }
    text.erase(text.find_last_not_of(' ') + 1);
    for_each_text_line(text, [&](const std::string& piece) { sub_show_message(g, piece); });
}

void experience_or_crowns(Game& g, const MapEvent& e) {
    const bool crowns = e[EVENT_P1] == TREASURE_CROWNS;
    const int a = e[EVENT_P2];
    const std::string what = crowns ? " imperial crowns." : " experience points.";
    if (e[EVENT_P3] != 0) {
        // Each member receives the whole amount.
        for (PartyMemberRec& p : g.party) {
            if (p.in_use <= 0) continue;
            int32_t& value = crowns ? p.crowns : p.experience;
            value = to_long(double(value) + a);
            sub_show_message(g, p.name.trimmed() + " receives" + str_form(a) + what);
        }
        return;
    }
    sub_show_message(g, "The party recieves" + str_form(a) + what);
    const int n = sub_count_party_members(g);
    if (n == 0) return;
    // Shared: each present member gets a / n + 1, rounded half to even.
    for (PartyMemberRec& p : g.party) {
        if (p.in_use <= 0) continue;
        int32_t& value = crowns ? p.crowns : p.experience;
        value = to_long(double(value) + double(a) / n + 1);
    }
}

void item_treasure(Game& g, const MapEvent& e) {
    const int item = e[EVENT_P3], q = e[EVENT_P2];
    const int n = sub_count_party_members(g);
    if (n == 0) return;
    const int m = static_cast<int>(n * sub_random(g));
    PartyMemberRec& p = g.party[m];
    const int slot = sub_pack_found_item(g, p, item, q);
    if (slot < 0) return; // a full pack: the treasure is lost
    const auto& row = p.pack[slot];

    sub_show_message(g, "");
    sub_read_item(g, item);
    std::string found = p.name.trimmed() + " finds" + str_form(q) + " ";
    if (row[PACK_IDENTIFIED] == 1)
        found += (q < 2 ? g.item_rec.name : g.item_rec.plural_name).trimmed() + ".";
    else
        found += std::string("something") + plural(q) + ".";
    sub_show_message(g, found);
}

void treasure(Game& g, const MapEvent& e) {
    sub_show_message(g, "");
    const int kind = e[EVENT_P1];
    if (kind == TREASURE_EXPERIENCE || kind == TREASURE_CROWNS) experience_or_crowns(g, e);
    if (kind == TREASURE_ITEM) item_treasure(g, e);
}

// Fixed fights set up in one pass over the events: the first starts the fight, each
// further one on the square adds its group.
void carry_out(Game& g, int index, const MapEvent& e, int& fights) {
    switch (e[EVENT_KIND]) {
    case EVENT_TELEPORT:
        teleport(g, e);
        break;
    case EVENT_BUILDING:
        building(g, e);
        break;
    case EVENT_PICTURE:
        if (seen_from_facing(g, e)) picture(g, e);
        break;
    case EVENT_MESSAGE:
        if (seen_from_facing(g, e)) sub_show_message(g, g.map_rec.messages[e[EVENT_P1]]);
        break;
    case EVENT_SWITCH:
        if (e[EVENT_P2] == SWITCH_STEPPED_ON) g.game_flags[e[EVENT_P1]] = e[EVENT_P3];
        break;
    case EVENT_TEXT:
        if (seen_from_facing(g, e)) long_text(g, e);
        break;
    case EVENT_TREASURE:
        treasure(g, e);
        break;
    case EVENT_FIGHT:
        sub_start_event_encounter(g, index, fights);
        ++fights;
        break;
    default:
        break;
    }
}

} // namespace

void sub_square_events(Game& g) {
    int fights = 0;
    for (int i = 0; i < MAP_EVENT_COUNT; ++i) {
        // A copy: a teleport may load another map under the event that caused it. The
        // events after it are then those of the new map, tested against the new square.
        const MapEvent e = g.map_rec.events[i];
        if (e[EVENT_KIND] <= EVENT_NONE || e[EVENT_X] != g.party_x || e[EVENT_Y] != g.party_y)
            continue;
        if (!event_condition_holds(e, g.game_flags) || !references_sound(g, e)) continue;
        carry_out(g, i, e, fights);
    }
}

} // namespace duskwend
