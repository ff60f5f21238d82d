// The guild hall typed as a player would: menu conditions, the add list, taking and removing,
// entering the city, save and load.
#include "core/datafiles.h"
#include "core/game.h"
#include "guildhall/guild_hall.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace duskwend {

using fixture::type;

namespace {

struct GuildHall : fixture::WorldTest {
    GuildHall() : WorldTest("guild") { start_game(); }
};

TEST_F(GuildHall, MenuOffersOnlyWhatCanBeDone) {
    EXPECT_TRUE(shows("Add to Party."));
    EXPECT_TRUE(shows("Create new character."));
    for (const char* absent : {"Remove from Party.", "Hire Room for the Night (25ic).",
                               "Enter the City.", "Reset Flags."})
        EXPECT_FALSE(shows(absent)) << absent;
    type(g(), "rhez");
    EXPECT_EQ(g().location_step, GUILD_MENU);
    EXPECT_EQ(g().current_location, LOCATION_GUILD_HALL);

    type(g(), "atax"); // take Corvath
    g().party[0].hit_points = 0;
    type(g(), "x");
    EXPECT_TRUE(shows("Enter the City.")) << "shown for a party of the dead";
    type(g(), "e");
    EXPECT_EQ(g().current_location, LOCATION_GUILD_HALL) << "but nobody can walk";
    // It says so in one line, and where the dead are raised.
    const std::string why = " None can walk: the Temple of Light raises them.";
    EXPECT_TRUE(shows(why));
    EXPECT_LE(g().Form1.Text.TextWidth(why), g().Form1.Text.width);

    g().game_flags[100] = 3;
    type(g(), "x");
    EXPECT_FALSE(shows(why)) << "the next key takes the line away";
    EXPECT_TRUE(shows("Reset Flags."));
    type(g(), "z");
    EXPECT_TRUE(std::all_of(g().game_flags.begin(), g().game_flags.end(),
                            [](int16_t f) { return f == 0; }));
    EXPECT_FALSE(shows("Reset Flags."));
}

TEST_F(GuildHall, LettersFollowTheRosterIndex) {
    g().roster[3] = g().roster[1];
    g().roster[1].in_use = 0;
    type(g(), "a");
    const auto l = texts();
    EXPECT_TRUE(shows("  A."));
    EXPECT_TRUE(shows("  D."));
    EXPECT_FALSE(shows("  B."));
    type(g(), "t");
    const auto runs = g().Form1.Text.runs();
    std::string prompt;
    for (std::size_t i = runs.size() - 5; i < runs.size(); ++i) prompt += runs[i].text;
    EXPECT_EQ(prompt, "  ( A. D. X.)");
    type(g(), "b");
    EXPECT_EQ(g().location_step, GUILD_TAKE_WHICH) << "B names an empty entry";
    type(g(), "d");
    EXPECT_EQ(g().party[0].name.trimmed(), "Tallow");
}

TEST_F(GuildHall, TakeAndRemoveLoseNothingAndPickUpNothing) {
    CharacterRec& corvath = g().roster[0];
    corvath.pack[1] = {4, 2, 1};
    corvath.right_hand[2] = 55;
    corvath.healing_mark = 1000;
    const CharacterRec before = [&] {
        CharacterRec c = corvath;
        c.right_hand[2] = 0; // the third hand value is not part of a character
        return c;
    }();
    // An earlier occupant of party slot 0 left effects and pack flags behind.
    g().party[0].effects[2] = {9, EFFECT_DISEASE, 3};
    g().party[0].pack[5] = {7, 1, 1};
    g().party[0].left_hand[2] = 9;

    type(g(), "ata");
    const PartyMemberRec& m = g().party[0];
    EXPECT_EQ(m.name.trimmed(), "Corvath");
    EXPECT_EQ(m.pack[1], (std::array<int16_t, 3>{4, 2, 1})) << "identified flags travel";
    EXPECT_EQ(m.pack[5][0], 0);
    EXPECT_EQ(m.effects[2][0], 0) << "no effect of an earlier occupant";
    EXPECT_EQ(m.left_hand[2], 0);
    EXPECT_EQ(m.base_strength, 16);
    EXPECT_EQ(m.healing_mark, 1000);
    EXPECT_EQ(m.resistances, m.base_resistances);
    EXPECT_EQ(g().roster[0].name.trimmed(), "Tallow") << "the roster closed up";
    EXPECT_TRUE(shows(" You have taken Corvath."));

    type(g(), "xxra");
    EXPECT_TRUE(shows(" You have removed Corvath             "));
    const auto back = std::find_if(g().roster.begin(), g().roster.end(), [](const CharacterRec& c) {
        return c.name.trimmed() == "Corvath";
    });
    ASSERT_NE(back, g().roster.end());
    EXPECT_EQ(*back, before);
    EXPECT_EQ(g().party[0].in_use, 0);
}

TEST_F(GuildHall, AFullPartyRefusesAndRemovingClosesUp) {
    for (int i = 0; i < 7; ++i)
        g().party[i].in_use = 1, g().party[i].name = std::string(1, char('P' + i)),
        g().party[i].hit_points = 5;
    // Slot 7 is always free, so the list is still offered; taking then refuses.
    type(g(), "ata");
    EXPECT_TRUE(shows(" Corvath is unable to Join."));
    EXPECT_TRUE(shows(" You have no more space in your party!"));
    EXPECT_EQ(g().roster[0].in_use, 1) << "the character stays in the roster";

    type(g(), "xxrb");
    EXPECT_EQ(g().party[0].name.trimmed(), "P");
    EXPECT_EQ(g().party[1].name.trimmed(), "R") << "the member after the removed one moved up";
    EXPECT_EQ(g().party[5].name.trimmed(), "V");
    EXPECT_EQ(g().party[6].in_use, 0);
}

TEST_F(GuildHall, EnteringTheCityStartsAtTheLastGuildHallDoorOfMapOne) {
    std::vector<MapRec> maps(2);
    maps[0].events[4] = {2, 0, 5, 9, 0};
    maps[0].events[7] = {2, 0, 12, 20, 0};
    maps[0].events[8] = {2, 0, 30, 30, 3}; // a door to another building
    maps[1].events[0] = {2, 0, 1, 1, 0};
    fixture::write_slots(dir.path / MAP_FILE, maps, MAP_SLOT);
    g().party[0].in_use = 1, g().party[0].hit_points = 3;
    sub_load_map(g(), 2); // the party came back from map 2
    g().party_x = 3, g().party_y = 3, g().party_facing = 2;
    g().screens.draw_city = [](Game&) {};
    type(g(), "e");
    EXPECT_EQ(g().current_location, LOCATION_CITY);
    EXPECT_EQ(g().map_level, 1);
    EXPECT_EQ(g().party_x, 12);
    EXPECT_EQ(g().party_y, 19);
    EXPECT_EQ(g().party_facing, 0);

    // A door drawn on the top row would put the party above the grid; it stays on row 0.
    maps[0].events[9] = {2, 0, 40, 0, 0};
    fixture::write_slots(dir.path / MAP_FILE, maps, MAP_SLOT);
    g().current_location = LOCATION_GUILD_HALL;
    g().location_step = GUILD_MENU;
    type(g(), "e");
    EXPECT_EQ(g().party_x, 32);
    EXPECT_EQ(g().party_y, 0);
}

TEST_F(GuildHall, SaveAndLoad) {
    type(g(), "s");
    EXPECT_TRUE(shows(" Game Saved."));
    type(g(), "xata");
    g().game_flags[7] = 1;
    type(g(), "xxl");
    EXPECT_TRUE(shows(" Game Loaded."));
    EXPECT_EQ(g().party[0].in_use, 0) << "the party is as saved";
    EXPECT_EQ(g().roster[0].name.trimmed(), "Corvath");
    EXPECT_EQ(g().game_flags[7], 0);

    std::filesystem::remove(dir.path / FLAGS_SAVE_FILE);
    g().roster[0].name = "Changed";
    type(g(), "xl");
    EXPECT_TRUE(shows(" There is no saved game to load."));
    EXPECT_EQ(g().roster[0].name.trimmed(), "Changed");
    type(g(), "xq");
    EXPECT_EQ(g().quit_requested, 1);
}

TEST_F(GuildHall, AStepActsOnceEvenWhenRedrawn) {
    type(g(), "at");
    g().party[0].in_use = 1, g().party[0].hit_points = 1;
    type(g(), "a"); // takes Corvath into slot 1
    const auto party = g().party;
    const auto roster = g().roster;
    // Open and close a character sheet over the result: the screen is drawn again.
    g().sheet_member = 0;
    g().screens.draw_guild_hall(g());
    EXPECT_EQ(g().party, party);
    EXPECT_EQ(g().roster, roster) << "Tallow was not taken by the repaint";

    // A refused sheet digit after saving repaints the step: the result is shown again.
    type(g(), "xs");
    const auto saved = g().Form1.Text.runs();
    type(g(), "7");
    EXPECT_EQ(g().Form1.Text.runs(), saved);
}

} // namespace

} // namespace duskwend
