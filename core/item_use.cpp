// Using an item: whether it can be used at all, and what using it on a member does.
#include "core/item_use.h"

#include "core/datafiles.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/output.h"
#include "core/rules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace duskwend {

namespace {

bool party_slot(int m) {
    return m >= 0 && m < PARTY_SIZE;
}

// n dice of s sides, as sub_roll_dice rolls them, but summed wide: a strong potion's s x s
// sides would leave the Integer range.
int64_t roll_wide(Game& g, int64_t n, int64_t s) {
    int64_t total = 0;
    for (int64_t i = 0; i < n; ++i)
        total += static_cast<int64_t>(std::floor(static_cast<double>(s) * sub_random(g) + 1));
    return total;
}

// Takes one item from where it was used: one from the pack slot's or the hand's quantity, or
// the body armour itself. False when the place does not hold the item.
bool take_one(PartyMemberRec& m, int place, int item) {
    const auto take_from = [](int16_t& number, int16_t& quantity) {
        quantity = to_integer(double(quantity) - 1);
        if (quantity <= 0) number = 0;
    };
    if (place >= 0 && place <= 9) {
        auto& slot = m.pack[place];
        if (slot[PACK_ITEM] != item || item < 1) return false;
        take_from(slot[PACK_ITEM], slot[PACK_QUANTITY]);
    } else if (place == USE_FROM_RIGHT_HAND || place == USE_FROM_LEFT_HAND) {
        auto& hand = place == USE_FROM_RIGHT_HAND ? m.right_hand : m.left_hand;
        if (hand[0] != item || item < 1) return false;
        take_from(hand[0], hand[1]);
    } else if (place == USE_FROM_BODY) {
        if (m.body != item || item < 1) return false;
        m.body = 0;
    } else {
        return false;
    }
    return true;
}

} // namespace

void sub_check_item_use(Game& g, int /*member*/, int item, int identified) {
    g.sheet_choice = static_cast<int16_t>(item);
    g.use_identified = static_cast<int16_t>(identified);
    sub_read_item(g, item);
    g.message_lines[0].clear();
    const auto& effects = g.item_rec.use_effects;
    if (std::any_of(effects.begin(), effects.end(), [](const auto& e) { return e[0] > 0; })) return;
    g.message_lines[0] = (identified == 1 ? " " + g.item_rec.name.trimmed() : " Unknown") +
                         " can not be used that way.";
}

void sub_use_item(Game& g, int user, int item, int target, int /*identified*/, int place) {
    if (!party_slot(user) || !party_slot(target)) return;
    g.message_line = -1;
    sub_show_message(g, "");

    sub_read_item(g, item);
    const std::string user_name = g.party[user].name.trimmed();
    const std::string target_name = g.party[target].name.trimmed();
    std::string text = user_name + " uses the " + g.item_rec.name.trimmed();
    if (target != user) text += " on " + target_name;
    g.message_line = 2;
    sub_show_message(g, text + ".");

    sub_read_item(g, item);
    const std::string item_name = g.item_rec.name.trimmed();
    const auto effects = g.item_rec.use_effects;
    std::string result;
    bool consumed = false;
    for (const auto& e : effects) {
        if (e[0] != USE_HEALING || e[1] != USE_HIT_POINTS) continue;
        consumed = true;
        const int64_t s = e[2];
        result = "The " + item_name + " heals " + target_name + " of";
        int64_t amount = (s + 1) * (s + 1);
        if (s > 1) amount += roll_wide(g, s, s * s);
        // Never more than the target lacks; a member above the maximum lacks nothing.
        PartyMemberRec& t = g.party[target];
        const int64_t lack = std::max<int64_t>(0, int64_t(t.max_hit_points) - t.hit_points);
        amount = std::min(amount, lack);
        result += str_form(amount) + " point" + (amount == 1 ? "" : "s") + " of damage.";
        if (amount == 0) result += "  " + target_name + " did not need healing.";
        result += "  The " + item_name + " is consumed.";
        t.hit_points = to_integer(static_cast<double>(t.hit_points + amount));
    }
    if (!result.empty()) {
        g.message_line = 4;
        sub_show_message(g, result);
    }
    // One item is used up, from the place it was used from; when that place no longer holds
    // it, from the first place that does.
    if (consumed && !take_one(g.party[user], place, item))
        take_one(g.party[user], sub_find_item_place(g, user, item), item);
}

int sub_find_item_place(const Game& g, int user, int item) {
    if (!party_slot(user) || item < 1) return USE_FROM_NOWHERE;
    const PartyMemberRec& m = g.party[user];
    for (int k = 0; k <= 9; ++k)
        if (m.pack[k][PACK_ITEM] == item) return k;
    if (m.right_hand[0] == item) return USE_FROM_RIGHT_HAND;
    if (m.left_hand[0] == item) return USE_FROM_LEFT_HAND;
    if (m.body == item) return USE_FROM_BODY;
    return USE_FROM_NOWHERE;
}

} // namespace duskwend
