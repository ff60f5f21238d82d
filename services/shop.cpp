// The equipment shop: one party member at a time buys from the shop's stock, sells from the
// pack, or has an item appraised or identified. building_number names the shop's record.
#include "core/any_key.h"
#include "core/class_rules.h"
#include "core/datafiles.h"
#include "core/exact.h"
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

constexpr int STOCK_SIZE = 16, PACK_SLOTS = 11, BUY_SLOTS = 10;

PartyMemberRec& served(Game& g) {
    return g.party[g.selected_member & PARTY_SLOT_MASK];
}

// A stock entry is offered when it names an item of the world's file.
bool in_stock(const Game& g, int k) {
    return k >= 0 && k < STOCK_SIZE && item_exists(g, g.shop_rec.stock[k]);
}

bool holds_item(Game& g, int k) {
    return k >= 0 && k < PACK_SLOTS && item_exists(g, served(g).pack[k][PACK_ITEM]);
}

// A pack without items, wherever its empty slots are, has nothing to sell or appraise.
bool pack_empty(Game& g) {
    for (int k = 0; k < PACK_SLOTS; ++k)
        if (holds_item(g, k)) return false;
    return true;
}

std::string crowns_word(int64_t amount) {
    return " imperial crown" + plural(amount);
}

// What the shop offers for the item of pack slot k: a tenth and the personality's share of a
// tenth, whole, and half the price, never below 1 nor above the price. A Merchant is offered a
// tenth more on top, so may be offered more than the price.
int64_t base_offer(Game& g, int k) {
    sub_read_item(g, served(g).pack[k][PACK_ITEM]);
    const int64_t P = g.item_rec.price;
    const int64_t f = sub_attribute_factor(served(g).personality);
    // P / 10 + P / 10 x f / 100 = P x (100 + f) / 1000, whole; plus P / 2, rounded.
    int64_t offer = div_round_even(2 * floor_div(P * (100 + f), 1000) + P, 2);
    if (offer < 1) offer = 1;
    if (offer > P) offer = P;
    // An item priced below nothing is worth nothing: a sale never costs the seller.
    if (offer < 0) offer = 0;
    return offer;
}

int64_t sell_offer(Game& g, int k) {
    const int64_t offer = base_offer(g, k);
    if (class_rules(served(g).class_id).haggler) return mul_round_even(offer, 11, 10);
    return offer;
}

int64_t identify_fee(int64_t appraisal_fee) {
    return std::max<int64_t>(1, static_cast<int64_t>(std::nearbyint(appraisal_fee / 10.0)));
}

void print_cannot_afford(Game& g) {
    text(g).print_line(" 'I'm sorry, but you can't afford that item'");
    text(g).print_line(" 'Maybe there is something else you want.'");
}

// Takes a fee in full or not at all.
bool pay(Game& g, int64_t price) {
    PartyMemberRec& m = served(g);
    if (m.crowns < price) {
        print_cannot_afford(g);
        return false;
    }
    m.crowns = to_long(static_cast<double>(m.crowns) - static_cast<double>(price));
    return true;
}

// ---------------------------------------------------------------------------------------
// Steps

void draw_select(Game& g) {
    PictureArea& t = text(g);
    t.print_line(" You stand in the " + g.shop_rec.name.trimmed() + " shop.");
    if (g.shop_rec.shop_kind == 0) {
        t.print_line(" Around you you can see various arms and armour");
        t.print_line(" for sale.");
    }
    t.print_line();
    t.print_line(" 'Goodday my friends!' says the shopkeeper, 'Who");
    t.print_line("  needs my services'");
    t.print_line();
    print_member_choice(g, "Leave the Shop.");
}

void draw_options(Game& g) {
    PictureArea& t = text(g);
    t.print_line(" 'Hello " + trimmed_name(g, g.selected_member & PARTY_SLOT_MASK) +
                 "' says the shopkeeper.");
    t.print_line(" 'How may I be of service?'");
    t.print_line();
    t.print_line(" Options:");
    print_menu_line(g, "  B.", "Buy an Item.");
    print_menu_line(g, "  S.", "Sell as Item.");
    print_menu_line(g, "  A.", "Appraise an Item.");
    print_menu_line(g, "  R.", "Return.");
}

void draw_buy_list(Game& g) {
    PictureArea& t = text(g);
    PartyMemberRec& m = served(g);
    t.print_line();
    t.print_line(" " + m.name.trimmed() + " has" + str_form(m.crowns) + " imperial crown" +
                 (m.crowns == 1 ? "" : "s") + ".");
    t.print_line();
    t.print_line(" 'I have the following items available.'");
    t.print_line();
    for (int k = 0; k < STOCK_SIZE; ++k) {
        if (!in_stock(g, k)) continue;
        sub_read_item(g, g.shop_rec.stock[k]);
        const bool usable =
            m.class_id >= 0 && m.class_id + 1 < 26 && is_on(g.item_rec.usable_by[m.class_id + 1]);
        t.fore_colour = 1;
        t.print(std::string("  ") + char('A' + k) + ".");
        t.fore_colour = 0;
        t.CurrentX = 25;
        t.print((usable ? "" : "! ") + g.item_rec.name.str());
        int16_t price = g.item_rec.price;
        sub_print_right_aligned(
            g, str_form(sub_haggle_price(g, price, g.selected_member & PARTY_SLOT_MASK)), 200);
        t.print_line();
    }
    t.print_line();
    print_menu_line(g, "  R.", "Return.");
}

void draw_buy(Game& g) {
    PictureArea& t = text(g);
    PartyMemberRec& m = served(g);
    if (!in_stock(g, g.selected_item)) return;
    const int item = g.shop_rec.stock[g.selected_item];
    sub_read_item(g, item);
    int16_t base = g.item_rec.price;
    const int64_t price = sub_haggle_price(g, base, g.selected_member & PARTY_SLOT_MASK);
    if (m.crowns < price) {
        print_cannot_afford(g);
        return;
    }
    // Onto an identified stack of the same item, or into an empty slot, whichever comes first;
    // slot 10 is never shown, so nothing is bought into it.
    int slot = -1;
    for (int k = 0; k < BUY_SLOTS && slot < 0; ++k) {
        const auto& p = m.pack[k];
        const bool stack = p[PACK_ITEM] == item && p[PACK_IDENTIFIED] == 1 &&
                           p[PACK_QUANTITY] < std::numeric_limits<int16_t>::max();
        if (stack || p[PACK_ITEM] == 0) slot = k;
    }
    if (slot < 0) {
        t.print_line(" 'I'm sorry but it appears that you will not");
        t.print_line(" be able to carry that item.'");
        return;
    }
    t.print_line(" ' Pleasure doing business with you.'");
    t.print_line();
    m.crowns = to_long(static_cast<double>(m.crowns) - static_cast<double>(price));
    auto& p = m.pack[slot];
    if (p[PACK_ITEM] == item) {
        p[PACK_QUANTITY] = to_integer(p[PACK_QUANTITY] + 1.0);
    } else {
        p = {static_cast<int16_t>(item), 1, 1};
    }
    t.print_line(" " + m.name.trimmed() + " has bought a " + g.item_rec.name.trimmed() + ".");
}

// The sell and appraise lists; appraising shows unknown items as "Unknown".
void draw_pack_list(Game& g, bool appraise) {
    PictureArea& t = text(g);
    PartyMemberRec& m = served(g);
    if (pack_empty(g)) {
        sub_wait_for_any_key(g);
        if (appraise) {
            t.print_line(" ' I'm sorry " + m.name.trimmed() + " but you have no items");
            t.print_line(" for me to appraise.'");
        } else {
            t.print_line(" ' I'm sorry " + m.name.trimmed() + " but you have nothing to");
            t.print_line(" sell me.'");
        }
        return;
    }
    t.print_line(appraise ? " ' Which item do you wish me to look at?'"
                          : " ' Which item do you wish to sell me?'");
    t.print_line();
    for (int k = 0; k < PACK_SLOTS; ++k) {
        if (!holds_item(g, k)) continue;
        sub_read_item(g, m.pack[k][PACK_ITEM]);
        const bool known = !appraise || m.pack[k][PACK_IDENTIFIED] == 1;
        print_list_line(g, k, known ? g.item_rec.name.str() : "Unknown");
    }
    t.print_line();
    print_menu_line(g, "  R.", "Return.");
}

void draw_sell_offer(Game& g) {
    PictureArea& t = text(g);
    const int64_t offer = sell_offer(g, g.selected_item);
    t.print_line(" ' Hum, a " + g.item_rec.name.trimmed() + ".");
    t.print_line();
    t.print_line(" ' OK I'll give you" + str_form(offer) + crowns_word(offer) + " for that.'");
    t.print_line();
    print_menu_line(g, "  A.", "Accept offer.");
    print_menu_line(g, "  R.", "Reject offer.");
}

void draw_sell(Game& g) {
    PictureArea& t = text(g);
    PartyMemberRec& m = served(g);
    if (!holds_item(g, g.selected_item)) return;
    const int64_t offer = sell_offer(g, g.selected_item);
    t.print_line(" ' Pleasure duing business with you.'");
    t.print_line();
    t.print_line(" " + m.name.trimmed() + " has sold a " + g.item_rec.name.trimmed() + ".");
    m.crowns = to_long(static_cast<double>(m.crowns) + static_cast<double>(offer));
    auto& p = m.pack[g.selected_item];
    p[PACK_QUANTITY] = to_integer(p[PACK_QUANTITY] - 1.0);
    if (p[PACK_QUANTITY] <= 0) p[PACK_ITEM] = 0;
}

void draw_appraise_offer(Game& g) {
    PictureArea& t = text(g);
    const int64_t fee = base_offer(g, g.selected_item);
    const bool identified = served(g).pack[g.selected_item][PACK_IDENTIFIED] == 1;
    if (identified)
        t.print_line(" ' Hum, a " + g.item_rec.name.trimmed() + ".'");
    else
        t.print_line(" ' Hum, you dont know what this is.'");
    t.print_line(" ' I could tell you everything about it.'");
    t.print_line();
    t.print_line(" ' OK I'll do it for" + str_form(fee) + crowns_word(fee) + "'");
    t.print_line();
    if (!identified) {
        const int64_t id_fee = identify_fee(fee);
        t.print_line(" ' Or I could just tell you what it is.'");
        t.print_line(" ' That'll cost you" + str_form(id_fee) + crowns_word(id_fee) + "'");
        t.print_line();
        print_menu_line(g, "  I.", "Identify Item.");
    }
    print_menu_line(g, "  A.", "Accept offer.");
    print_menu_line(g, "  R.", "Reject offer.");
}

// The appraisal costs the quoted fee; it tells everything but leaves the item unidentified.
void draw_appraise(Game& g) {
    PictureArea& t = text(g);
    if (!holds_item(g, g.selected_item) || !pay(g, base_offer(g, g.selected_item))) return;
    const ItemRec& i = g.item_rec;
    t.print_line(" A " + i.name.trimmed() + ".");
    t.print_line();
    t.print_line(" Armour:" + str_form(i.armour));
    t.print_line(" Armour Percentage:" + str_form(i.armour_percent));
    t.print_line(" Attack Speed:" + str_form(i.attack_speed));
    t.print_line(" To Hit:" + str_form(i.to_hit));
    t.print_line(" To Hit Percentage:" + str_form(i.to_hit_percent));
    t.print_line(" Damage:" + str_form(i.damage_dice) + "D" + str_form(i.damage_sides) + "+" +
                 str_form(i.damage_bonus));
    t.print_line(std::string(" Useable:") + (is_on(i.usable_by[0]) ? "True" : "False"));
}

void draw_identify(Game& g) {
    PictureArea& t = text(g);
    if (!holds_item(g, g.selected_item)) return;
    auto& p = served(g).pack[g.selected_item];
    if (p[PACK_IDENTIFIED] == 1) return;
    if (!pay(g, identify_fee(base_offer(g, g.selected_item)))) return;
    t.print_line(" This is a " + g.item_rec.name.trimmed() + ".");
    p[PACK_IDENTIFIED] = 1;
    t.print_line();
}

// The list that a step about one pack slot belongs to.
int list_of(int step) {
    return step <= SHOP_SELL ? SHOP_SELL_LIST : SHOP_APPRAISE_LIST;
}

void pack_list_key(Game& g, int next) {
    const int k = typed_letter(g, PACK_SLOTS);
    if (pack_empty(g) || g.input_line == "R") {
        g.location_step = SHOP_OPTIONS;
    } else if (k >= 0 && holds_item(g, k)) {
        g.selected_item = static_cast<int16_t>(k);
        g.location_step = static_cast<int16_t>(next);
    }
}

void options_key(Game& g) {
    const std::string& key = g.input_line;
    if (key == "R") g.location_step = SHOP_SELECT;
    if (key == "B") g.location_step = SHOP_BUY_LIST;
    if (key == "S") g.location_step = SHOP_SELL_LIST;
    if (key == "A") g.location_step = SHOP_APPRAISE_LIST;
}

void buy_list_key(Game& g) {
    sub_read_shop(g, g.building_number);
    const int k = typed_letter(g, STOCK_SIZE);
    if (g.input_line == "R") {
        g.location_step = SHOP_OPTIONS;
    } else if (in_stock(g, k)) {
        g.selected_item = static_cast<int16_t>(k);
        g.location_step = SHOP_BUY;
    }
}

void offer_key(Game& g) {
    const std::string& key = g.input_line;
    const int step = g.location_step;
    const bool unknown =
        holds_item(g, g.selected_item) && served(g).pack[g.selected_item][PACK_IDENTIFIED] != 1;
    if (key == "R" || !holds_item(g, g.selected_item))
        g.location_step = static_cast<int16_t>(list_of(step));
    else if (key == "A")
        g.location_step = step == SHOP_SELL_OFFER ? SHOP_SELL : SHOP_APPRAISE;
    else if (key == "I" && step == SHOP_APPRAISE_OFFER && unknown)
        g.location_step = SHOP_IDENTIFY;
}

// Buying, selling, appraising and identifying act; after them any key goes back to the list.
constexpr BuildingStep SHOP_STEPS[] = {
    member_choice_step<SHOP_OPTIONS>(SHOP_SELECT, draw_select),
    {SHOP_OPTIONS, options_key, draw_options},
    {SHOP_BUY_LIST, buy_list_key, draw_buy_list},
    acting_step<SHOP_BUY_LIST>(SHOP_BUY, draw_buy),
    {SHOP_SELL_LIST, [](Game& g) { pack_list_key(g, SHOP_SELL_OFFER); },
     [](Game& g) { draw_pack_list(g, false); }},
    {SHOP_SELL_OFFER, offer_key, draw_sell_offer},
    acting_step<SHOP_SELL_LIST>(SHOP_SELL, draw_sell),
    {SHOP_APPRAISE_LIST, [](Game& g) { pack_list_key(g, SHOP_APPRAISE_OFFER); },
     [](Game& g) { draw_pack_list(g, true); }},
    {SHOP_APPRAISE_OFFER, offer_key, draw_appraise_offer},
    acting_step<SHOP_APPRAISE_LIST>(SHOP_APPRAISE, draw_appraise),
    acting_step<SHOP_APPRAISE_LIST>(SHOP_IDENTIFY, draw_identify),
};

} // namespace

void sub_shop_key(Game& g) {
    building_key(g, SHOP_STEPS);
}

void sub_draw_shop(Game& g) {
    sub_read_shop(g, g.building_number);
    begin_building(g, g.shop_rec.name.trimmed());
    // An item that left the pack while a sheet was open over the shop sends the offer back to
    // its list.
    const int step = g.location_step;
    const bool offer = step == SHOP_SELL_OFFER || step == SHOP_APPRAISE_OFFER;
    if (offer && !holds_item(g, g.selected_item))
        g.location_step = static_cast<int16_t>(list_of(step));
    draw_building_step(g, LOCATION_SHOP, SHOP_STEPS);
}

} // namespace duskwend
