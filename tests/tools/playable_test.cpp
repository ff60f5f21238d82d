// The checker walks a world from the guild hall door of map 1 and names, at the line of the
// event concerned, whatever a party can never get to, see or set.

#include "test_support.h"

#include "tools/data/map_grid.h"
#include "tools/data/map_source.h"
#include "tools/data/playable.h"

namespace duskwend {

namespace {

using Event = std::array<int16_t, MAP_EVENT_FIELDS>;
enum { N = 0, E = 1, S = 2, W = 3 };

// A map of solid rock (every side of every square is stone) with a 5 x 5 room carved out
// at x, y = 1..5.
MapRec rock() {
    MapRec m;
    for (auto& col : m.grid) col.fill(0x00F);
    return m;
}
void carve(MapRec& m, int x, int y, int d) {
    static const int dx[] = {0, 1, 0, -1}, dy[] = {-1, 0, 1, 0};
    set_side_type(m.grid[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)], d, 0);
    set_side_type(m.grid[static_cast<std::size_t>(x + dx[d])][static_cast<std::size_t>(y + dy[d])],
                  (d + 2) % 4, 0);
}
MapRec room() {
    MapRec m = rock();
    for (int x = 1; x <= 5; ++x)
        for (int y = 1; y <= 5; ++y) {
            if (x < 5) carve(m, x, y, E);
            if (y < 5) carve(m, x, y, S);
        }
    return m;
}
// kind, x, y, the four parameters, condition flag, test, value.
Event ev(int kind, int x, int y, int p1 = 0, int p2 = 0, int p3 = 0, int p4 = 0, int flag = 0,
         int test = 0, int value = 0) {
    return {int16_t(kind), 0,           int16_t(x),    int16_t(y),    int16_t(p1),   int16_t(p2),
            int16_t(p3),   int16_t(p4), int16_t(flag), int16_t(test), int16_t(value)};
}
constexpr int TELEPORT = 1, DOOR = 2, MESSAGE = 4, FIGHT = 5, SWITCH = 6, TREASURE = 8;
constexpr int SET = 1, CLEAR = 2, FIGHT_WON = 1, STEPPED_ON = 2;
constexpr int NORTH_ONLY = 1, EAST_ONLY = 2;

// A small sound world: the party sets out at (3, 5) of map 1 (the guild hall door is the
// square below, behind a door side); a teleport at (5, 1) leads to map 2, whose room holds a
// fight that sets its flag when won, a treasure and a teleport back.
class Playable : public ::testing::Test {
  protected:
    void SetUp() override {
        copy_content(DUSKWEND_CONTENT_DIR, tmp.path() / "content");
        dir = tmp.path() / "content";
        fs::remove_all(dir / "maps");
        fs::remove(dir / "campaign.toml"); // the shipped campaign names the shipped maps
        maps = {room(), room()};
        carve(maps[0], 3, 5, S);
        set_side_type(maps[0].grid[3][6], N, 6);
        maps[0].events[0] = ev(DOOR, 3, 6);
        maps[0].events[1] = ev(MESSAGE, 3, 4, 1, NORTH_ONLY);
        maps[0].messages[1] = "North.";
        maps[0].events[2] = ev(TELEPORT, 5, 1, 2, 2, 2, 3);
        maps[1].events[0] = ev(FIGHT, 4, 4, 1, 2, 0, 0, 5, CLEAR);
        maps[1].events[1] = ev(SWITCH, 4, 4, 5, FIGHT_WON, 1);
        maps[1].events[2] = ev(TREASURE, 1, 5, 1, 100);
        maps[1].events[3] = ev(TELEPORT, 1, 1, 1, 3, 3, 0);
    }

    // Writes the maps as sources and checks them; the sources themselves must be clean.
    std::vector<Diagnostic> check() {
        for (std::size_t n = 0; n < maps.size(); ++n)
            write_text(dir / "maps" / file(n + 1), map_source(maps[n], static_cast<int>(n + 1)));
        Diagnostics diags;
        std::vector<MapOrigin> origins;
        World w = load_content(dir, diags, &origins);
        EXPECT_TRUE(diags.ok()) << (diags.ok() ? "" : diags.list()[0].str());
        Diagnostics found;
        check_playable(w, origins, found);
        check_campaign(w, load_campaign_source(dir, found), found);
        return found.list();
    }
    static std::string file(std::size_t n) { return "0" + std::to_string(n) + ".toml"; }

    // The line of event i of map n in its written source.
    int event_line(std::size_t n, int i) {
        return line_of(n, "[[event]]  # " + std::to_string(i) + "\n");
    }
    int line_of(std::size_t n, const std::string& needle) {
        return line_in_file(dir / "maps" / file(n), needle);
    }

    // Expects exactly the given problems, each as (map, event, words), at the line of that
    // event of that map (event -1: the map's `number` line).
    void expect(const std::vector<std::tuple<std::size_t, int, std::string>>& wanted) {
        auto found = check();
        std::string all;
        for (const auto& d : found) all += d.str() + "\n";
        ASSERT_EQ(found.size(), wanted.size()) << all;
        for (std::size_t k = 0; k < wanted.size(); ++k) {
            const auto& [n, event, words] = wanted[k];
            const int line = event < 0 ? line_of(n, "number = ") : event_line(n, event);
            EXPECT_EQ(found[k].file, (dir / "maps" / file(n)).string());
            EXPECT_EQ(found[k].line, line) << found[k].str();
            EXPECT_NE(found[k].message.find(words), std::string::npos) << found[k].str();
        }
    }

    ScratchDir tmp;
    fs::path dir;
    std::vector<MapRec> maps;
};

TEST_F(Playable, ASoundWorldPasses) {
    expect({});
}

TEST_F(Playable, AMapNoTeleportLeadsTo) {
    maps[0].events[2] = ev(MESSAGE, 5, 1, 1);
    expect({{2, -1, "map 2 cannot be reached from the guild hall door"},
            {2, 0, "the fight at (4, 4) cannot be reached"},
            {2, 2, "the treasure at (1, 5) cannot be reached"},
            {2, 3, "the teleport at (1, 1) cannot be reached"}});
}

TEST_F(Playable, WallsAndOneWayDoorsDecideWhatIsReached) {
    // A treasure walled off beside the room, and a fight behind a side that opens only from
    // the far square: only the side of the square entered counts.
    maps[0].events[3] = ev(TREASURE, 7, 3, 0, 50);
    set_side_type(maps[0].grid[5][3], E, 0); // (6, 3) may be left westwards, not entered
    maps[0].events[4] = ev(FIGHT, 6, 3, 1, 1, 0, 0, 6, CLEAR);
    maps[0].events[5] = ev(SWITCH, 6, 3, 6, FIGHT_WON, 1);
    expect({{1, 3, "the treasure at (7, 3) cannot be reached"},
            {1, 4, "the fight at (6, 3) cannot be reached"}});

    // A door on the far square's side: now the fight is reached.
    set_side_type(maps[0].grid[6][3], W, 6);
    maps[0].events[3] = {};
    expect({});
}

TEST_F(Playable, AGateThatAnswersEveryValueOfItsFlagIsNeverStoodOn) {
    // (6, 3), through a door in the room's east wall, sends the party back while flag 5 is
    // clear and on to map 2 once it is set: the party never stands there, so the treasure
    // one step further east is out of reach.
    set_side_type(maps[0].grid[6][3], W, 6);
    set_side_type(maps[0].grid[7][3], W, 0);
    maps[0].events[3] = ev(TELEPORT, 6, 3, 1, 5, 3, 4, 5, CLEAR);
    maps[0].events[4] = ev(TELEPORT, 6, 3, 2, 2, 2, 3, 5, SET);
    maps[0].events[5] = ev(TREASURE, 7, 3, 1, 100);
    expect({{1, 5, "the treasure at (7, 3) cannot be reached"}});

    // Turned back only while flag 5 is clear, the party may stand there once it is set.
    maps[0].events[4] = {};
    expect({});
}

TEST_F(Playable, TeleportsMustLandWhereThePartyCanMove) {
    maps[1].events[3] = ev(TELEPORT, 1, 1, 1, 20, 20, 0); // solid rock on map 1
    expect({{2, 3, "lands on (20, 20) of map 1, which is walled in"}});

    // Back in the room's north-west corner, facing north (the room's wall) or west: the party
    // would arrive looking at a wall. Facing east, or keeping its facing, it sees the way on.
    maps[1].events[3] = ev(TELEPORT, 1, 1, 1, 1, 1, 1);
    expect({{2, 3, "lands on (1, 1) of map 1 facing north, straight into a wall"}});
    maps[1].events[3][7] = 4;
    expect({{2, 3, "facing west, straight into a wall"}});
    maps[1].events[3][7] = 2;
    expect({});
    maps[1].events[3][7] = 0;
    expect({});
}

TEST_F(Playable, FlagsTestedMustBeSetByAReachableEventFirst) {
    // A door on map 1 waits for flag 7; the only switch setting it stands on map 2, which is
    // reached only through that same door's square.
    maps[0].events[2] = ev(TELEPORT, 5, 1, 2, 2, 2, 3, 7, SET);
    maps[1].events[4] = ev(SWITCH, 3, 3, 7, STEPPED_ON, 1);
    auto found = check();
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0].line, event_line(1, 2));
    EXPECT_NE(found[0].message.find("flag 7 is tested here but never set by an event the party "
                                    "can reach"),
              std::string::npos)
        << found[0].str();

    // The switch moved to map 1, beside the start: all is well.
    maps[1].events[4] = {};
    maps[0].events[5] = ev(SWITCH, 1, 5, 7, STEPPED_ON, 1);
    expect({});

    // Set to 1, tested for 2: named with the values it can have.
    maps[0].events[2] = ev(TELEPORT, 5, 1, 2, 2, 2, 3, 7, 3, 2);
    found = check();
    ASSERT_FALSE(found.empty());
    EXPECT_NE(found[0].message.find("it can be 0, 1"), std::string::npos) << found[0].str();
}

TEST_F(Playable, SignsFilteredByFacingMustBeSeenFromWhereThePartyStands) {
    // A sign for those facing east, on the square of a teleport that is entered only from
    // the south (facing north) and sends the party on at once.
    maps[0].events[3] = ev(MESSAGE, 5, 1, 1, EAST_ONLY);
    std::swap(maps[0].events[2], maps[0].events[3]); // the sign comes first in the table
    set_side_type(maps[0].grid[5][1], W, 1);
    expect({{1, 2,
             "the message at (5, 1) is never seen: the party cannot stand "
             "there facing east"}});

    // Read by those facing north as they step onto the teleport: seen.
    maps[0].events[2] = ev(MESSAGE, 5, 1, 1, NORTH_ONLY);
    expect({});

    // A sign that waits for a flag is judged where the flag holds: once flag 8 is set the
    // square before it sends the party away, so the sign behind it is never seen.
    maps[0].events[4] = ev(SWITCH, 1, 5, 8, STEPPED_ON, 1);
    maps[0].events[5] = ev(TELEPORT, 2, 1, 2, 2, 2, 3, 8, SET);
    maps[0].events[6] = ev(MESSAGE, 1, 1, 1, EAST_ONLY, 0, 0, 8, SET);
    set_side_type(maps[0].grid[1][1], S, 1); // (1, 1) only from (2, 1)
    expect({{1, 6, "the message at (1, 1) is never seen"}});
}

TEST_F(Playable, SignsAndTextsOnSquaresNobodyReachesAreReported) {
    // (7, 3) lies outside the room: a sign there, whatever way it faces, is never read.
    maps[0].events[3] = ev(MESSAGE, 7, 3, 1);
    maps[0].events[4] = ev(7, 7, 3, 1, 0, 0, 0, 5, SET); // a long text, once flag 5 is set
    maps[0].texts[1] = "Never read.";
    expect({{1, 3, "the message at (7, 3) is never seen: the party cannot reach its square"},
            {1, 4, "the text at (7, 3) is never seen"}});
}

TEST_F(Playable, ACampaignStepThatCannotBeOpenedIsReportedAtItsStage) {
    // Map 3 lies open beside the start and sets flag 7; the way into map 2 waits for it.
    maps.push_back(room());
    maps[0].events[2][8] = 7;
    maps[0].events[2][9] = SET;
    maps[0].events[3] = ev(TELEPORT, 1, 1, 3, 2, 2, 3);
    maps[2].events[0] = ev(SWITCH, 3, 3, 7, STEPPED_ON, 1);
    maps[2].events[1] = ev(TELEPORT, 1, 1, 1, 3, 3, 0);
    auto campaign = [&](std::initializer_list<int> order) {
        std::string text;
        for (int map : order)
            text += "[[stage]]\nname = \"Stage " + std::to_string(map) +
                    "\"\nmap = " + std::to_string(map) + "\n\n";
        write_text(dir / "campaign.toml", text);
    };
    auto stage_line = [&](int map) {
        // The [[stage]] line, two above its map.
        return line_in_file(dir / "campaign.toml", "map = " + std::to_string(map)) - 2;
    };

    // Played before map 3 (or without it), map 2 cannot be opened: reported at its stage,
    // naming the flag.
    campaign({1, 2});
    auto found = check();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].file, (dir / "campaign.toml").string());
    EXPECT_EQ(found[0].line, stage_line(2));
    EXPECT_NE(found[0].message.find("stage 'Stage 2' (map 2) cannot be opened by the stages "
                                    "before it: its way in waits for flag 7"),
              std::string::npos)
        << found[0].str();

    // In the order the flags allow, the campaign holds.
    campaign({1, 3, 2});
    expect({});

    // A campaign must end in a fixed fight, and its stages must name maps that exist.
    campaign({1, 3});
    found = check();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].line, stage_line(3));
    EXPECT_NE(found[0].message.find("the last stage 'Stage 3' holds no fixed fight"),
              std::string::npos)
        << found[0].str();
    campaign({1, 3, 2, 9});
    found = check();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NE(found[0].message.find("(map 9) names a map that does not exist"), std::string::npos)
        << found[0].str();
}

TEST_F(Playable, AWonFightMustNotStartAgain) {
    maps[1].events[1] = {}; // no switch: the party would fight again at once
    expect({{2, 0, "the fight at (4, 4) starts again after it is won"}});
    maps[1].events[1] = ev(SWITCH, 4, 4, 5, STEPPED_ON, 1); // set on arrival, not on victory
    maps[1].events[0][8] = 0;                               // and the fight has no condition
    expect({{2, 0, "starts again after it is won"}});
}

TEST_F(Playable, TheToolReportsFileAndLineAndFails) {
    maps[0].events[3] = ev(TREASURE, 7, 3, 0, 50);
    check();
    const auto [status, printed] = run_data_tool("check " + dir.string(), tmp.path() / "out.txt");
    EXPECT_EQ(status, 1);
    EXPECT_NE(printed.find((dir / "maps" / "01.toml").string() + ":" +
                           std::to_string(event_line(1, 3)) +
                           ": the treasure at (7, 3) cannot be reached"),
              std::string::npos)
        << printed;
}

} // namespace

} // namespace duskwend
