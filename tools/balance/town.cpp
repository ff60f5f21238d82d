// The party and the town: what the party needs, and the temple, the review board, the shops
// and the inn, visited through their own screens.
#include "tools/balance/career_play.h"

#include "core/datafiles.h"
#include "core/rules.h"
#include "guildhall/guild_hall.h"
#include "services/services.h"

#include <algorithm>
#include <cstdlib>

namespace duskwend {

namespace {

constexpr int BUILDING_GUILD_HALL = 0, BUILDING_SHOP = 1, BUILDING_TEMPLE = 2, BUILDING_REVIEW = 3;
constexpr int KIND_OTHER = 0, KIND_RIGHT_HAND = 1, KIND_TWO_HANDED = 2, KIND_BODY = 7,
              KIND_LEFT_HAND = 8;
constexpr int PACK_SLOTS = 11;    // pack slots a shop lists, A to K
constexpr int PACK_KEYS = 10;     // pack slots the sheet's keys 1..9 and 0 reach
constexpr int SELL_AT_LEAST = 30; // cheaper wares (keys, seals, trinkets) are kept

bool caster(const PartyMemberRec& p) {
    return p.max_magic_points > 0 && (p.class_id == CLASS_CLERIC || p.class_id == CLASS_MAGE);
}

std::string letter(int index) {
    return std::string(1, static_cast<char>('A' + index));
}

std::string digit(int number) {
    return std::to_string(number % 10);
}

// Front to back: the fighting classes, the thieves, the clerics, the mages; the fallen last.
int rank(const PartyMemberRec& p) {
    if (p.hit_points <= 0) return 4;
    switch (p.class_id) {
    case CLASS_THIEF:
    case CLASS_MERCHANT:
        return 1;
    case CLASS_CLERIC:
        return 2;
    case CLASS_MAGE:
        return 3;
    default:
        return 0;
    }
}

// What an item is worth to its wearer: a weapon its average damage as often as it lands, a
// piece of armour its armour.
double worth(const ItemRec& item) {
    if (item.kind == KIND_RIGHT_HAND) {
        const double average = item.damage_dice * (item.damage_sides + 1) / 2.0 + item.damage_bonus;
        return average * item.to_hit_percent / 100.0 + item.to_hit / 10.0;
    }
    return item.armour;
}

// The price printed on the line of the text column that shows `label`, ending at x = 200.
std::optional<int64_t> price_on_screen(const Game& g, const std::string& label) {
    const auto& runs = g.Form1.Text.runs();
    for (const TextRun& r : runs) {
        if (r.text != label) continue;
        for (const TextRun& p : runs)
            if (p.y == r.y && p.x > r.x) return std::strtoll(p.text.c_str(), nullptr, 10);
    }
    return std::nullopt;
}

} // namespace

// ---------------------------------------------------------------------------------------
// The party

int64_t Career::crowns() const {
    int64_t sum = 0;
    for (const PartyMemberRec& p : g_.party)
        if (p.in_use > 0) sum += p.crowns;
    return sum;
}

double Career::mean_level() const {
    double sum = 0;
    int n = 0;
    for (const PartyMemberRec& p : g_.party)
        if (p.in_use > 0) sum += p.level, ++n;
    return n > 0 ? sum / n : 0;
}

int Career::lowest_level() const {
    int low = MAX_LEVEL;
    for (const PartyMemberRec& p : g_.party)
        if (p.in_use > 0) low = std::min<int>(low, p.level);
    return low;
}

bool Career::can_advance(int slot) {
    const PartyMemberRec& p = g_.party[static_cast<std::size_t>(slot)];
    return alive(p) && p.level < MAX_LEVEL && p.experience >= sub_experience_needed(g_, slot);
}

// The fee the review board announces.
int64_t Career::training_cost(int slot) const {
    const int64_t level = g_.party[static_cast<std::size_t>(slot)].level;
    return level * level * 100;
}

bool Career::badly_diseased(int slot) const {
    const PartyMemberRec& p = g_.party[static_cast<std::size_t>(slot)];
    return std::any_of(p.effects.begin(), p.effects.end(), [](const auto& e) {
        return e[EFFECT_DURATION] != 0 && e[EFFECT_TYPE] == EFFECT_DISEASE &&
               e[EFFECT_STRENGTH] >= 2;
    });
}

// A living member below half his hit points, or the living below two thirds of theirs.
bool Career::hurt_now() const {
    int hp = 0, max = 0;
    for (const PartyMemberRec& p : g_.party) {
        if (!alive(p)) continue;
        if (2 * p.hit_points < p.max_hit_points) return true;
        hp += p.hit_points, max += p.max_hit_points;
    }
    return 100 * hp < 65 * max;
}

bool Career::whole() const {
    return std::none_of(g_.party.begin(), g_.party.end(),
                        [](const PartyMemberRec& p) { return p.in_use > 0 && p.hit_points <= 0; });
}

bool Career::needs_town() {
    const int64_t purse = crowns();
    for (int s = 0; s < PARTY_SIZE; ++s) {
        const PartyMemberRec& p = g_.party[static_cast<std::size_t>(s)];
        if (p.in_use <= 0) continue;
        if (p.hit_points <= 0 &&
            purse >= temple_price_seen_[static_cast<std::size_t>(p.class_id & 7)])
            return true;
        if (badly_diseased(s) && purse >= cure_price_seen_) return true;
        if (can_advance(s) && purse >= training_cost(s)) return true;
    }
    if (purse < INN_PRICE) return false;
    if (hurt_now()) return true;
    bool casters = false, tired = true;
    for (const PartyMemberRec& p : g_.party)
        if (alive(p) && caster(p))
            casters = true, tired = tired && 4 * p.magic_points < p.max_magic_points;
    return casters && tired;
}

bool Career::rested() const {
    for (const PartyMemberRec& p : g_.party) {
        if (!alive(p)) continue;
        if (10 * p.hit_points < 9 * p.max_hit_points) return false;
        if (caster(p) && 10 * p.magic_points < 6 * p.max_magic_points) return false;
    }
    return true;
}

// The party order is changed with the city's N key: who moves, and where to.
void Career::arrange_party() {
    if (g_.current_location != LOCATION_CITY || g_.location_step != 0) return;
    const int n = sub_count_party_members(g_);
    for (int want = 0; want < n && !over(); ++want) {
        int best = want;
        for (int s = want + 1; s < n; ++s)
            if (rank(g_.party[static_cast<std::size_t>(s)]) <
                rank(g_.party[static_cast<std::size_t>(best)]))
                best = s;
        if (best == want) continue;
        key("N");
        key(letter(best));
        key(letter(want));
    }
}

// Everyone's crowns to one member, from the character sheet.
void Career::pool_to(int slot) {
    key(digit(slot + 1));
    key("P");
    key("X");
}

// ---------------------------------------------------------------------------------------
// The town

bool Career::town_visit(bool rest) {
    note(rest ? "to town, to rest before a fixed fight" : "to town");
    bool done = false;
    bool temple = false;
    for (int s = 0; s < PARTY_SIZE; ++s) {
        const PartyMemberRec& p = g_.party[static_cast<std::size_t>(s)];
        if (p.in_use <= 0) continue;
        if (p.hit_points <= 0 &&
            crowns() >= temple_price_seen_[static_cast<std::size_t>(p.class_id & 7)])
            temple = true;
        if (badly_diseased(s) && crowns() >= cure_price_seen_) temple = true;
    }
    if (temple) visit_temple(), done = true;
    for (int s = 0; s < PARTY_SIZE; ++s)
        if (can_advance(s) && crowns() >= training_cost(s)) {
            visit_review_board();
            done = true;
            break;
        }
    if (!over() && visit_shops()) done = true;
    bool tired = false;
    for (const PartyMemberRec& p : g_.party)
        if (alive(p) && (p.hit_points < p.max_hit_points ||
                         (caster(p) && 5 * p.magic_points < 4 * p.max_magic_points)))
            tired = true;
    if (!over() && (rest || tired) && crowns() >= INN_PRICE) {
        rest_at_inn();
        done = true;
    }
    return done;
}

bool Career::enter_building(int building, int number) {
    static constexpr int LOCATION_OF[] = {LOCATION_GUILD_HALL, LOCATION_SHOP, LOCATION_TEMPLE,
                                          LOCATION_REVIEW};
    const auto door = [&](const Square& q) {
        for (const MapEvent& e : router_.map(q.map).events)
            if (e[0] == EVENT_BUILDING && e[2] == q.x && e[3] == q.y && e[4] == building &&
                (building == BUILDING_GUILD_HALL || building == BUILDING_REVIEW ||
                 e[5] == number) &&
                event_condition_holds(e, g_.game_flags))
                return true;
        return false;
    };
    walk_to(door, false);
    return !over() && g_.current_location == LOCATION_OF[building];
}

void Career::visit_temple() {
    if (!enter_building(BUILDING_TEMPLE, TEMPLE_OF_LIGHT)) return;
    for (int s = 0; s < PARTY_SIZE && !over(); ++s) {
        const PartyMemberRec& p = g_.party[static_cast<std::size_t>(s)];
        const bool dead = p.in_use > 0 && p.hit_points <= 0;
        if (!dead && !badly_diseased(s)) continue;
        key(letter(s));
        key("S");
        // The priest names the prices on the list of services.
        const std::string service = dead ? "Healing" : "Cure Afflication";
        const int64_t price = price_on_screen(g_, service).value_or(0);
        note("temple asks " + std::to_string(price) + " for " + service);
        if (dead)
            temple_price_seen_[static_cast<std::size_t>(p.class_id & 7)] = price;
        else
            cure_price_seen_ = price;
        if (crowns() >= price) {
            if (g_.party[static_cast<std::size_t>(s)].crowns < price) pool_to(s);
            key(dead ? "A" : "C");
            key(" ");
            if (g_.party[static_cast<std::size_t>(s)].hit_points > 0 && !badly_diseased(s))
                ++rec_.raises;
        }
        key("R");
        key("R");
    }
    key("L");
}

void Career::visit_review_board() {
    if (!enter_building(BUILDING_REVIEW, 0)) return;
    for (int advances = 0; advances < 4 * PARTY_SIZE && !over(); ++advances) {
        int who = -1;
        for (int s = 0; s < PARTY_SIZE; ++s)
            if (can_advance(s) && crowns() >= training_cost(s) &&
                (who < 0 || training_cost(s) < training_cost(who)))
                who = s;
        if (who < 0) break;
        if (g_.party[static_cast<std::size_t>(who)].crowns < training_cost(who)) pool_to(who);
        const int level = g_.party[static_cast<std::size_t>(who)].level;
        key(letter(who));
        key("A");
        key(" ");
        if (g_.party[static_cast<std::size_t>(who)].level == level) break; // refused
        ++rec_.advances;
        note("advanced " + g_.party[static_cast<std::size_t>(who)].name.trimmed());
    }
    key("L");
}

void Career::rest_at_inn() {
    if (!enter_building(BUILDING_GUILD_HALL, 0)) return;
    int payer = -1;
    for (int s = 0; s < PARTY_SIZE && payer < 0; ++s)
        if (alive(g_.party[static_cast<std::size_t>(s)]) &&
            g_.party[static_cast<std::size_t>(s)].crowns >= INN_PRICE)
            payer = s;
    if (payer < 0) {
        for (int s = 0; s < PARTY_SIZE && payer < 0; ++s)
            if (alive(g_.party[static_cast<std::size_t>(s)])) payer = s;
        pool_to(payer);
    }
    note("rests at the inn");
    const int64_t before = crowns();
    key("H");
    key(letter(payer));
    if (crowns() < before) ++rec_.nights;
    key(" ");
    key("E");
}

// ---------------------------------------------------------------------------------------
// The shops: found things worth more than what a member wears are worn, spare arms and
// armour and valuables are sold, and each member buys the best weapon, body armour and
// shield he may use that the purse allows after the coming training fees and a night's rest.

namespace {

struct Purchase {
    int slot, shop, entry, item;
    int64_t price;
};

int worn_item(const PartyMemberRec& p, int kind) {
    return kind == KIND_RIGHT_HAND ? p.right_hand[0] : kind == KIND_BODY ? p.body : p.left_hand[0];
}

bool usable(const ItemRec& item, int class_id) {
    const std::size_t k = static_cast<std::size_t>(class_id + 1);
    return k < item.usable_by.size() && is_on(item.usable_by[k]);
}

bool has_use(const ItemRec& item) {
    return std::any_of(item.use_effects.begin(), item.use_effects.end(),
                       [](const auto& e) { return e[0] > 0; });
}

} // namespace

int64_t Career::reserve() {
    int64_t r = INN_PRICE;
    for (int s = 0; s < PARTY_SIZE; ++s) {
        const PartyMemberRec& p = g_.party[static_cast<std::size_t>(s)];
        if (alive(p) && 10 * int64_t(p.experience) >= 6 * int64_t(sub_experience_needed(g_, s)))
            r += training_cost(s);
    }
    return r;
}

void Career::equip_from_pack(int slot, int pack_slot) {
    key(digit(slot + 1));
    key("N");
    key("E");
    key(digit(pack_slot + 1));
    key("X");
    key("X");
}

// What the member found and may use, worn when it beats what he wears.
void Career::equip_found(int slot) {
    for (int k = 0; k < PACK_KEYS && !over(); ++k) {
        const PartyMemberRec& p = g_.party[static_cast<std::size_t>(slot)];
        const auto& row = p.pack[static_cast<std::size_t>(k)];
        if (row[PACK_ITEM] <= 0 || row[PACK_ITEM] > g_.item_count || row[PACK_IDENTIFIED] != 1)
            continue;
        sub_read_item(g_, row[PACK_ITEM]);
        const ItemRec found = g_.item_rec;
        if (found.kind != KIND_RIGHT_HAND && found.kind != KIND_BODY &&
            found.kind != KIND_LEFT_HAND)
            continue;
        if (!usable(found, p.class_id)) continue;
        const int worn = worn_item(p, found.kind);
        double worn_worth = found.kind == KIND_RIGHT_HAND ? 2 : 0; // bare hands: 1D3
        if (worn > 0 && worn <= g_.item_count) {
            sub_read_item(g_, worn);
            worn_worth = worth(g_.item_rec);
        }
        if (worth(found) > worn_worth) equip_from_pack(slot, k);
    }
}

// Spare arms and armour and the valuables the member carries, sold one by one.
void Career::sell_spare(int slot) {
    for (int sold = 0; sold < PACK_SLOTS && !over(); ++sold) {
        const PartyMemberRec& p = g_.party[static_cast<std::size_t>(slot)];
        int spare = -1;
        for (int k = 0; k < PACK_SLOTS && spare < 0; ++k) {
            const int item = p.pack[static_cast<std::size_t>(k)][PACK_ITEM];
            if (item <= 0 || item > g_.item_count) continue;
            sub_read_item(g_, item);
            const ItemRec& r = g_.item_rec;
            const bool gear = r.kind == KIND_RIGHT_HAND || r.kind == KIND_TWO_HANDED ||
                              r.kind == KIND_BODY || r.kind == KIND_LEFT_HAND;
            const bool valuable = r.kind == KIND_OTHER && !has_use(r) && r.price >= SELL_AT_LEAST;
            if (gear || valuable) spare = k;
        }
        if (spare < 0) break;
        key(letter(slot));
        key("S");
        key(letter(spare));
        key("A");
        key(" ");
        key("R");
        key("R");
    }
}

bool Career::visit_shops() {
    // The shops whose doors are open, and what each sells.
    std::vector<int> shops;
    for (int m = 1; m <= router_.map_count(); ++m)
        for (const MapEvent& e : router_.map(m).events)
            if (e[0] == EVENT_BUILDING && e[4] == BUILDING_SHOP && e[5] >= 1 &&
                e[5] <= g_.shop_count && event_condition_holds(e, g_.game_flags) &&
                std::find(shops.begin(), shops.end(), e[5]) == shops.end())
                shops.push_back(e[5]);
    if (shops.empty()) return false;

    int64_t budget = crowns() - reserve();
    std::vector<Purchase> plan;
    for (int s = 0; s < PARTY_SIZE; ++s) {
        const PartyMemberRec& p = g_.party[static_cast<std::size_t>(s)];
        if (!alive(p)) continue;
        for (const int kind : {KIND_RIGHT_HAND, KIND_BODY, KIND_LEFT_HAND}) {
            const int worn = worn_item(p, kind);
            double best = kind == KIND_RIGHT_HAND ? 2 : 0;
            if (worn > 0 && worn <= g_.item_count) {
                sub_read_item(g_, worn);
                best = worth(g_.item_rec);
            }
            std::optional<Purchase> pick;
            for (const int shop : shops) {
                sub_read_shop(g_, shop);
                const auto stock = g_.shop_rec.stock;
                for (std::size_t k = 0; k < stock.size(); ++k) {
                    const int item = stock[k];
                    if (item <= 0 || item > g_.item_count) continue;
                    sub_read_item(g_, item);
                    const ItemRec& r = g_.item_rec;
                    if (r.kind != kind || !usable(r, p.class_id)) continue;
                    const auto price = static_cast<int64_t>(sub_haggled_price(g_, r.price, s));
                    if (price > budget || worth(r) <= best) continue;
                    best = worth(r);
                    pick = Purchase{s, shop, static_cast<int>(k), item, price};
                }
            }
            if (pick) {
                plan.push_back(*pick);
                budget -= pick->price;
            }
        }
    }
    // Valuables are worth the walk on their own.
    int64_t valuables = 0;
    for (const PartyMemberRec& p : g_.party)
        for (const auto& row : p.pack)
            if (p.in_use > 0 && row[PACK_ITEM] > 0 && row[PACK_ITEM] <= g_.item_count) {
                sub_read_item(g_, row[PACK_ITEM]);
                if (g_.item_rec.kind == KIND_OTHER && !has_use(g_.item_rec) &&
                    g_.item_rec.price >= SELL_AT_LEAST)
                    valuables += g_.item_rec.price;
            }
    if (plan.empty() && valuables < 2 * SELL_AT_LEAST) return false;

    for (const int shop : shops) {
        const bool buys =
            std::any_of(plan.begin(), plan.end(), [&](auto& b) { return b.shop == shop; });
        if (!buys && shop != shops.front()) continue;
        if (!enter_building(BUILDING_SHOP, shop)) continue;
        for (const Purchase& b : plan) {
            if (b.shop != shop || over()) continue;
            if (g_.party[static_cast<std::size_t>(b.slot)].crowns < b.price) pool_to(b.slot);
            sub_read_item(g_, b.item);
            note("buys " + g_.item_rec.name.trimmed() + " for " + std::to_string(b.price));
            key(letter(b.slot));
            key("B");
            key(letter(b.entry));
            key(" ");
            key("R");
            key("R");
            const PartyMemberRec& p = g_.party[static_cast<std::size_t>(b.slot)];
            for (int k = 0; k < PACK_KEYS; ++k)
                if (p.pack[static_cast<std::size_t>(k)][PACK_ITEM] == b.item) {
                    ++rec_.purchases;
                    equip_from_pack(b.slot, k);
                    break;
                }
        }
        if (shop == shops.front())
            for (int s = 0; s < PARTY_SIZE && !over(); ++s)
                if (alive(g_.party[static_cast<std::size_t>(s)])) {
                    equip_found(s);
                    sell_spare(s);
                }
        if (!over()) key("L");
    }
    return true;
}

} // namespace duskwend
