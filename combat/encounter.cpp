// How fights start: random encounters rolled from the map's encounter rows, fixed fights set
// up by square events, and keeping the monster groups in order.
#include "combat/combat.h"
#include "core/datafiles.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/rules.h"

#include <algorithm>

namespace duskwend {

namespace {

// A group never holds more members than its table has room for; member 100 stays empty.
constexpr int MAX_GROUP_SIZE = 100;

using MonsterMember = std::array<int16_t, MONSTER_ATTRIBUTES>;

// Monster numbers start at 1; a number whose slot lies beyond the end of Mon.dat names no
// monster at all.
bool monster_in_file(const Game& g, int n) {
    if (n < 1) return false;
    const int64_t end = int64_t(n) * MONSTER_SLOT + int64_t(MonsterRec::disk_size);
    return end <= g.data_files.monster.size();
}

void clear_groups(Game& g) {
    for (int grp = 0; grp < MONSTER_GROUP_COUNT; ++grp) {
        g.monster_groups[grp] = MonsterGroupRec{};
        for (MonsterMember& m : g.monster_state[grp]) m.fill(0);
        for (auto& slot : g.group_effects[grp]) slot[0] = 0;
        g.treasure_items[grp] = 0;
    }
}

// Fills group grp with `count` members of monster `monster`: each member's hit points, and the
// crowns and experience they bring. The member's own index is part of its experience.
void populate_group(Game& g, int grp, int monster, int count) {
    MonsterGroupRec& group = g.monster_groups[grp];
    count = std::clamp(count, 0, MAX_GROUP_SIZE);
    group = MonsterGroupRec{};
    for (MonsterMember& m : g.monster_state[grp]) m.fill(0);
    group.monster = static_cast<int16_t>(monster);
    group.count = static_cast<int16_t>(count);
    sub_read_monster(g, monster);
    const MonsterRec& r = g.monster_rec;
    for (int m = 0; m < count; ++m) {
        const int hp = sub_roll_dice(g, r.hit_dice[0], r.hit_dice[1], r.hit_dice[2]);
        g.monster_state[grp][m][MONSTER_HIT_POINTS] = static_cast<int16_t>(hp);
        const int crowns = sub_roll_dice(g, r.crowns_dice[0], r.crowns_dice[1], r.crowns_dice[2]);
        group.crowns = to_integer(double(group.crowns) + crowns);
        const double worth =
            double(r.experience_base) + double(r.experience_per_hit_point) * hp + m;
        group.experience = to_integer(double(group.experience) + worth);
    }
}

bool any_living_group(const Game& g) {
    return std::any_of(g.monster_groups.begin(), g.monster_groups.end(),
                       [](const MonsterGroupRec& m) { return m.monster > 0 && m.count > 0; });
}

// A fight is shown only while there is something to fight.
void start_if_anything_to_fight(Game& g) {
    if (any_living_group(g)) {
        g.combat_active = -1;
        g.combat_step = COMBAT_ENCOUNTER;
    } else {
        g.combat_active = 0;
    }
}

// Sorts the members of one group by hit points, highest first, and returns how many of
// members 0..99 are alive. Whole members move: their round values and their own effect
// travel with their hit points.
int sort_group(Game& g, int grp) {
    auto& members = g.monster_state[grp];
    std::stable_sort(members.begin(), members.end(),
                     [](const MonsterMember& a, const MonsterMember& b) {
                         return a[MONSTER_HIT_POINTS] > b[MONSTER_HIT_POINTS];
                     });
    int living = 0;
    for (int m = 0; m < MAX_GROUP_SIZE; ++m)
        if (members[m][MONSTER_HIT_POINTS] > 0) ++living;
    return living;
}

} // namespace

void sub_start_random_encounter(Game& g) {
    clear_groups(g);
    const auto& rows = g.map_rec.encounters;
    const int n = static_cast<int>(
        std::count_if(rows.begin(), rows.end(), [](const auto& row) { return row[0] > 0; }));
    // A map without encounter rows has no monsters to send.
    if (n == 0) {
        g.combat_active = 0;
        return;
    }
    bool more = true;
    for (int grp = 0; grp < MONSTER_GROUP_COUNT && more; ++grp) {
        const auto& row = rows[sub_roll_dice(g, 1, n, 0) - 1];
        const int count = sub_roll_dice(g, row[1], row[2], row[3]);
        // A row naming a monster the file does not hold makes no group.
        if (monster_in_file(g, row[0])) populate_group(g, grp, row[0], count);
        const int roll = sub_random_percent(g);
        if (double(row[4]) / (grp + 1) < roll) more = false;
    }
    sub_compact_monster_groups(g);
    start_if_anything_to_fight(g);
}

void sub_start_event_encounter(Game& g, int event, int group) {
    // Six groups at most: a seventh fight on one square is not set up.
    if (group < 0 || group >= MONSTER_GROUP_COUNT || event < 0 || event >= MAP_EVENT_COUNT) return;
    if (group == 0) {
        g.combat_active = 0;
        clear_groups(g);
    }
    const auto e = g.map_rec.events[event];
    const int monster = e[4];
    if (monster_in_file(g, monster)) {
        populate_group(g, group, monster, e[5]);
        MonsterGroupRec& grp = g.monster_groups[group];
        grp.crowns = to_integer(double(grp.crowns) + e[7]);
        if (e[6] > 0 && item_exists(g, e[6])) {
            auto free = std::find(g.treasure_items.begin(), g.treasure_items.end(), 0);
            if (free != g.treasure_items.end()) *free = e[6];
        }
    }
    sub_compact_monster_groups(g);
    start_if_anything_to_fight(g);
}

void sub_compact_monster_groups(Game& g) {
    for (int grp = 0; grp < MONSTER_GROUP_COUNT; ++grp)
        g.monster_groups[grp].count = static_cast<int16_t>(sort_group(g, grp));
    // Emptied groups sink towards group 5, keeping their monster, crowns and experience for
    // the payout; treasure and group effects stay where they are.
    for (int pass = 0; pass < MONSTER_GROUP_COUNT; ++pass) {
        for (int j = 0; j + 1 < MONSTER_GROUP_COUNT; ++j) {
            if (g.monster_groups[j].count != 0) continue;
            std::swap(g.monster_state[j], g.monster_state[j + 1]);
            std::swap(g.monster_groups[j], g.monster_groups[j + 1]);
        }
    }
}

int sub_next_able_member(Game& g, int slot) {
    for (int s = std::max(slot + 1, 0); s < MAX_PARTY; ++s)
        if (g.party[s].in_use != 0 && g.party[s].hit_points != 0) return s;
    return MAX_PARTY;
}

void sub_check_combat_item(Game& g, int, int item) {
    sub_read_item(g, item);
    g.message_lines[0].clear();
    const auto& effects = g.item_rec.use_effects;
    const bool usable =
        std::any_of(effects.begin(), effects.end(), [](const auto& row) { return row[0] > 0; });
    if (!usable)
        g.message_lines[0] = " " + g.item_rec.name.trimmed() + " can not be used that way.";
}

} // namespace duskwend
