// The shipped campaign's flags at work in the game itself: a random fight won on a fixed
// fight's square is not that fight, and the summit's bell, which opens Morvaine's sanctum,
// sounds only once her three guardians are dead.

#include "tools/balance/session.h"

#include "city/square_events.h"
#include "combat/combat.h"
#include "core/datafiles.h"

#include <gtest/gtest.h>

namespace duskwend {

namespace {

// Every monster falls at once and the victory is paid, then the party is back on the map.
void win_at_once(Game& g) {
    ASSERT_EQ(g.combat_active, -1);
    for (auto& group : g.monster_groups) group.count = 0;
    g.combat_step = COMBAT_ROUND;
    sub_combat_end_key(g);
    ASSERT_EQ(g.combat_step, COMBAT_VICTORY);
    g.one_time_step = {};
    sub_draw_combat_end(g);
    sub_combat_end_key(g);
    ASSERT_EQ(g.combat_active, 0);
}

void stand_on(Game& g, int x, int y) {
    g.party_x = static_cast<int16_t>(x);
    g.party_y = static_cast<int16_t>(y);
    sub_square_events(g);
}

TEST(ShippedCampaign, ARandomFightWonOnAFixedFightsSquareLeavesThatFightStanding) {
    const struct {
        int map, from_x, from_y, x, y, won_flag;
    } fights[] = {
        {1, 27, 7, 28, 7, 8},    // the wolves in the park
        {3, 23, 27, 23, 28, 20}, // the Bone Warden
        {8, 16, 14, 16, 13, 80}, // Morvaine the Hollow
    };
    for (const auto& f : fights) {
        SCOPED_TRACE("map " + std::to_string(f.map));
        HeadlessGame hg(DUSKWEND_BUILD_DATA_DIR, 1);
        Game& g = hg.g;
        Keyboard(g).type(NEW_PARTY_KEYS);
        sub_load_map(g, f.map);
        stand_on(g, f.from_x, f.from_y);
        ASSERT_EQ(g.combat_active, 0);
        // The step onto the fight's square brings a random fight first.
        g.party_x = static_cast<int16_t>(f.x);
        g.party_y = static_cast<int16_t>(f.y);
        sub_start_random_encounter(g);
        win_at_once(g);
        EXPECT_EQ(g.game_flags[static_cast<std::size_t>(f.won_flag)], 0);
        // Back on the map, the fixed fight begins, and its own victory counts.
        stand_on(g, f.x, f.y);
        win_at_once(g);
        EXPECT_EQ(g.game_flags[static_cast<std::size_t>(f.won_flag)], 1);
        // Neither comes again.
        stand_on(g, f.x, f.y);
        EXPECT_EQ(g.combat_active, 0);
    }
}

TEST(ShippedCampaign, TheBellSoundsOnlyWhenEveryGuardianIsDead) {
    constexpr int DRAKES = 83, ACOLYTES = 86, REAVER = 88, BELL = 82;
    const struct {
        bool drakes, acolytes, reaver;
    } cases[] = {{false, false, false},
                 {true, true, false},
                 {true, false, true},
                 {false, true, true},
                 {true, true, true}};
    for (const auto& c : cases) {
        HeadlessGame hg(DUSKWEND_BUILD_DATA_DIR, 1);
        Game& g = hg.g;
        sub_load_map(g, 8);
        g.game_flags[DRAKES] = c.drakes, g.game_flags[ACOLYTES] = c.acolytes;
        g.game_flags[REAVER] = c.reaver;
        stand_on(g, 16, 1);
        stand_on(g, 16, 1);
        EXPECT_EQ(g.game_flags[BELL] != 0, c.drakes && c.acolytes && c.reaver)
            << c.drakes << c.acolytes << c.reaver;
    }
}

} // namespace

} // namespace duskwend
