// The real program, run headless against a small world the test writes: its dumps, its
// screenshot, and its answers to bad input.
#include "core/datafiles.h"
#include "support/fixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>

namespace duskwend {

namespace fs = std::filesystem;
using fixture::TempDir;

namespace {

struct ProgramRun {
    int status = -1;
    std::string out, err;
};

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

ProgramRun run(const std::vector<std::string>& args, const fs::path& scratch) {
    std::string command = quoted(DUSKWEND_BINARY);
    for (const auto& a : args) command += " " + quoted(a);
    const fs::path err_file = scratch / "stderr.txt";
    command += " 2>" + quoted(err_file.string());
    ProgramRun r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer{};
    while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
        r.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(err_file);
    r.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return r;
}

class Headless : public ::testing::Test {
  protected:
    Headless() : dir("headless") { fixture::write_small_world(data()); }
    fs::path data() const { return dir.path / "Data"; }
    TempDir dir;
};

TEST_F(Headless, StateDumpShowsTheDefaultRosterAndTheStartState) {
    const ProgramRun r =
        run({"--headless", "--data-dir", data().string(), "--seed", "1", "--dump-state", "-"},
            dir.path);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto state = nlohmann::json::parse(r.out);
    EXPECT_EQ(state["current_location"], 0);
    EXPECT_EQ(state["keys_enabled"], 1);
    EXPECT_EQ(state["upper_case_input"], -1);
    EXPECT_EQ(state["message_delay"], 0.5);
    EXPECT_EQ(state["item_count"], 13);
    const auto& corvath = state["roster"][0];
    EXPECT_EQ(corvath["name"], "Corvath             ") << "fixed text as stored";
    EXPECT_EQ(corvath["experience"], 1001);
    EXPECT_EQ(corvath["bank"], -100);
    EXPECT_EQ(corvath["resistances"], nlohmann::json({0, 13, 13, 12, 12, 12}));
    EXPECT_EQ(corvath["pack"][0], nlohmann::json({1, 1, 0})) << "pack[slot][column]";
    EXPECT_EQ(corvath["pack"].size(), 11u);
    const auto& tallow = state["roster"][1];
    EXPECT_EQ(tallow["in_use"], 2);
    EXPECT_EQ(tallow["thief_skills"], nlohmann::json({25, 30, 20, 30, 20}));
    EXPECT_EQ(tallow["left_hand"], nlohmann::json({9, 1, 0}));
    EXPECT_EQ(state["party"].size(), 8u);
    EXPECT_EQ(state["party"][0]["in_use"], 0);
    EXPECT_EQ(state["game_flags"].size(), 101u);
    EXPECT_FALSE(state.contains("item_rec")) << "record buffers are left out";
}

TEST_F(Headless, TextDumpAndScreenshotOfTheStart) {
    const fs::path png = dir.path / "start.png";
    const fs::path text = dir.path / "start.txt";
    const ProgramRun r =
        run({"--headless", "--data-dir", data().string(), "--keys", "Ab{up}{enter}", "--dump-text",
             text.string(), "--screenshot", png.string()},
            dir.path);
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream in(text);
    std::string first, second;
    std::getline(in, first);
    std::getline(in, second);
    EXPECT_EQ(first, "[mainPic] tavern.bmp");
    EXPECT_EQ(second, "[Text]");
    // The status panel's header line: "No." at 0, "Name" at 20, ... "AC" at 200.
    std::string dump((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(dump.find("[SideText]\n0 0 0 0 No.\n0 20 0 0 Name\n0 80 0 0 Hits\n0 140 0 0 Mana\n0 "
                        "200 0 0 AC\n"),
              std::string::npos)
        << dump;

    const auto bytes = fixture::read_bytes(png);
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
    const auto be32 = [&](std::size_t o) {
        return bytes[o] << 24 | bytes[o + 1] << 16 | bytes[o + 2] << 8 | bytes[o + 3];
    };
    EXPECT_EQ(be32(16), 490);
    EXPECT_EQ(be32(20), 355);
}

TEST_F(Headless, TheSameSeedGivesTheSameRun) {
    // A walk into a random fight and through it: encounters, initiative, hits and damage all
    // roll dice.
    const fs::path keys = fs::path(DUSKWEND_SOURCE_DIR) / "tests/sessions/fight_to_victory.keys";
    const auto state = [&](const char* seed) {
        const ProgramRun r = run({"--headless", "--data-dir", data().string(), "--seed", seed,
                                  "--keys-file", keys.string(), "--dump-state", "-"},
                                 dir.path);
        EXPECT_EQ(r.status, 0) << r.err;
        return nlohmann::json::parse(r.out, nullptr, false);
    };
    const auto first = state("7");
    ASSERT_FALSE(first.is_discarded());
    ASSERT_NE(first["party"][0]["in_use"], 0) << "the session formed a party";
    EXPECT_EQ(first, state("7"));
    EXPECT_NE(first, state("8")) << "another seed, other rolls";
}

TEST_F(Headless, MissingFilesAreNamedWithStatusOne) {
    fs::remove(data() / "Mon.dat");
    ProgramRun r = run({"--headless", "--data-dir", data().string()}, dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find((data() / "Mon.dat").string()), std::string::npos) << r.err;

    fixture::write_small_world(data());
    fs::remove(data() / "tavern.bmp");
    r = run({"--headless", "--data-dir", data().string()}, dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("tavern.bmp"), std::string::npos) << r.err;

    fixture::write_small_world(data());
    fs::remove(data() / "font.ttf");
    r = run({"--headless", "--data-dir", data().string()}, dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("font.ttf"), std::string::npos) << r.err;

    r = run({"--headless", "--data-dir", (dir.path / "absent").string()}, dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("absent"), std::string::npos) << r.err;
}

// Changes the 32-bit little-endian field at `at` of a file, keeping its length.
void patch_u32(const fs::path& file, std::size_t at, uint32_t value) {
    auto bytes = fixture::read_bytes(file);
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

TEST_F(Headless, PicturesWhoseSizeTheFileCannotHoldAreRefusedByName) {
    // A height of 3,145,868 rows once made the row address overflow; a width in the millions
    // made the loader clear gigabytes. Both are refused before anything is decoded.
    for (const auto& [field, value] : {std::pair{22u, 3145868u},
                                       {18u, 6000000u},
                                       {22u, 141u},
                                       {18u, 0x80000000u},
                                       {10u, 0xFFFFFFF0u}}) {
        fixture::write_small_world(data());
        patch_u32(data() / "tavern.bmp", field, value);
        const ProgramRun r = run({"--headless", "--data-dir", data().string()}, dir.path);
        EXPECT_EQ(r.status, 1) << field << " = " << value;
        EXPECT_NE(r.err.find("tavern.bmp"), std::string::npos) << r.err;
    }
    // A picture stored top to bottom (negative height) is still a picture.
    fixture::write_small_world(data());
    patch_u32(data() / "tavern.bmp", 22, static_cast<uint32_t>(-140));
    EXPECT_EQ(run({"--headless", "--data-dir", data().string()}, dir.path).status, 0);
}

TEST_F(Headless, EveryPictureAlwaysNeededIsCheckedAtStartUp) {
    for (const char* name : {"shoppe.bmp", "temple.bmp", "review.bmp", "back.bmp", "r1b.bmp"}) {
        fixture::write_small_world(data());
        fs::remove(data() / name);
        const ProgramRun r = run({"--headless", "--data-dir", data().string()}, dir.path);
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_NE(r.err.find(name), std::string::npos) << r.err;
    }
    // A picture named by a map event may still be missing: it is read when shown.
    fixture::write_small_world(data());
    fs::remove(data() / "Mon3.bmp");
    EXPECT_EQ(run({"--headless", "--data-dir", data().string()}, dir.path).status, 0);
}

TEST_F(Headless, FileSystemErrorsNameThePathWithStatusOne) {
    const fs::path loop = dir.path / "loop";
    fs::create_symlink(loop, loop);
    ProgramRun r = run({"--headless", "--data-dir", loop.string()}, dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(loop.string()), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;

    fs::remove(data() / "font.ttf");
    fs::create_symlink(data() / "font.ttf", data() / "font.ttf");
    r = run({"--headless", "--data-dir", data().string()}, dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("font.ttf"), std::string::npos) << r.err;

    const std::string too_long = (dir.path / std::string(5000, 'd')).string();
    r = run({"--headless", "--data-dir", too_long}, dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ddddd"), std::string::npos) << r.err;
}

TEST_F(Headless, TheWindowWithoutADisplayEndsWithOneMessage) {
    // No display of any kind, and SDL left to choose its own driver.
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " +
                          quoted(DUSKWEND_BINARY) + " --data-dir " + quoted(data().string()) +
                          " 2>" + quoted((dir.path / "err.txt").string());
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::ifstream in(dir.path / "err.txt");
    const std::string err{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("display"), std::string::npos) << err;

    // The stand-in driver draws where nobody can see: the same answer.
    command = "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy " + quoted(DUSKWEND_BINARY) +
              " --data-dir " + quoted(data().string()) + " 2>/dev/null";
    const int dummy = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(dummy));
    EXPECT_EQ(WEXITSTATUS(dummy), 1);
}

TEST_F(Headless, BadOptionsAndKeyScriptsGiveUsageAndStatusTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"--headless", "--no-such-option"},
        {"--headless", "--scale", "0"},
        {"--headless", "--scale", "two"},
        {"--headless", "--message-delay", "-1"},
        {"--headless", "--seed", "-3"},
        {"--headless", "--keys", "{jump}"},
        {"--headless", "--keys", "a~"},
        {"--headless", "--keys-file", (dir.path / "no-such-script").string()},
    };
    for (const auto& args : bad) {
        const ProgramRun r = run(args, dir.path);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_FALSE(r.err.empty()) << args.back();
    }
    const ProgramRun help = run({"--help"}, dir.path);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--dump-state"), std::string::npos);
}

TEST_F(Headless, ANewCharacterTypedThroughTheRunner) {
    const ProgramRun r = run({"--headless", "--data-dir", data().string(), "--keys",
                              "cabba"
                              "a"
                              "a"
                              "Wrex{backspace}n",
                              "--dump-state", "-"},
                             dir.path);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto state = nlohmann::json::parse(r.out);
    EXPECT_EQ(state["new_name"], "Wren");
    EXPECT_EQ(state["new_class"], 1);
    EXPECT_EQ(state["new_sex"], 2);
    EXPECT_EQ(state["new_thief_skills"][1], 11) << "hide in shadows 9, and 2 more for a woman";
    EXPECT_EQ(state["upper_case_input"], 0) << "names keep the case they are typed in";
    EXPECT_EQ(state["location_step"], 12);
}

TEST_F(Headless, KeyScriptFromAFileIgnoresNewlines) {
    const fs::path script = dir.path / "keys.txt";
    std::ofstream(script) << "1\n2\n";
    const ProgramRun r = run({"--headless", "--data-dir", data().string(), "--keys-file",
                              script.string(), "--dump-state", "-"},
                             dir.path);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["sheet_member"], 0)
        << "digits for an empty party open nothing";
}

} // namespace

} // namespace duskwend
