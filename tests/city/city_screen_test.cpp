// Walking, turning, the party order and entering the city.
#include "city_fixture.h"

using namespace city_test;

namespace {

// Facing f, the step goes to (5, 5) + ahead and examines this side of the target square.
struct Facing {
    int facing, tx, ty, side;
};
const Facing FACINGS[] = {{0, 5, 4, 4}, {1, 6, 5, 8}, {2, 5, 6, 1}, {3, 4, 5, 2}};

class Walking : public CityTest {};

TEST_F(Walking, OnlyOpenSidesAndWallTypesSixAndSevenLetThePartyThrough) {
    for (const Facing& f : FACINGS) {
        for (int t = 0; t <= 7; ++t) {
            std::vector<MapRec> maps = empty_maps(1);
            maps[0].grid[f.tx][f.ty] = side_of_type(f.side, t);
            Game& g = start(maps, 5, 5, f.facing);
            type("{up}");
            const bool moved = g.party_x == f.tx && g.party_y == f.ty;
            EXPECT_EQ(moved, t == 0 || t >= 6) << "facing " << f.facing << " wall type " << t;
            if (!moved) {
                EXPECT_TRUE(g.party_x == 5 && g.party_y == 5);
            }
            EXPECT_EQ(g.party_facing, f.facing);
        }
    }
}

TEST_F(Walking, TheExamplesOfTheSouthSide) {
    for (auto [value, moves] : {std::pair{0x004, false}, {0x444, true}, {0x044, false}}) {
        std::vector<MapRec> maps = empty_maps(1);
        maps[0].grid[5][4] = static_cast<int16_t>(value);
        Game& g = start(maps, 5, 5);
        type("U");
        EXPECT_EQ(g.party_y, moves ? 4 : 5) << std::hex << value;
    }
}

TEST_F(Walking, TheSideOfTheSquareLeftBehindAndOtherSidesOfTheTargetDoNotCount) {
    std::vector<MapRec> maps = empty_maps(1);
    maps[0].grid[5][5] = side_of_type(1, 1);                     // own north wall
    maps[0].grid[5][4] = int16_t(side_of_type(1, 1) | side_of_type(2, 3) | side_of_type(8, 5));
    Game& g = start(maps, 5, 5);
    type("{up}");
    EXPECT_EQ(g.party_y, 4);
}

TEST_F(Walking, StepsOffTheGridAreRefused) {
    const struct {
        int x, y, facing;
    } edges[] = {{5, 0, 0}, {32, 5, 1}, {5, 32, 2}, {0, 5, 3}};
    for (const auto& e : edges) {
        Game& g = start(empty_maps(1), e.x, e.y, e.facing);
        type("{up}");
        EXPECT_EQ(g.party_x, e.x);
        EXPECT_EQ(g.party_y, e.y);
    }
}

TEST_F(Walking, TurningLeftAndRightWrapsAndMarksTheTurnTurningAboutDoesNot) {
    Game& g = start(empty_maps(1), 5, 5, 0);
    type("{left}");
    EXPECT_EQ(g.party_facing, 3);
    EXPECT_EQ(g.party_turned, 1);
    type("{right}{right}");
    EXPECT_EQ(g.party_facing, 1);
    EXPECT_EQ(g.party_turned, 1);
    type("{right}{right}{right}");
    EXPECT_EQ(g.party_facing, 0);

    type("{down}");
    EXPECT_EQ(g.party_facing, 2);
    EXPECT_EQ(g.party_turned, 0);
    type("{left}{down}");
    EXPECT_EQ(g.party_facing, 3);
    EXPECT_EQ(g.party_turned, 0);
    type("{down}");
    EXPECT_EQ(g.party_facing, 1);

    type("{left}Q");
    EXPECT_EQ(g.party_turned, 0); // any other key clears the mark
    EXPECT_EQ(g.party_facing, 0);
}

TEST_F(Walking, EveryKeyOnTheMapIsAMove) {
    Game& g = start(empty_maps(1), 5, 5);
    int turns = 0;
    g.screens.map_turn_events = [&](Game&) { ++turns; };
    type("{up}{left}NQ{backspace}");
    EXPECT_EQ(turns, 5);
}

class PartyOrder : public CityTest {};

TEST_F(PartyOrder, OneMemberGetsNoPrompt) {
    Game& g = start(empty_maps(1), 5, 5, 0, 1);
    type("N");
    EXPECT_EQ(g.location_step, 0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(PartyOrder, AMemberMovesToAnEmptySlotAndThePartyClosesUp) {
    Game& g = start(empty_maps(1), 5, 5, 0, 3);
    type("N");
    EXPECT_EQ(messages(), (std::vector<std::string>{"Move which character?", "A. Corvath", "B. Tallow",
                                                    "C. Mirel", "X. Exit"}));
    EXPECT_EQ(g.location_step, 1);

    type("{up}FH"); // arrows are letters here; F and H name no member
    EXPECT_EQ(g.location_step, 1);
    EXPECT_EQ(g.party_y, 5);

    g.message_line = -1;
    type("A");
    EXPECT_EQ(g.sheet_target, 0);
    EXPECT_EQ(messages(), (std::vector<std::string>{"", "To Where", "A,B,C,D,E,F,G", "X. to exit"}));
    EXPECT_EQ(g.location_step, 2);

    type("H");
    EXPECT_EQ(g.location_step, 2);
    g.message_line = -1;
    type("E");
    EXPECT_EQ(messages(), std::vector<std::string>{"Corvath moves."});
    EXPECT_EQ(g.sheet_choice, 4);
    // Corvath went to slot 4, then the gap at slot 0 closed: he now comes last.
    EXPECT_EQ(g.party[0].name.trimmed(), "Tallow");
    EXPECT_EQ(g.party[1].name.trimmed(), "Mirel");
    EXPECT_EQ(g.party[2].name.trimmed(), "Corvath");
    EXPECT_EQ(g.party[3].in_use, 0);
    EXPECT_EQ(g.location_step, 0); // re-entered at the drawing
}

TEST_F(PartyOrder, TwoMembersSwapPlaces) {
    Game& g = start(empty_maps(1), 5, 5, 0, 2);
    type("NBA");
    EXPECT_EQ(g.party[0].name.trimmed(), "Tallow");
    EXPECT_EQ(g.party[1].name.trimmed(), "Corvath");
}

TEST_F(PartyOrder, XLeavesFromEitherPrompt) {
    Game& g = start(empty_maps(1), 5, 5, 0, 2);
    type("NX");
    EXPECT_EQ(g.location_step, 0);
    EXPECT_EQ(messages().back(), "Exited.");
    type("NAX");
    EXPECT_EQ(g.location_step, 0);
    EXPECT_EQ(messages().back(), "Exited.");
    EXPECT_EQ(g.party[0].name.trimmed(), "Corvath");
    type("{up}"); // walking again
    EXPECT_EQ(g.party_y, 4);
}

class Entering : public CityTest {};

// Re-entering keeps the party on the map it stands on; only the guild hall, which sets
// map_level to 1 on the way out, starts on map 1.
TEST_F(Entering, ReEnteringLoadsTheMapThePartyIsOn) {
    std::vector<MapRec> maps = empty_maps(3);
    maps[2].grid[5][4] = side_of_type(4, 1);
    maps[2].difficulty = 9;
    Game& g = start(maps, 5, 5);
    sub_load_map(g, 3);
    type("NBA");
    EXPECT_EQ(g.map_level, 3);
    EXPECT_EQ(g.map_rec.difficulty, 9);
    type("{up}");
    EXPECT_EQ(g.party_y, 5); // map 3's wall, not map 1's open street

    // Coming back out of a building.
    g.current_location = LOCATION_CITY;
    g.location_step = -1;
    sub_render_screen(g);
    EXPECT_EQ(g.map_level, 3);

    // The guild hall's way out.
    g.location_step = -1;
    g.map_level = 1;
    sub_render_screen(g);
    EXPECT_EQ(g.map_level, 1);
    EXPECT_EQ(g.map_rec.difficulty, 0);
}

TEST_F(Entering, AMapLevelTheFileDoesNotHoldFallsBackToMapOne) {
    std::vector<MapRec> maps = empty_maps(2);
    maps[0].difficulty = 4;
    Game& g = start(maps, 5, 5);
    for (int level : {0, -2, 3, 32767}) {
        g.map_level = static_cast<int16_t>(level);
        g.location_step = -1;
        sub_render_screen(g);
        EXPECT_EQ(g.map_level, 1);
        EXPECT_EQ(g.map_rec.difficulty, 4);
    }
}

TEST_F(Entering, TheWallHoldersAndTheMessageAreaAreLoadedAndShown) {
    Game& g = start(empty_maps(1), 5, 5);
    const auto& asked = started->host.requested;
    for (const char* f : {"w1a.bmp", "w1b.bmp", "l1a.bmp", "l1b.bmp", "r1a.bmp", "r1b.bmp", "back.bmp"})
        EXPECT_TRUE(std::any_of(asked.begin(), asked.end(), [&](const std::string& p) { return p.ends_with(f); }))
            << f;
    EXPECT_EQ(g.location_step, 0);
    EXPECT_EQ(g.Form1.mainPic.picture_name, "view");
    g.message_lines[3] = "a line of the area";
    type("Q");
    const auto& runs = g.Form1.Text.runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, "a line of the area");
    EXPECT_EQ(runs[0].y, 3 * LINE_HEIGHT);
}

} // namespace
