// The overlays over the game (automap, key help, message log, message speed), the automap's
// file, the save folder, and recordings that replay.
#include "core/any_key.h"
#include "core/dispatch.h"
#include "core/output.h"
#include "core/overlays.h"
#include "platform/command_line.h"
#include "platform/dumps.h"
#include "platform/font.h"
#include "platform/frame.h"
#include "platform/keys.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <fstream>

namespace duskwend {

namespace fs = std::filesystem;
using fixture::StartedGame;
using fixture::type;

namespace {

// The squares of a map seen, as '#' at (x, y).
bool seen(const Game& g, int map, int x, int y) {
    const auto it = g.overlays.automap.find(static_cast<int16_t>(map));
    return it != g.overlays.automap.end() && it->second[std::size_t(x) * MAP_SIZE + y] == 1;
}

int seen_count(const Game& g, int map) {
    const auto it = g.overlays.automap.find(static_cast<int16_t>(map));
    if (it == g.overlays.automap.end()) return 0;
    int n = 0;
    for (uint8_t s : it->second) n += s;
    return n;
}

class Comforts : public ::testing::Test {
  protected:
    Comforts() : dir("comforts") { game = std::make_unique<StartedGame>(dir.path); }
    Game& g() { return game->g; }
    fixture::SmallWorldDir dir;
    std::unique_ptr<StartedGame> game;
};

TEST_F(Comforts, AutomapKeepsTheSquaresSeenOnEachMapAcrossATeleport) {
    type(g(), "ataxtaxx");
    EXPECT_EQ(seen_count(g(), 1), 0); // the guild hall sees no map
    type(g(), "e");
    ASSERT_EQ(g().current_location, LOCATION_CITY);
    const int x0 = g().party_x, y0 = g().party_y;
    EXPECT_TRUE(seen(g(), 1, x0, y0));
    // Facing north: the two rows ahead, one square to each side, are seen; behind is not.
    ASSERT_EQ(g().party_facing, 0);
    EXPECT_TRUE(seen(g(), 1, x0 - 1, y0 - 2));
    EXPECT_TRUE(seen(g(), 1, x0 + 1, y0 - 2));
    EXPECT_FALSE(seen(g(), 1, x0, y0 + 1));
    EXPECT_FALSE(seen(g(), 1, x0, y0 - 3));
    const int before = seen_count(g(), 1);
    // East, one step: onto the teleport to map 4, where everything starts unseen.
    type(g(), "{right}{up}");
    ASSERT_EQ(g().map_level, 4);
    EXPECT_TRUE(seen(g(), 4, g().party_x, g().party_y));
    EXPECT_GE(seen_count(g(), 1), before); // map 1 keeps what it had
    EXPECT_TRUE(seen(g(), 1, x0, y0));
    EXPECT_FALSE(seen(g(), 4, x0, y0 - 2) && x0 != g().party_x);
}

TEST_F(Comforts, AutomapFileRoundTripsAndADamagedFileMeansAnEmptyMap) {
    type(g(), "ataxtaxxe{right}{up}");
    const auto automap = g().overlays.automap;
    ASSERT_GT(seen_count(g(), 1), 0);
    ASSERT_TRUE(sub_save_automap(g()));
    EXPECT_FALSE(fs::exists(dir.path / (std::string(AUTOMAP_FILE) + ".new")));
    g().overlays.automap.clear();
    sub_load_automap(g());
    EXPECT_EQ(g().overlays.automap.at(1), automap.at(1));
    EXPECT_EQ(g().overlays.automap.at(4), automap.at(4));

    const fs::path file = dir.path / AUTOMAP_FILE;
    std::string text;
    {
        std::ifstream in(file, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const auto load_text = [&](const std::string& t) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << t;
        g().overlays.automap = automap;
        sub_load_automap(g());
        return g().overlays.automap.size();
    };
    EXPECT_EQ(load_text(text.substr(0, text.size() / 2)), 0u); // cut short
    std::string bad = text;
    bad[bad.find('#')] = '?';
    EXPECT_EQ(load_text(bad), 0u); // a stray character
    EXPECT_EQ(load_text("garbage"), 0u);
    fs::remove(file);
    g().overlays.automap = automap;
    sub_load_automap(g());
    EXPECT_TRUE(g().overlays.automap.empty()); // missing
    EXPECT_EQ(load_text(text), 2u);
}

TEST_F(Comforts, SavingAndLoadingTheGameCarryTheAutomap) {
    type(g(), "ataxtaxxe{down}{down}{down}");
    type(g(), "{up}"); // may or may not move; the squares seen are what counts
    const auto automap = g().overlays.automap;
    // Back in the guild hall the game is saved, the map forgotten, then loaded.
    g().current_location = LOCATION_GUILD_HALL;
    g().location_step = 0;
    type(g(), "s");
    EXPECT_TRUE(fs::exists(dir.path / AUTOMAP_FILE));
    g().overlays.automap.clear();
    type(g(), "xl");
    EXPECT_EQ(g().overlays.automap, automap);
}

TEST_F(Comforts, OverlayKeysChangeNothingInTheGameUnderneath) {
    type(g(), "ataxtaxxe{right}");
    const std::string state = state_dump(g()).dump();
    const std::string text = text_dump(g());
    const Bitmap picture = g().Form1.mainPic.image;
    // Each overlay opened, used and closed: the map closes on any key, the help too, the
    // log on F2 or X only (its arrows scroll; other letters are not the game's).
    type(g(), "{tab}");
    EXPECT_EQ(g().overlays.shown, OVERLAY_AUTOMAP);
    EXPECT_EQ(g().Form1.mainPic.picture_name, "automap");
    type(g(), "{up}{f1}");
    EXPECT_EQ(g().overlays.shown, OVERLAY_KEY_HELP);
    EXPECT_NE(text_dump(g()).find("N  party order"), std::string::npos);
    type(g(), "n{f2}{up}{up}{down}{left}{right}aen");
    EXPECT_EQ(g().overlays.shown, OVERLAY_MESSAGE_LOG);
    type(g(), "x{f2}{up}{f2}{tab}{tab}");
    EXPECT_EQ(g().overlays.shown, OVERLAY_NONE);
    EXPECT_EQ(state_dump(g()).dump(), state);
    EXPECT_EQ(text_dump(g()), text);
    EXPECT_EQ(g().Form1.mainPic.image.pixels, picture.pixels);
    // And the game goes on as before: the next arrow still turns the party.
    type(g(), "{right}");
    EXPECT_EQ(g().party_facing, 2);
}

TEST(WaitingMark, SaidOfEveryStepThatAnyKeyEndsAndOfNoOther) {
    fixture::SmallWorldDir dir("waiting");
    const std::vector<std::pair<std::string, bool>> cases = {
        {"", false},             // the guild hall's menu takes its letters
        {"s", true},             // saved: any key goes on
        {"s ", false},           // and the menu is back
        {"aa", true},            // a roster character's details
        {"at", false},           // which character to take
        {"ataxtaxxs1", false},   // a sheet opened over the wait takes its own letters
        {"ataxtaxxs1x", true},   // closed again: the wait is back
        {"{tab}", true},         // the map closes on any key
        {"{f2}", false},         // the log on F2 or X only
        {"ataxtaxxh", false},    // the inn asks who pays
        {"ataxtaxxe{up}", false} // walking
    };
    for (const auto& [keys, waits] : cases) {
        StartedGame game(dir.path);
        type(game.g, keys);
        EXPECT_EQ(sub_waits_for_any_key(game.g), waits) << keys;
    }
}

TEST_F(Comforts, MessageLogKeepsTheLast500LinesAndScrolls) {
    for (int k = 0; k < 520; ++k) sub_log_message_line(g(), "line " + std::to_string(k) + " ");
    ASSERT_EQ(g().overlays.message_log.size(), 500u);
    EXPECT_EQ(g().overlays.message_log.front(), "line 20");
    EXPECT_EQ(g().overlays.message_log.back(), "line 519");
    type(g(), "{f2}");
    const std::string newest = text_dump(g());
    EXPECT_NE(newest.find("line 519"), std::string::npos);
    type(g(), "{up}");
    EXPECT_EQ(text_dump(g()).find("line 519"), std::string::npos);
    // Scrolling back stops at the oldest line.
    for (int k = 0; k < 30; ++k) type(g(), "{left}");
    EXPECT_NE(text_dump(g()).find(" line 20\n"), std::string::npos);
    EXPECT_EQ(g().overlays.log_scroll, 500 - MESSAGE_LAST_LINE);
    type(g(), "X");
    EXPECT_EQ(g().overlays.shown, OVERLAY_NONE);
}

TEST_F(Comforts, MessageLogKeepsALineRepeatedAtOnceWithACount) {
    for (const char* line : {"Shut. ", "Shut. ", "Shut.", "Open. ", "Shut. ", "", "", "Shut. "})
        sub_log_message_line(g(), line);
    for (int k = 0; k < 7; ++k) sub_log_message_line(g(), "The smithy is shut. ");
    const std::deque<std::string> expected = {"Shut. (\xD7"
                                              "3)",
                                              "Open.",
                                              "Shut.",
                                              "",
                                              "",
                                              "Shut.",
                                              "The smithy is shut. (\xD7"
                                              "7)"};
    EXPECT_EQ(g().overlays.message_log, expected);
    // Shown in UTF-8 outside the game.
    EXPECT_NE(state_dump(g()).dump().find("The smithy is shut. (\xC3\x97"
                                          "7)"),
              std::string::npos);
}

TEST_F(Comforts, MessageSpeedCyclesAndIsRemembered) {
    g().message_delay = 0.5;
    type(g(), "{f5}");
    EXPECT_EQ(g().message_delay, 0.25);
    EXPECT_EQ(g().overlays.title, "Duskwend - messages 0.25 s");
    type(g(), "{f5}{f5}");
    EXPECT_EQ(g().message_delay, 1.0);
    type(g(), "{f5}");
    EXPECT_EQ(g().message_delay, 0.5);
    type(g(), "{f5}{f5}");
    EXPECT_EQ(read_settings_delay(dir.path), 0.1);
    EXPECT_EQ(next_message_speed(0), 0.5);
    std::ofstream(dir.path / SETTINGS_FILE) << "message_delay=lots\n";
    EXPECT_FALSE(read_settings_delay(dir.path));
    // The player's own settings survive a change of speed.
    std::ofstream(dir.path / SETTINGS_FILE) << "type_ahead = false\nmessage_delay = 1\n";
    EXPECT_EQ(read_settings_delay(dir.path), 1.0);
    g().message_delay = 1.0;
    type(g(), "{f5}");
    EXPECT_EQ(read_settings_delay(dir.path), 0.5);
    EXPECT_EQ(read_setting(dir.path, "type_ahead"), "false");
    EXPECT_FALSE(read_setting(dir.path, "no_such_setting"));
}

std::variant<Options, int> parse(std::vector<std::string> args) {
    args.insert(args.begin(), "duskwend");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    return parse_command_line(static_cast<int>(argv.size()), argv.data());
}

TEST(SaveFolder, ChosenByOptionDataFolderOrThePlayersFolder) {
    const auto save_dir = [](std::vector<std::string> args) {
        return std::get<Options>(parse(std::move(args))).save_dir;
    };
    EXPECT_EQ(save_dir({"--data-dir", "/d/Data", "--save-dir", "/s"}), fs::path("/s"));
    EXPECT_EQ(save_dir({"--data-dir", "/d/Data"}), fs::path("/d/Data"));
    setenv("XDG_DATA_HOME", "/xdg", 1);
    EXPECT_EQ(save_dir({}), fs::path("/xdg/duskwend"));
    setenv("XDG_DATA_HOME", "relative", 1);
    setenv("HOME", "/home/p", 1);
    EXPECT_EQ(save_dir({}), fs::path("/home/p/.local/share/duskwend"));
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(save_dir({}), fs::path("/home/p/.local/share/duskwend"));
}

TEST(Options, NanDelaysAndSeedsPast64BitsAreRefused) {
    const auto status = [](std::vector<std::string> args) {
        const auto r = parse(std::move(args));
        return std::holds_alternative<int>(r) ? std::get<int>(r) : -1;
    };
    EXPECT_EQ(status({"--message-delay", "nan"}), 2);
    EXPECT_EQ(status({"--message-delay", "-nan"}), 2);
    EXPECT_EQ(status({"--seed", "18446744073709551616"}), 2);
    EXPECT_EQ(status({"--seed", "99999999999999999999"}), 2);
    EXPECT_EQ(status({"--keys", "{seed 18446744073709551616}e"}), 2);
    EXPECT_EQ(std::get<Options>(parse({"--seed", "18446744073709551615"})).seed, UINT64_MAX);
    // A recording made with a 20-digit seed replays with it.
    EXPECT_EQ(std::get<Options>(parse({"--keys", "{seed 18446744073709551615}e"})).seed,
              UINT64_MAX);
    EXPECT_EQ(std::get<Options>(parse({"--message-delay", "0.25"})).message_delay, 0.25);
}

TEST(SaveFolder, SavesGoToTheSaveFolderAndOldSavesInDataStillLoad) {
    fixture::SmallWorldDir dir("savefolder");
    StartedGame old_game(dir.path);
    type(old_game.g, "ataxtaxxs"); // an old save, kept in Data
    ASSERT_TRUE(fs::exists(dir.path / ROSTER_SAVE_FILE));

    StartedGame game(dir.path);
    game.g.data_files.save_dir = dir.path / "saves";
    fs::create_directories(game.g.data_files.save_dir);
    type(game.g, "l");
    EXPECT_EQ(game.g.party[0].in_use, old_game.g.party[0].in_use); // read from Data
    EXPECT_GT(game.g.party[0].in_use, 0);
    type(game.g, "xs");
    EXPECT_TRUE(fs::exists(dir.path / "saves" / ROSTER_SAVE_FILE));
    EXPECT_TRUE(fs::exists(dir.path / "saves" / PARTY_SAVE_FILE));
    EXPECT_TRUE(fs::exists(dir.path / "saves" / FLAGS_SAVE_FILE));
}

TEST(Recording, EveryKeyWrittenAsScriptTypesTheSameKey) {
    std::vector<KeyPress> keys;
    for (int c = 'A'; c <= 'Z'; ++c)
        for (int shift : {0, SHIFT_MASK, CTRL_MASK, SHIFT_MASK | ALT_MASK})
            keys.push_back({static_cast<int16_t>(c), shift});
    for (int c = '0'; c <= '9'; ++c)
        for (int shift : {0, SHIFT_MASK}) keys.push_back({static_cast<int16_t>(c), shift});
    for (int16_t c : {VK_SPACE, VK_RETURN, VK_BACK, VK_SHIFT, VK_CAPITAL, VK_UP, VK_DOWN, VK_LEFT,
                      VK_RIGHT, VK_TAB, VK_F1, VK_F2, VK_F5, VK_F6})
        keys.push_back({c, 0});
    keys.push_back({VK_RETURN, SHIFT_MASK});
    std::string script = "{seed 4711}\n";
    for (const KeyPress& k : keys) script += key_script_text(k);
    const KeyScript replay = read_key_script(script);
    EXPECT_EQ(replay.seed, 4711u);
    ASSERT_EQ(replay.keys.size(), keys.size());
    // The same key line: what Form_KeyDown would append for each.
    const auto typed = [](const KeyPress& k) {
        Game g;
        g.keys_enabled = 1;
        g.screens = ScreenProcedures{};
        std::string line;
        g.screens.guild_hall_key = [&](Game& game) { line = game.input_line; };
        g.screens.draw_guild_hall = [](Game&) {};
        int16_t code = k.code;
        Form_KeyDown(g, code, k.shift);
        return line + "/" + std::to_string(g.overlays.shown);
    };
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(typed(replay.keys[i]), typed(keys[i])) << i;
}

} // namespace

namespace {

TEST(StatusPanel, ALongNameIsCutBeforeTheHitPointsButPrintedWhole) {
    fixture::SmallWorldDir dir("names");
    StartedGame game(dir.path);
    Game& g = game.g;
    g.party[0] = PartyMemberRec{};
    g.party[0].in_use = 1;
    g.party[0].name = "Bartholomew Grimsby";
    g.party[0].hit_points = g.party[0].max_hit_points = 10;
    sub_display_char_status(g);
    EXPECT_NE(text_dump(g).find("Bartholomew Grimsby"), std::string::npos);
    ASSERT_GT(g.Form1.SideText.TextWidth("Bartholomew Grimsby"), 80 - 20);

    const TtfLibrary ttf;
    const TtfFont font(dir.path, 1);
    SurfacePtr frame = compose_frame(g, font, 1);
    ASSERT_TRUE(frame);
    const PictureArea& side = g.Form1.SideText;
    const TextRun* name = nullptr;
    for (const TextRun& r : side.runs())
        if (r.text.rfind("Bartholomew Grimsby", 0) == 0) name = &r;
    ASSERT_TRUE(name);
    const auto pixel = [&](int x, int y) {
        SDL_LockSurface(frame.get());
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(frame->pixels) + std::size_t(y) * frame->pitch);
        const uint32_t p = row[x] & 0xFFFFFF;
        SDL_UnlockSurface(frame.get());
        return p;
    };
    const uint32_t paper = pixel(side.left + 1, side.top + 1);
    int ink_in_name = 0, ink_in_gap = 0;
    for (int y = side.top + name->y; y < side.top + name->y + LINE_HEIGHT; ++y) {
        for (int x = side.left + 20; x < side.left + 78; ++x) ink_in_name += pixel(x, y) != paper;
        for (int x = side.left + 78; x < side.left + 80; ++x) ink_in_gap += pixel(x, y) != paper;
    }
    EXPECT_GT(ink_in_name, 0);
    EXPECT_EQ(ink_in_gap, 0); // the name stops short of the hit points' column
}

} // namespace

namespace {

std::string run_to_state(const std::vector<std::string>& args, const fs::path& out) {
    std::string command = std::string("'") + DUSKWEND_BINARY + "' --headless";
    for (const auto& a : args) command += " '" + a + "'";
    command += " --dump-state '" + out.string() + "'";
    if (std::system(command.c_str()) != 0) return "failed: " + command;
    return fixture::read_text(out);
}

TEST(Recording, ARecordedScriptReplaysWithItsOwnSeed) {
    fixture::SmallWorldDir dir("replay");
    const std::string keys = "ataxtaxx\ne{right}{up}{tab}{f1}{up}";
    std::ofstream(dir.path / "session.keys") << "{seed 7}\n" << keys;
    const std::string replayed = run_to_state(
        {"--data-dir", dir.path.string(), "--keys-file", (dir.path / "session.keys").string()},
        dir.path / "a.json");
    const std::string direct = run_to_state(
        {"--data-dir", dir.path.string(), "--seed", "7", "--keys", keys}, dir.path / "b.json");
    ASSERT_EQ(replayed.rfind("failed", 0), std::string::npos) << replayed;
    EXPECT_EQ(replayed, direct);
    EXPECT_NE(replayed.find("\"map_level\": 4"), std::string::npos);
}

} // namespace

namespace {

// The automap's picture: where the party's arrow is (its black pixels) and what else shows.
struct ArrowShape {
    int left = 1000, top = 1000, right = -1, bottom = -1;
    std::vector<int> rows, columns; // black pixels per row and column of the arrow's box
};

ArrowShape arrow_of(const Bitmap& pic) {
    ArrowShape a;
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x)
            if (pic.at(x, y) == 0)
                a.left = std::min(a.left, x), a.top = std::min(a.top, y),
                a.right = std::max(a.right, x), a.bottom = std::max(a.bottom, y);
    for (int y = a.top; y <= a.bottom; ++y) {
        int n = 0;
        for (int x = a.left; x <= a.right; ++x) n += pic.at(x, y) == 0;
        a.rows.push_back(n);
    }
    for (int x = a.left; x <= a.right; ++x) {
        int n = 0;
        for (int y = a.top; y <= a.bottom; ++y) n += pic.at(x, y) == 0;
        a.columns.push_back(n);
    }
    return a;
}

int pixels_of(const Bitmap& pic, uint32_t rgb) {
    return static_cast<int>(std::count(pic.pixels.begin(), pic.pixels.end(), rgb));
}

TEST_F(Comforts, AutomapNamesTheMapPointsTheArrowAndScalesToWhatWasSeen) {
    std::ofstream(dir.path / "MapNames.txt") << "1 Old Town\n";
    type(g(), "ataxtaxxe");
    const auto arrow = [&] {
        type(g(), "{tab}");
        const ArrowShape a = arrow_of(g().Form1.mainPic.image);
        type(g(), "{tab}");
        return a;
    };
    // The arrow's point is its narrowest edge, on the side the party faces.
    for (int facing = 0; facing < 4; ++facing) {
        ASSERT_EQ(g().party_facing, facing);
        const ArrowShape a = arrow();
        ASSERT_GE(a.right, a.left) << "no arrow";
        const auto& along = facing % 2 == 0 ? a.rows : a.columns;
        const bool point_first = facing == 0 || facing == 3;
        EXPECT_LT(point_first ? along.front() : along.back(),
                  point_first ? along.back() : along.front())
            << "facing " << facing;
        type(g(), "{right}");
    }
    // A few squares seen: large squares; the whole map seen: four pixels a square.
    EXPECT_GE(arrow().right - arrow().left + 1, 8);
    std::fill(g().overlays.automap[1].begin(), g().overlays.automap[1].end(), 1);
    EXPECT_LE(arrow().right - arrow().left + 1, 4);

    type(g(), "{tab}");
    const std::string text = text_dump(g());
    EXPECT_NE(text.find(" 1 1 Old Town\n"), std::string::npos) << text;
    // Each wall type's line: a swatch and its name in the colour its walls are drawn in.
    const auto& runs = g().Form1.Text.runs();
    for (const char* name : {"stone", "brick", "timber", "hedge", "iron gate", "door"}) {
        const auto it = std::find_if(runs.begin(), runs.end(),
                                     [&](const TextRun& r) { return r.text == name; });
        ASSERT_NE(it, runs.end()) << name;
        ASSERT_NE(it, runs.begin());
        EXPECT_EQ(std::prev(it)->text, "\x97") << name;
        EXPECT_EQ(std::prev(it)->colour, it->colour) << name;
        EXPECT_EQ(std::prev(it)->y, it->y) << name;
    }
    type(g(), "{tab}");
}

TEST_F(Comforts, AutomapMarksSeenSquaresThatHoldEvents) {
    // From the guild hall door the party sees the fight two squares ahead and the teleports
    // beside it; without events nothing is marked.
    type(g(), "ataxtaxxe{tab}");
    const uint32_t event_dot = QBColor(3);
    EXPECT_GT(pixels_of(g().Form1.mainPic.image, event_dot), 0);
    type(g(), "{tab}");
    for (auto& e : g().map_rec.events) e = {};
    type(g(), "{tab}");
    EXPECT_EQ(pixels_of(g().Form1.mainPic.image, event_dot), 0);
    // Without a names file the heading is the map's number.
    EXPECT_NE(text_dump(g()).find(" 1 1 Map 1\n"), std::string::npos);
}

} // namespace

} // namespace duskwend
