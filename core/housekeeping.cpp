// Keeping the roster, the party and the packs in order.
#include "core/game.h"
#include "core/numbers.h"
#include "core/rules.h"

#include <algorithm>
#include <utility>

namespace duskwend {

void sub_sort_roster(Game& g) {
    // One pass of neighbour exchanges: an empty entry sinks to 9, larger in_use values rise
    // one place per pass. Entry 10 is never touched.
    for (int e = 1; e <= 9; ++e)
        if (g.roster[e].in_use > g.roster[e - 1].in_use) std::swap(g.roster[e], g.roster[e - 1]);
}

int sub_count_party_members(const Game& g) {
    return static_cast<int>(std::count_if(g.party.begin(), g.party.end(),
                                          [](const PartyMemberRec& m) { return m.in_use > 0; }));
}

void sub_compact_party(Game& g) {
    for (int pass = 0; pass < PARTY_SIZE - 1; ++pass)
        for (int a = 1; a < PARTY_SIZE; ++a)
            if (g.party[a - 1].in_use == 0) sub_swap_party_members(g, a - 1, a);
}

void sub_swap_party_members(Game& g, int a, int b) {
    std::swap(g.party[a], g.party[b]);
}

void sub_tidy_pack(Game& g, int m) {
    auto& pack = g.party[m].pack;
    for (int pass = 0; pass < 10; ++pass)
        for (int j = 0; j <= 8; ++j)
            if (pack[j][PACK_ITEM] == 0) std::swap(pack[j], pack[j + 1]);
    for (int i = 0; i <= 8; ++i) {
        if (pack[i][PACK_ITEM] <= 0) continue;
        for (int k = i + 1; k <= 9; ++k) {
            if (pack[k][PACK_ITEM] == pack[i][PACK_ITEM] &&
                pack[k][PACK_IDENTIFIED] == pack[i][PACK_IDENTIFIED]) {
                pack[i][PACK_QUANTITY] =
                    to_integer(double(pack[i][PACK_QUANTITY]) + pack[k][PACK_QUANTITY]);
                pack[k][PACK_ITEM] = 0;
            }
        }
    }
}

int16_t sub_find_empty_pack_slot(Game& g, int m) {
    for (int j = 0; j <= 9; ++j)
        if (g.party[m].pack[j][PACK_ITEM] == 0) return static_cast<int16_t>(j);
    return -1;
}

void sub_pool_crowns(Game& g, int target) {
    // Summed in 64 bits and stored saturated, so a rich party never wraps.
    int64_t sum = 0;
    for (int s = 0; s < MAX_PARTY; ++s) {
        if (g.party[s].in_use <= 0) continue;
        sum += g.party[s].crowns;
        g.party[s].crowns = 0;
    }
    g.party[target - 1].crowns = to_long(static_cast<double>(sum));
}

int sub_pack_found_item(Game& g, PartyMemberRec& p, int item, int quantity) {
    int slot = -1;
    for (int j = 0; j <= 9 && slot < 0; ++j)
        if (p.pack[j][PACK_ITEM] == item || p.pack[j][PACK_ITEM] == 0) slot = j;
    if (slot < 0) return -1;
    auto& row = p.pack[slot];
    if (row[PACK_ITEM] == 0) {
        row[PACK_ITEM] = static_cast<int16_t>(item);
        row[PACK_QUANTITY] = static_cast<int16_t>(quantity);
        const double d = 5.0 * p.level + p.thief_skills[0] - 5.0 * g.map_rec.difficulty;
        const double r = 100 * sub_random(g);
        row[PACK_IDENTIFIED] = r > d ? 0 : 1;
    } else {
        row[PACK_QUANTITY] = to_integer(double(row[PACK_QUANTITY]) + quantity);
    }
    return slot;
}

int16_t sub_attribute_trend(Game& g, int k, int m) {
    if (k < 0 || k >= ATTRIBUTE_COUNT) return 0;
    const PartyMemberRec& p = g.party[m];
    const int current = attribute(p, k), base = base_attribute(p, k);
    return static_cast<int16_t>(current > base ? 1 : current < base ? -1 : 0);
}

void sub_lowest_spell_level(Game& g, int m) {
    g.spell_level_shown = 99;
    for (int k = 0; k <= 100 && g.spell_level_shown != 0; ++k) {
        const int16_t spell = g.party[m].spells_known[k];
        if (spell == 0) continue;
        sub_read_spell(g, spell);
        if (g.spell_rec.level < g.spell_level_shown) g.spell_level_shown = g.spell_rec.level;
    }
}

int16_t sub_step_spell_level(Game& g, int m, int direction) {
    const bool up = direction == 1;
    int best = up ? 99 : -1;
    for (int k = 0; k <= 100; ++k) {
        const int16_t spell = g.party[m].spells_known[k];
        if (spell == 0) continue;
        sub_read_spell(g, spell);
        const int L = g.spell_rec.level;
        if (up ? (g.spell_level_shown < L && L < best) : (best < L && L < g.spell_level_shown))
            best = L;
    }
    return best == 99 || best == -1 ? g.spell_level_shown : static_cast<int16_t>(best);
}

} // namespace duskwend
