// The temples of Light, Luck and Dark (building_number 0, 1, 2). A member buys one of the
// temple's wares or pays for healing, a blessing or a cure, from the member's own crowns. Only
// the Temple of Light keeps wares and offers services; the others greet the party and list
// nothing.
#include "core/datafiles.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/output.h"
#include "core/rules.h"
#include "core/typed_keys.h"
#include "services/building.h"
#include "services/services.h"

#include <cmath>
#include <limits>

namespace duskwend {

namespace {

// The Temple of Light sells items 9 and 10 as its wares A and B.
constexpr int FIRST_WARE = 9, WARE_COUNT = 2, SERVICE_COUNT = 3, BUY_SLOTS = 10, EFFECT_SLOTS = 11;
constexpr int BLESS_DURATION = 200, BLESS_STRENGTH = 2, HEALED_MARK = 1000;

struct Temple {
    const char* name;
    const char* greeting;
    const char* title;
    const char* farewell;
};
constexpr Temple TEMPLES[3] = {{"Temple of Light", " You are approached by a priest of Light.",
                                "Priest.", " ' May the light guide you.'"},
                               {"Temple of Luck", " You are approached by a jester of Luck.",
                                "Jester.", " ' May fate smile on you.'"},
                               {"Temple of Dark", " You are approached by shamen of Dark.",
                                "Shamen.", " ' May the night conceal you.'"}};

const char* const SERVICE_NAMES[SERVICE_COUNT] = {"Healing", "Bless", "Cure Afflication"};

// A door that names no temple of the three leads into the Temple of Dark's quiet: a temple
// without wares or services.
const Temple& temple(const Game& g) {
    const int b = g.building_number;
    return TEMPLES[b >= 0 && b <= 2 ? b : TEMPLE_OF_DARK];
}

bool of_light(const Game& g) {
    return g.building_number == TEMPLE_OF_LIGHT;
}

int member(const Game& g) {
    return g.selected_member & PARTY_SLOT_MASK;
}

PartyMemberRec& served(Game& g) {
    return g.party[member(g)];
}

// The member's price for a base price, computed wide: a large healing bill is not cut short.
int64_t temple_price(Game& g, double base) {
    return static_cast<int64_t>(sub_haggled_price(g, base, member(g)));
}

int64_t service_price(Game& g, int service) {
    PartyMemberRec& m = served(g);
    switch (service) {
    case TEMPLE_HEALING: {
        // The first healing of a member still at level 1 costs a single crown.
        if (m.healing_mark == 0 && m.level == 1) return 1;
        double base = double(m.level) * 10 * (double(m.max_hit_points) - m.hit_points);
        if (m.hit_points <= 0) base += double(m.level) * 250;
        return temple_price(g, base);
    }
    case TEMPLE_BLESS:
        return temple_price(g, 100);
    case TEMPLE_CURE:
        return temple_price(g, 500);
    default:
        return 0;
    }
}

void take_crowns(PartyMemberRec& m, int64_t price) {
    m.crowns = to_long(static_cast<double>(m.crowns) - static_cast<double>(price));
}

// ---------------------------------------------------------------------------------------
// Steps

void draw_select(Game& g) {
    PictureArea& t = text(g);
    t.print_line(std::string(" You stand in the ") + temple(g).name + ".");
    t.print_line();
    t.print_line(temple(g).greeting);
    t.print_line();
    t.print_line(" 'Which of you requires my services?'");
    t.print_line();
    print_member_choice(g, "Leave the Temple.");
}

void draw_options(Game& g) {
    PictureArea& t = text(g);
    t.print_line(" 'Hello " + trimmed_name(g, member(g)) + "' says the " + temple(g).title);
    t.print_line(" 'How may I be of service?'");
    t.print_line();
    t.print_line(" Options:");
    print_menu_line(g, "  B.", "Buy an Item.");
    print_menu_line(g, "  S.", "Request a Service.");
    print_menu_line(g, "  R.", "Return.");
}

// A menu line whose text stays on the line, followed by a price ending at x = 200.
void print_priced_line(Game& g, int index, const std::string& name, int64_t price) {
    PictureArea& t = text(g);
    t.fore_colour = 1;
    t.print(std::string("  ") + char('A' + index) + ".");
    t.fore_colour = 0;
    t.CurrentX = 25;
    t.print(name);
    sub_print_right_aligned(g, str_form(price), 200);
    t.print_line();
}

void draw_item_list(Game& g) {
    PictureArea& t = text(g);
    t.print_line(" '" + trimmed_name(g, member(g)) + ".'");
    t.print_line(" 'I have the following items available.'");
    t.print_line();
    if (of_light(g)) {
        for (int w = 0; w < WARE_COUNT; ++w) {
            if (!item_exists(g, FIRST_WARE + w)) continue;
            sub_read_item(g, FIRST_WARE + w);
            int16_t price = g.item_rec.price;
            print_priced_line(g, w, g.item_rec.name, sub_haggle_price(g, price, member(g)));
        }
    }
    t.print_line();
    print_menu_line(g, "  R.", "Return.");
}

void draw_buy(Game& g) {
    PictureArea& t = text(g);
    PartyMemberRec& m = served(g);
    const int item = g.selected_item;
    if (!item_exists(g, item)) return;
    sub_read_item(g, item);
    int16_t base = g.item_rec.price;
    const int64_t price = sub_haggle_price(g, base, member(g));
    if (m.crowns < price) {
        t.print_line(" 'I'm sorry, but you can't afford that item'");
        t.print_line(" 'Maybe there is something else you want.'");
        return;
    }
    // Onto any stack of the item or into an empty slot, whichever comes first; slot 10 is
    // never shown, so nothing is bought into it.
    int slot = -1;
    for (int k = 0; k < BUY_SLOTS && slot < 0; ++k) {
        const auto& p = m.pack[k];
        const bool stack =
            p[PACK_ITEM] == item && p[PACK_QUANTITY] < std::numeric_limits<int16_t>::max();
        if (stack || p[PACK_ITEM] == 0) slot = k;
    }
    if (slot < 0) {
        t.print_line(" 'I'm sorry but it appears that you will not");
        t.print_line(" be able to carry that item.'");
        return;
    }
    t.print_line(temple(g).farewell);
    t.print_line();
    take_crowns(m, price);
    auto& p = m.pack[slot];
    if (p[PACK_ITEM] == item) {
        p[PACK_QUANTITY] = to_integer(p[PACK_QUANTITY] + 1.0);
    } else {
        // The slot keeps whatever identified flag it had.
        p[PACK_ITEM] = static_cast<int16_t>(item);
        p[PACK_QUANTITY] = 1;
    }
    t.print_line(" " + m.name.trimmed() + " has bought a " + g.item_rec.name.trimmed() + ".");
}

void draw_service_list(Game& g) {
    PictureArea& t = text(g);
    t.print_line(" '" + trimmed_name(g, member(g)) + ".'");
    t.print_line(" 'I have the following services available.'");
    t.print_line();
    if (of_light(g))
        for (int s = 0; s < SERVICE_COUNT; ++s)
            print_priced_line(g, s, SERVICE_NAMES[s], service_price(g, s));
    t.print_line();
    print_menu_line(g, "  R.", "Return.");
}

void heal(Game& g, PartyMemberRec& m, int64_t price) {
    PictureArea& t = text(g);
    const std::string name = m.name.trimmed();
    t.print_line(" A soft magical glow surrounds " + name + ".");
    t.print_line(" Slowly, with a warm tingling sensation, the wounds");
    t.print_line(" begin to heal.");
    t.print_line();
    if (m.hit_points <= 0) t.print_line(" Life returns to " + name + ".");
    t.print_line(" " + name + " is healed.");
    take_crowns(m, price);
    m.hit_points = m.max_hit_points;
    if (m.healing_mark == 0) m.healing_mark = HEALED_MARK;
}

void bless(Game& g, PartyMemberRec& m, int64_t price) {
    PictureArea& t = text(g);
    int k = 0;
    while (k < EFFECT_SLOTS && m.effects[k][EFFECT_DURATION] != 0) ++k;
    if (k == EFFECT_SLOTS) return; // no free slot: no blessing, nothing paid
    m.effects[k] = {BLESS_DURATION, EFFECT_BLESS, BLESS_STRENGTH};
    const std::string name = m.name.trimmed();
    t.print_line(" The priest raises his hand above " + name + ".");
    t.print_line(" A pale halo of light softly surrounds " + name + ".");
    t.print_line();
    t.print_line(" " + name + " has received a blessing.");
    t.print_line(" Attack, defense and resistances are now");
    t.print_line(" increased slightly.");
    take_crowns(m, price);
}

// Every disease goes; the cure is paid at its listed price.
void cure(PartyMemberRec& m, int64_t price) {
    for (auto& e : m.effects)
        if (e[EFFECT_DURATION] != 0 && e[EFFECT_TYPE] == EFFECT_DISEASE) e = {0, 0, 0};
    take_crowns(m, price);
}

void draw_service(Game& g) {
    PictureArea& t = text(g);
    PartyMemberRec& m = served(g);
    const int service = g.selected_item;
    if (!of_light(g) || service < 0 || service >= SERVICE_COUNT) return;
    const int64_t price = service_price(g, service);
    if (m.crowns < price) {
        t.print_line(" 'I'm sorry, but you can't afford that Service'");
        t.print_line(" 'Maybe there is something else you want.'");
        return;
    }
    if (service == TEMPLE_HEALING) heal(g, m, price);
    if (service == TEMPLE_BLESS) bless(g, m, price);
    if (service == TEMPLE_CURE) cure(m, price);
    // The panel shows the healed member at once.
    sub_update_party_stats(g);
    sub_display_char_status(g);
}

void options_key(Game& g) {
    const std::string& key = g.input_line;
    if (key == "R") g.location_step = TEMPLE_SELECT;
    if (key == "B") g.location_step = TEMPLE_ITEM_LIST;
    if (key == "S") g.location_step = TEMPLE_SERVICE_LIST;
}

// Only the wares listed can be chosen.
void item_list_key(Game& g) {
    const int w = typed_letter(g, WARE_COUNT);
    if (g.input_line == "R") {
        g.location_step = TEMPLE_OPTIONS;
    } else if (w >= 0 && of_light(g) && item_exists(g, FIRST_WARE + w)) {
        g.selected_item = static_cast<int16_t>(FIRST_WARE + w);
        g.location_step = TEMPLE_BUY;
    }
}

void service_list_key(Game& g) {
    const int s = typed_letter(g, SERVICE_COUNT);
    if (g.input_line == "R") {
        g.location_step = TEMPLE_OPTIONS;
    } else if (s >= 0 && of_light(g)) {
        g.selected_item = static_cast<int16_t>(s);
        g.location_step = TEMPLE_SERVICE;
    }
}

// A purchase and a service act; after them any key goes back to the list.
constexpr BuildingStep TEMPLE_STEPS[] = {
    member_choice_step<TEMPLE_OPTIONS>(TEMPLE_SELECT, draw_select),
    {TEMPLE_OPTIONS, options_key, draw_options},
    {TEMPLE_ITEM_LIST, item_list_key, draw_item_list},
    acting_step<TEMPLE_ITEM_LIST>(TEMPLE_BUY, draw_buy),
    {TEMPLE_SERVICE_LIST, service_list_key, draw_service_list},
    acting_step<TEMPLE_SERVICE_LIST>(TEMPLE_SERVICE, draw_service),
};

} // namespace

void sub_temple_key(Game& g) {
    building_key(g, TEMPLE_STEPS);
}

void sub_draw_temple(Game& g) {
    begin_building(g, temple(g).name);
    draw_building_step(g, LOCATION_TEMPLE, TEMPLE_STEPS);
}

} // namespace duskwend
