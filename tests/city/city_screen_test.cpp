// Walking, turning, the party order and entering the city.
#include "city_fixture.h"

namespace duskwend {

using namespace city_test;
using Lines = std::vector<std::string>;

namespace {

class CityScreen : public CityTest {};

TEST_F(CityScreen, OnlyOpenSidesAndWallTypesSixAndSevenOfTheSquareAheadLetThePartyThrough) {
    // Facing f from (5, 5): the square ahead and its side facing the party.
    const struct {
        int facing, x, y, side;
    } ways[] = {{0, 5, 4, 4}, {1, 6, 5, 8}, {2, 5, 6, 1}, {3, 4, 5, 2}};
    for (const auto& w : ways) {
        for (int t = 0; t <= 7; ++t) {
            std::vector<MapRec> maps = maps_of(1);
            maps[0].grid[5][5] = 0x00F; // the square left behind never counts
            maps[0].grid[w.x][w.y] =
                int16_t(side_of_type(w.side, t) | side_of_type(15 & ~w.side, 5));
            Game& g = start(maps, 5, 5, w.facing);
            type("{up}");
            const bool moved = g.party_x == w.x && g.party_y == w.y;
            EXPECT_EQ(moved, t == 0 || t >= 6) << "facing " << w.facing << " type " << t;
            EXPECT_TRUE(moved || (g.party_x == 5 && g.party_y == 5));
        }
    }
    for (auto [x, y, facing] : {std::tuple{5, 0, 0}, {32, 5, 1}, {5, 32, 2}, {0, 5, 3}}) {
        Game& g = start(maps_of(1), x, y, facing);
        type("{up}");
        EXPECT_TRUE(g.party_x == x && g.party_y == y);
    }
}

TEST_F(CityScreen, TurningLeftAndRightMarksTheTurnTurningAboutDoesNot) {
    Game& g = start(maps_of(1), 5, 5, 0);
    type("{left}");
    EXPECT_EQ(g.party_facing * 10 + g.party_turned, 31);
    type("{right}{right}{down}");
    EXPECT_EQ(g.party_facing * 10 + g.party_turned, 30);
    type("{down}");
    EXPECT_EQ(g.party_facing * 10 + g.party_turned, 10);
}

TEST_F(CityScreen, PartyOrderMovesAMemberAndClosesTheGaps) {
    start(maps_of(1), 5, 5, 0, 1);
    type("N");
    EXPECT_TRUE(messages().empty()); // one member: no order to change

    start(maps_of(1), 5, 5, 0, 3);
    Game& h = game();
    type("N{up}H");
    EXPECT_EQ(messages(),
              (Lines{"Move which character?", "A. Corvath", "B. Tallow", "C. Mirel", "X. Exit"}));
    EXPECT_EQ(h.party_y, 5); // an arrow is only a letter here
    h.message_line = -1;
    type("AH");
    EXPECT_EQ(messages(), (Lines{"", "To Where", "A,B,C,D,E,F,G", "X. to exit"}));
    type("E"); // an empty slot: Corvath goes there, then the party closes up behind Mirel
    EXPECT_EQ(messages().back(), "Corvath moves.");
    EXPECT_EQ(h.party[0].name.trimmed() + h.party[1].name.trimmed() + h.party[2].name.trimmed(),
              "TallowMirelCorvath");
    EXPECT_EQ(h.party[3].in_use, 0);
    type("NX");
    EXPECT_EQ(messages().back(), "Exited.");
    type("NAX{up}");
    EXPECT_EQ(messages().back(), "Exited.");
    EXPECT_EQ(h.party_y, 4);
}

// Re-entering after a party-order move or a building keeps the party on its own map; only
// the guild hall, which sets map_level to 1, starts on map 1.
TEST_F(CityScreen, ReEnteringLoadsTheMapThePartyIsOn) {
    std::vector<MapRec> maps = maps_of(3);
    maps[2].difficulty = 9;
    Game& g = start(maps, 5, 5);
    sub_load_map(g, 3);
    type("NBA");
    EXPECT_EQ(g.map_level, 3);
    EXPECT_EQ(g.map_rec.difficulty, 9);
    for (int level : {1, 0, 4}) { // 0 and 4: maps the file does not hold
        g.map_level = int16_t(level);
        g.location_step = -1;
        sub_render_screen(g);
        EXPECT_EQ(g.map_level, 1);
        EXPECT_EQ(g.map_rec.difficulty, 0);
    }
}

} // namespace

} // namespace duskwend
