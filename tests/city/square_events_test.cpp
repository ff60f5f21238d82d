// The events of the party's square.
#include "city_fixture.h"

namespace duskwend {

using namespace city_test;
using Lines = std::vector<std::string>;

namespace {

constexpr int TELEPORT = 1, BUILDING = 2, PICTURE = 3, MESSAGE = 4, SWITCH = 6, TEXT = 7,
              TREASURE = 8;

class SquareEvents : public CityTest {};

TEST_F(SquareEvents, MessagesShowInTableOrderOnEveryKeyAndFromTheirFacings) {
    std::vector<MapRec> maps = maps_of(1);
    maps[0].messages[3] = "Bakers' Row";
    maps[0].messages[4] = "Mind the gutter";
    maps[0].messages[5] = "South Gate";
    maps[0].events[2] = event(MESSAGE, 5, 5, 4);
    maps[0].events[7] = event(MESSAGE, 5, 5, 3);
    maps[0].events[8] = event(MESSAGE, 5, 6, 5, 0x040); // seen facing south only
    start(maps, 5, 5);
    EXPECT_EQ(messages(), (Lines{"Mind the gutter", "Bakers' Row"}));
    type("{down}");
    EXPECT_EQ(messages(),
              (Lines{"Mind the gutter", "Bakers' Row", "Mind the gutter", "Bakers' Row"}));
    game().message_line = -1;
    type("{up}{left}{right}");
    EXPECT_EQ(messages(), (Lines{"South Gate", "South Gate"}));
}

TEST_F(SquareEvents, ASwitchActsOnTheEventsAfterItInTheSamePass) {
    std::vector<MapRec> maps = maps_of(1);
    maps[0].messages[1] = "The lever clanks.";
    maps[0].events[0] = event(SWITCH, 5, 5, 7, 2, 1);
    maps[0].events[1] = event(MESSAGE, 5, 5, 1, 0, 0, 0, 7, 1);
    start(maps, 5, 5);
    EXPECT_EQ(messages(), Lines{"The lever clanks."});

    std::swap(maps[0].events[0], maps[0].events[1]);
    start(maps, 5, 5);
    EXPECT_TRUE(messages().empty());
    type("Q");
    EXPECT_EQ(messages(), Lines{"The lever clanks."});
}

TEST_F(SquareEvents, SharedTreasureGivesEachMemberAShareAndOne) {
    for (auto [members, crowns] : {std::pair{3, 134}, {4, 126}}) {
        std::vector<MapRec> maps = maps_of(1);
        maps[0].events[0] = event(TREASURE, 5, 5, 1, 100, 0);
        Game& g = start(maps, 5, 5, 0, members);
        EXPECT_EQ(messages(), (Lines{"", "The party recieves 100 imperial crowns."}));
        EXPECT_EQ(g.party[members - 1].crowns, crowns);
    }
}

TEST_F(SquareEvents, FoundItemsAreIdentifiedByTheRollAndLostFromAFullPack) {
    // Item 2 of the small world is the Dagger; difficulty 2 outweighs level 1, and a thief
    // skill of 100 never fails.
    std::vector<MapRec> maps = maps_of(1);
    maps[0].events[0] = event(TREASURE, 5, 5, 2, 2, 2);
    maps[0].difficulty = 2;
    EXPECT_EQ(start(maps, 5, 5, 0, 1).party[0].pack[0][PACK_QUANTITY], 2);
    EXPECT_EQ(messages(), (Lines{"", "", "Corvath finds 2 somethings."}));
    maps[0].difficulty = 0;
    start(maps, 5, 6, 0, 1).party[0].thief_skills[0] = 100;
    type("{up}");
    EXPECT_EQ(messages().back(), "Corvath finds 2 Daggers.");

    start(maps, 5, 6, 0, 1);
    for (int j = 0; j <= 9; ++j) game().party[0].pack[j] = {int16_t(3 + j), 1, 1};
    type("{up}");
    EXPECT_EQ(game().message_line, 0); // the first empty line and nothing more
    EXPECT_EQ(game().party[0].pack[9][PACK_ITEM], 12);
}

TEST_F(SquareEvents, LongTextsSplitAtTheirMarkersAndMayClearTheArea) {
    std::vector<MapRec> maps = maps_of(1);
    maps[0].texts[0] = "\\CThe well is dry.\\nSomething stirs.\\NA\\n\\nB";
    maps[0].texts[1] = "No marker";
    maps[0].events[0] = event(TEXT, 5, 5, 0);
    maps[0].events[1] = event(TEXT, 5, 6, 1);
    start(maps, 5, 7).message_line = 1;
    type("{up}");
    EXPECT_EQ(messages(), (Lines{"", "", "No marker"}));
    type("{up}"); // a marker right after another is printed as text
    EXPECT_EQ(messages(), (Lines{"The well is dry.", "Something stirs.", "", "A", "\\nB"}));
}

TEST_F(SquareEvents, ATeleportLoadsTheNewMapWithinThePass) {
    std::vector<MapRec> maps = maps_of(2);
    maps[0].events[3] = event(TELEPORT, 5, 5, 2, 3, 4, 3); // map 2, (3, 4), facing south
    maps[0].events[4] = event(MESSAGE, 5, 5, 0);
    maps[0].messages[0] = "left behind";
    maps[1].messages[0] = "arrived";
    maps[1].events[0] = event(MESSAGE, 3, 4, 0);
    maps[1].events[5] = event(MESSAGE, 3, 4, 0);
    Game& g = start(maps, 5, 5);
    EXPECT_EQ(g.map_level * 1000 + g.party_x * 100 + g.party_y * 10 + g.party_facing, 2342);
    EXPECT_EQ(messages(), Lines{"arrived"});
    type("Q");
    EXPECT_EQ(messages(), (Lines{"arrived", "arrived", "arrived"}));
}

TEST_F(SquareEvents, DoorsLeadIntoTheirBuildings) {
    struct Door {
        int kind, number;
        const char* picture;
        int location;
        Lines said;
    };
    const Door doors[] = {
        {0, 0, "tavern.bmp", LOCATION_GUILD_HALL, {"You enter the Guildhall"}},
        {1, 2, "shoppe.bmp", LOCATION_SHOP, {"You enter 'Ye Oldde Equippe' shop."}},
        {2, 0, "temple.bmp", LOCATION_TEMPLE, {"You enter The temple of Light."}},
        {2, 1, "temple.bmp", LOCATION_TEMPLE, {}},
        {3, 0, "review.bmp", LOCATION_REVIEW, {"You enter into a Review Board."}},
    };
    for (const Door& d : doors) {
        std::vector<MapRec> maps = maps_of(1);
        maps[0].events[0] = event(BUILDING, 5, 5, d.kind, d.number);
        Game& g = start(maps, 5, 5);
        EXPECT_EQ(g.current_location, d.location) << d.picture;
        EXPECT_EQ(g.location_step, 0);
        EXPECT_EQ(g.Form1.mainPic.picture_name, d.picture);
        EXPECT_EQ(messages(), d.said) << d.picture;
        if (d.kind == 1 || d.kind == 2) {
            EXPECT_EQ(g.building_number, d.number);
        }
    }
}

TEST_F(SquareEvents, PicturesEachTreasureAndATeleportsFacing) {
    std::vector<MapRec> maps = maps_of(1);
    maps[0].events[0] = event(PICTURE, 5, 5, 7, 0x100); // seen facing north only
    maps[0].events[1] = event(TREASURE, 5, 4, 0, 50, 1);
    maps[0].events[2] = event(TELEPORT, 5, 3, 1, 9, 9, 2); // facing east
    Game& g = start(maps, 5, 5);
    EXPECT_EQ(g.Form1.mainPic.picture_name, "Map7.bmp");
    type("{right}");
    EXPECT_EQ(g.Form1.mainPic.picture_name, "view") << "not seen facing east";
    type("{left}{up}");
    EXPECT_EQ(messages().back(), "Tallow receives 50 experience points.");
    EXPECT_EQ(g.party[0].experience, 50);
    type("{up}");
    EXPECT_EQ(g.party_x * 100 + g.party_y * 10 + g.party_facing, 9 * 100 + 9 * 10 + 1);
    EXPECT_EQ(g.Form1.mainPic.picture_name, "view");
}

// Numbers past their tables or files come from damaged maps; such events do nothing.
TEST_F(SquareEvents, EventsNamingWhatDoesNotExistAreSkipped) {
    std::vector<MapRec> maps = maps_of(2);
    const std::array<int16_t, MAP_EVENT_FIELDS> damaged[] = {
        event(MESSAGE, 5, 5, 51),
        event(MESSAGE, 5, 5, -1),
        event(TEXT, 5, 5, 11),
        event(SWITCH, 5, 5, 101, 2, 1),
        event(MESSAGE, 5, 5, 0, 0, 0, 0, 101, 2),
        event(TELEPORT, 5, 5, 3, 1, 1),
        event(TELEPORT, 5, 5, 0, 1, 1),
        event(TELEPORT, 5, 5, 2, 33, 1),
        event(TELEPORT, 5, 5, 2, 1, 1, 5),
        event(TREASURE, 5, 5, 2, 1, 14),
        event(TREASURE, 5, 5, 2, 1, 0)};
    for (std::size_t i = 0; i < std::size(damaged); ++i) maps[0].events[i] = damaged[i];
    maps[0].messages[0] = "a message";
    Game& g = start(maps, 5, 5);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(g.message_line, -1);
    EXPECT_EQ(g.map_level * 1000 + g.party_x * 100 + g.party_y * 10 + g.party_facing, 1550);
    EXPECT_EQ(g.party[0].pack[0][PACK_ITEM] + g.party[1].pack[0][PACK_ITEM], 0);
}

} // namespace

} // namespace duskwend
