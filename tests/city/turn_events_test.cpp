// What passing time does on the map: interest, the map's rates, regeneration and disease
// every ten moves, and when monsters may appear.
#include "city/city_screen.h"
#include "city_fixture.h"

#include <limits>

namespace duskwend {

using namespace city_test;
using Lines = std::vector<std::string>;

namespace {

class TurnEvents : public CityTest {
  protected:
    Game& start_quiet(int hit_point_rate = 0, int magic_point_rate = 0, int members = 3) {
        std::vector<MapRec> maps = maps_of(1);
        maps[0].hit_point_rate = int16_t(hit_point_rate);
        maps[0].magic_point_rate = int16_t(magic_point_rate);
        maps[0].encounter_chance = -1; // no encounters
        Game& g = start(maps, 5, 5, 0, members);
        g.message_line = -1;
        return g;
    }
    // Runs the turn events until move_count reaches `move`.
    void until(int move) {
        while (game().move_count < move) sub_map_turn_events(game());
    }
};

TEST_F(TurnEvents, DebtsGrowEveryHundredMovesSavingsEveryThousandAndNothingWraps) {
    Game& g = start_quiet();
    g.party[0].bank = -100;
    g.party[1].bank = 100;
    g.party[2].bank = std::numeric_limits<int32_t>::max() - 5;
    g.party[3].bank = -100; // not in the party: left alone
    until(100);
    EXPECT_EQ(g.party[0].bank, -101);
    EXPECT_EQ(g.party[1].bank, 100);
    until(200);
    EXPECT_EQ(g.party[0].bank, -102);
    until(1000);
    EXPECT_EQ(g.party[1].bank, 101);
    EXPECT_EQ(g.party[2].bank, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(g.party[3].bank, -100);
    // A balance beyond sixteen bits keeps its interest.
    g.party[1].bank = 40000;
    until(2000);
    EXPECT_EQ(g.party[1].bank, 40400);
}

TEST_F(TurnEvents, MapRatesRestoreOrDrainTheLivingOnly) {
    Game& g = start_quiet(3, -2);
    for (int m = 0; m < 3; ++m) {
        g.party[m].hit_points = 5, g.party[m].max_hit_points = 10;
        g.party[m].magic_points = 1, g.party[m].max_magic_points = 10;
    }
    g.party[2].hit_points = 0;
    until(2);
    EXPECT_EQ(g.party[0].hit_points, 5);
    EXPECT_EQ(g.party[0].magic_points, 0);
    until(6);
    EXPECT_EQ(g.party[0].hit_points, 7);
    EXPECT_EQ(g.party[0].magic_points, 0) << "never below 0";
    EXPECT_EQ(g.party[2].hit_points, 0);
    EXPECT_EQ(g.party[2].magic_points, 1) << "the dead are not drained";

    g.map_rec.hit_point_rate = -3;
    until(9);
    EXPECT_EQ(g.party[0].hit_points, 6);
}

TEST_F(TurnEvents, RegenerationAndDiseaseActEveryTenMovesWithTheirMessages) {
    Game& g = start_quiet(0, 0, 4);
    g.party[0].hit_points = 0, g.party[0].max_hit_points = 10;
    g.party[0].effects[3] = {1, EFFECT_REGENERATION, 1};
    g.party[1].hit_points = 12, g.party[1].max_hit_points = 20, g.party[1].sex = 1;
    g.party[1].effects[0] = {-1, EFFECT_DISEASE, 3};
    g.party[2].hit_points = 5, g.party[2].max_hit_points = 20, g.party[2].sex = 2;
    g.party[2].effects[0] = {5, EFFECT_DISEASE, 3};
    g.party[3].hit_points = 9, g.party[3].max_hit_points = 10;
    g.party[3].effects[10] = {2, EFFECT_REGENERATION, 1};
    g.party[5].hit_points = 1, g.party[5].max_hit_points = 9; // an empty slot still counts
    g.party[5].effects[0] = {3, EFFECT_REGENERATION, 0};
    until(9);
    EXPECT_EQ(g.party[0].hit_points, 0);
    until(10);
    EXPECT_EQ(g.party[0].hit_points, 4) << "regeneration raises even a member at 0";
    EXPECT_EQ(g.party[0].effects[3], (std::array<int16_t, 3>{0, 0, 0})) << "expired and cleared";
    EXPECT_EQ(g.party[1].hit_points, 3);
    EXPECT_EQ(g.party[1].effects[0][EFFECT_DURATION], -1) << "never ends";
    EXPECT_EQ(g.party[2].hit_points, 0);
    EXPECT_EQ(g.party[2].effects[0][EFFECT_DURATION], 4);
    EXPECT_EQ(g.party[3].hit_points, 10) << "lowered to the maximum";
    EXPECT_EQ(g.party[5].hit_points, 2);
    EXPECT_EQ(messages(), (Lines{"Corvath regenerates slightly.", "Tallow suffers from a Disease.",
                                 "Mirel suffers from a Disease which kills her.",
                                 "Osk regenerates slightly.", " regenerates slightly."}));
    g.message_line = -1;
    until(20);
    EXPECT_EQ(messages(),
              (Lines{"Tallow suffers from a Disease which kills him.",
                     "Mirel suffers from a Disease which kills her.", " regenerates slightly."}));
}

TEST_F(TurnEvents, EncountersComeByTheMapsChanceButNeverOnATurn) {
    std::vector<MapRec> maps = maps_of(1);
    maps[0].encounter_chance = 100;
    maps[0].encounters[0] = {3, 0, 0, 2, -1}; // two goblins of the small world
    Game& g = start(maps, 5, 5);
    g.screens.map_turn_events = sub_map_turn_events;
    type("{left}{right}{left}");
    EXPECT_EQ(g.combat_active, 0);
    EXPECT_EQ(g.move_count, 3) << "a turn is still a move";
    type("{down}");
    EXPECT_EQ(g.combat_active, -1);
    EXPECT_EQ(g.message_lines[g.message_line], "Random Encounter ");
}

} // namespace

} // namespace duskwend
