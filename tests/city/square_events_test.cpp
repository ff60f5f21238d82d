// The events of the party's square.
#include "city_fixture.h"

using namespace city_test;
using Lines = std::vector<std::string>;

namespace {

constexpr int TELEPORT = 1, BUILDING = 2, PICTURE = 3, MESSAGE = 4, SWITCH = 6, TEXT = 7, TREASURE = 8;

class SquareEvents : public CityTest {};

TEST_F(SquareEvents, TwoMessagesShowInTableOrderOnEveryKey) {
    std::vector<MapRec> maps = empty_maps(1);
    maps[0].messages[3] = "Bakers' Row";
    maps[0].messages[4] = "Mind the gutter";
    maps[0].events[2] = event(MESSAGE, 5, 5, 4);
    maps[0].events[7] = event(MESSAGE, 5, 5, 3);
    maps[0].events[8] = event(MESSAGE, 5, 6, 3); // another square
    Game& g = start(maps, 5, 5);
    EXPECT_EQ(messages(), (Lines{"Mind the gutter", "Bakers' Row"}));
    type("{left}");
    EXPECT_EQ(messages(), (Lines{"Mind the gutter", "Bakers' Row", "Mind the gutter", "Bakers' Row"}));
    EXPECT_EQ(g.message_lines[0], std::string("Mind the gutter") + std::string(36, ' ')); // as stored
}

TEST_F(SquareEvents, ASignSeenFromTheSouthOnlyShowsWhileFacingSouth) {
    for (int seen_from : {0x004, 0x040, 0x400}) {
        std::vector<MapRec> maps = empty_maps(1);
        maps[0].messages[0] = "South Gate";
        maps[0].events[0] = event(MESSAGE, 5, 5, 0, seen_from);
        start(maps, 5, 5, 0);
        EXPECT_TRUE(messages().empty());
        type("{right}");
        EXPECT_TRUE(messages().empty());
        type("{right}");
        EXPECT_EQ(messages(), Lines{"South Gate"});
        type("{right}");
        EXPECT_EQ(messages(), Lines{"South Gate"});
    }
}

TEST_F(SquareEvents, ASwitchActsOnTheEventsAfterItInTheSamePass) {
    // Switch first: the message shows at once.
    std::vector<MapRec> maps = empty_maps(1);
    maps[0].messages[1] = "The lever clanks.";
    maps[0].events[0] = event(SWITCH, 5, 5, 7, 2, 1);
    maps[0].events[1] = event(MESSAGE, 5, 5, 1, 0, 0, 0, 7, 1);
    start(maps, 5, 5);
    EXPECT_EQ(messages(), Lines{"The lever clanks."});

    // Message first: it shows from the next key on.
    std::swap(maps[0].events[0], maps[0].events[1]);
    start(maps, 5, 5);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(game().game_flags[7], 1);
    type("Q");
    EXPECT_EQ(messages(), Lines{"The lever clanks."});
}

TEST_F(SquareEvents, ConditionKinds) {
    const struct {
        int test, value;
        bool fires;
    } cases[] = {{1, 0, true}, {2, 0, false}, {3, 5, true}, {3, 4, false}, {4, 6, true}, {4, 5, false},
                 {5, 4, true}, {5, 5, false}, {0, 0, false}, {6, 5, false}};
    for (const auto& c : cases) {
        std::vector<MapRec> maps = empty_maps(1);
        maps[0].messages[0] = "yes";
        maps[0].events[1] = event(MESSAGE, 5, 5, 0, 0, 0, 0, 9, c.test, c.value);
        maps[0].events[0] = event(SWITCH, 5, 5, 9, 2, 5);
        start(maps, 5, 5);
        EXPECT_EQ(!messages().empty(), c.fires) << "kind " << c.test << " value " << c.value;
    }
}

TEST_F(SquareEvents, SharedTreasureGivesEachMemberAShareAndOne) {
    for (auto [members, crowns] : {std::pair{3, 134}, {4, 126}}) {
        std::vector<MapRec> maps = empty_maps(1);
        maps[0].events[0] = event(TREASURE, 5, 5, 1, 100, 0);
        Game& g = start(maps, 5, 5, 0, members);
        EXPECT_EQ(messages(), (Lines{"", "The party recieves 100 imperial crowns."}));
        for (int m = 0; m < members; ++m) EXPECT_EQ(g.party[m].crowns, crowns) << members;
        EXPECT_EQ(g.party[members].crowns, 0);
    }
}

TEST_F(SquareEvents, TreasureForEachMemberGivesTheWholeAmount) {
    std::vector<MapRec> maps = empty_maps(1);
    maps[0].events[0] = event(TREASURE, 5, 5, 0, 50, 1);
    Game& g = start(maps, 5, 5, 0, 2);
    EXPECT_EQ(messages(), (Lines{"", "Corvath receives 50 experience points.", "Tallow receives 50 experience points."}));
    EXPECT_EQ(g.party[0].experience, 50);
    EXPECT_EQ(g.party[1].experience, 50);
    EXPECT_EQ(g.party[0].crowns, 100);
}

TEST_F(SquareEvents, AFoundItemIsIdentifiedByTheRoll) {
    // Item 2 of the small world is the Dagger. A thief skill of 100 always identifies; a
    // difficulty above the finder's level never does.
    std::vector<MapRec> maps = empty_maps(1);
    maps[0].events[0] = event(TREASURE, 5, 5, 2, 2, 2);
    maps[0].difficulty = 2;
    Game& g = start(maps, 5, 5, 0, 1);
    EXPECT_EQ(messages(), (Lines{"", "", "Corvath finds 2 somethings."}));
    EXPECT_EQ(g.party[0].pack[0][PACK_ITEM], 2);
    EXPECT_EQ(g.party[0].pack[0][PACK_QUANTITY], 2);
    EXPECT_EQ(g.party[0].pack[0][PACK_IDENTIFIED], 0);
    // The same item again joins the stack and keeps its flag.
    g.party[0].thief_skills[0] = 100;
    g.message_line = -1;
    type("Q");
    EXPECT_EQ(messages(), (Lines{"", "", "Corvath finds 2 somethings."}));
    EXPECT_EQ(g.party[0].pack[0][PACK_QUANTITY], 4);
    EXPECT_EQ(g.party[0].pack[1][PACK_ITEM], 0);

    maps[0].difficulty = 0;
    maps[0].events[0] = event(TREASURE, 5, 5, 2, 1, 2);
    start(maps, 5, 5, 0, 1);
    game().party[0].thief_skills[0] = 100;
    game().party[0].pack[0] = {5, 1, 1};
    game().message_line = -1;
    type("Q");
    EXPECT_EQ(messages(), (Lines{"", "", "Corvath finds 1 Dagger."}));
    EXPECT_EQ(game().party[0].pack[1][PACK_ITEM], 2);
    EXPECT_EQ(game().party[0].pack[1][PACK_IDENTIFIED], 1);
}

TEST_F(SquareEvents, AFullPackLosesTheTreasure) {
    std::vector<MapRec> maps = empty_maps(1);
    maps[0].events[0] = event(TREASURE, 5, 5, 2, 1, 2);
    Game& g = start(maps, 5, 6, 0, 1);
    for (int j = 0; j <= 9; ++j) g.party[0].pack[j] = {int16_t(3 + j), 1, 1};
    type("{up}");
    EXPECT_EQ(g.message_line, 0); // the one empty line
    EXPECT_TRUE(messages().empty());
    for (int j = 0; j <= 9; ++j) EXPECT_EQ(g.party[0].pack[j][PACK_ITEM], 3 + j);
}

TEST_F(SquareEvents, LongTextsSplitAtTheirMarkersAndMayClearTheArea) {
    std::vector<MapRec> maps = empty_maps(1);
    maps[0].texts[0] = "\\CThe well is dry.\\nSomething stirs below.\\NA\\n\\nB";
    maps[0].texts[1] = "No marker here";
    maps[0].events[0] = event(TEXT, 5, 5, 0);
    maps[0].events[1] = event(TEXT, 5, 6, 1);
    Game& g = start(maps, 5, 7);
    g.message_line = 4;
    type("{up}");
    EXPECT_EQ(messages(), (Lines{"", "", "", "", "", "No marker here"}));

    type("{up}");
    // \C starts a fresh page; a marker right after another is printed as text.
    EXPECT_EQ(messages(), (Lines{"The well is dry.", "Something stirs below.", "", "A", "\\nB"}));
}

TEST_F(SquareEvents, TeleportsLoadTheNewMapWithinThePass) {
    std::vector<MapRec> maps = empty_maps(2);
    maps[0].messages[0] = "left behind";
    maps[0].events[3] = event(TELEPORT, 5, 5, 2, 3, 4, 3); // map 2, (3, 4), facing south
    maps[0].events[4] = event(MESSAGE, 5, 5, 0);
    maps[1].messages[0] = "early";
    maps[1].messages[1] = "arrived";
    maps[1].events[0] = event(MESSAGE, 3, 4, 0);
    maps[1].events[5] = event(MESSAGE, 3, 4, 1);
    maps[1].grid[3][5] = side_of_type(1, 1); // the wall ahead once there
    Game& g = start(maps, 5, 5);
    EXPECT_EQ(g.map_level, 2);
    EXPECT_EQ(g.party_x, 3);
    EXPECT_EQ(g.party_y, 4);
    EXPECT_EQ(g.party_facing, 2);
    EXPECT_EQ(messages(), Lines{"arrived"});
    EXPECT_EQ(g.Form1.mainPic.picture_name, "view");
    type("Q");
    EXPECT_EQ(messages(), (Lines{"arrived", "early", "arrived"}));

    // Field 7 = 0 keeps the facing; a teleport on the same map does not reload it.
    maps[0].events[3] = event(TELEPORT, 5, 5, 1, 7, 8, 0);
    start(maps, 5, 5, 1);
    game().map_rec.difficulty = 3; // only a reload would undo this
    type("Q");
    EXPECT_EQ(game().party_facing, 1);
    EXPECT_EQ(game().party_x, 7);
    EXPECT_EQ(game().map_rec.difficulty, 3);
}

TEST_F(SquareEvents, DoorsLeadIntoTheBuildings) {
    const struct {
        int building, number;
        int location;
        const char* picture;
        Lines said;
    } doors[] = {
        {0, 0, LOCATION_GUILD_HALL, "tavern.bmp", {"You enter the Guildhall"}},
        {1, 2, LOCATION_SHOP, "shoppe.bmp", {"You enter 'Ye Oldde Equippe' shop."}},
        {2, 0, LOCATION_TEMPLE, "temple.bmp", {"You enter The temple of Light."}},
        {2, 1, LOCATION_TEMPLE, "temple.bmp", {}},
        {3, 0, LOCATION_REVIEW, "review.bmp", {"You enter into a Review Board."}},
    };
    for (const auto& d : doors) {
        std::vector<MapRec> maps = empty_maps(1);
        maps[0].events[0] = event(BUILDING, 5, 5, d.building, d.number);
        Game& g = start(maps, 5, 5);
        EXPECT_EQ(g.current_location, d.location);
        EXPECT_EQ(g.location_step, 0);
        EXPECT_EQ(g.Form1.mainPic.picture_name, d.picture);
        EXPECT_EQ(messages(), d.said);
        if (d.building == 1 || d.building == 2) {
            EXPECT_EQ(g.building_number, d.number);
        }
    }
    std::vector<MapRec> maps = empty_maps(1);
    maps[0].events[0] = event(BUILDING, 5, 5, 4);
    EXPECT_EQ(start(maps, 5, 5).current_location, LOCATION_CITY);
}

// Serves every picture but Map9.bmp.
class NoMap9Host final : public Host {
  public:
    std::optional<Bitmap> load_bitmap(const std::string& path) override {
        if (path.ends_with("Map9.bmp")) return std::nullopt;
        return Bitmap(228, 140, 0x404040);
    }
};

TEST_F(SquareEvents, PicturesReplaceTheViewAndAMissingOneLeavesIt) {
    NoMap9Host host;
    std::vector<MapRec> maps = empty_maps(1);
    maps[0].events[0] = event(PICTURE, 5, 5, 7, 0x002);
    maps[0].events[1] = event(PICTURE, 6, 5, 9);
    Game& g = start(maps, 5, 5, 0, 2, &host);
    EXPECT_EQ(g.Form1.mainPic.picture_name, "view");
    type("{right}");
    EXPECT_EQ(g.Form1.mainPic.picture_name, "Map7.bmp");
    type("{up}");
    EXPECT_EQ(g.party_x, 6);
    EXPECT_EQ(g.Form1.mainPic.picture_name, "view");
}

// Numbers past their tables or files come from damaged maps; such events do nothing.
TEST_F(SquareEvents, EventsNamingWhatDoesNotExistAreSkipped) {
    std::vector<MapRec> maps = empty_maps(2);
    maps[0].events[0] = event(MESSAGE, 5, 5, 51);
    maps[0].events[1] = event(MESSAGE, 5, 5, -1);
    maps[0].events[2] = event(TEXT, 5, 5, 11);
    maps[0].events[3] = event(SWITCH, 5, 5, 101, 2, 1);
    maps[0].events[4] = event(SWITCH, 5, 5, -1, 2, 1);
    maps[0].events[5] = event(MESSAGE, 5, 5, 0, 0, 0, 0, 101, 2);
    maps[0].events[6] = event(TELEPORT, 5, 5, 3, 1, 1);
    maps[0].events[7] = event(TELEPORT, 5, 5, 0, 1, 1);
    maps[0].events[8] = event(TELEPORT, 5, 5, 2, 33, 1);
    maps[0].events[9] = event(TELEPORT, 5, 5, 2, 1, -1);
    maps[0].events[10] = event(TELEPORT, 5, 5, 2, 1, 1, 5);
    maps[0].events[11] = event(TREASURE, 5, 5, 2, 1, 14); // the small world has 13 items
    maps[0].events[12] = event(TREASURE, 5, 5, 2, 1, 0);
    maps[0].messages[0] = "a message";
    Game& g = start(maps, 5, 5);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(g.map_level, 1);
    EXPECT_EQ(g.party_x, 5);
    EXPECT_EQ(g.party_y, 5);
    EXPECT_EQ(g.party_facing, 0);
    EXPECT_EQ(g.party[0].pack[0][PACK_ITEM], 0);
    EXPECT_EQ(g.party[1].pack[0][PACK_ITEM], 0);
}

} // namespace
