// A save folder or a world from someone else: links never carry a write out of the folder,
// pipes never make the game wait, files larger than their format are refused by name, a load
// on a read-only disk only reads, a commit file that is not a file is set aside, and values no
// rule can produce are brought back into range.
#include "core/datafiles.h"
#include "core/file_access.h"
#include "core/game.h"
#include "core/overlays.h"
#include "core/save_slots.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace duskwend {

namespace fs = std::filesystem;
using fixture::StartedGame;
using fixture::TempDir;
using fixture::type;

namespace {

std::string read_text(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_text(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << text;
}

class FileSafety : public ::testing::Test {
  protected:
    FileSafety() : dir("filesafety"), outside("filesafety-outside") {
        fixture::write_small_world(dir.path);
        game = std::make_unique<StartedGame>(dir.path);
        type(g(), "ataxtaxx"); // a party of two
    }
    Game& g() { return game->g; }
    TempDir dir, outside;
    std::unique_ptr<StartedGame> game;
};

TEST_F(FileSafety, NoWriteFollowsALinkOutOfTheSaveFolder) {
    const fs::path victim = outside.path / "victim";
    const struct {
        std::string link; // in the save folder, leading to the victim
        std::function<bool(Game&)> write;
    } cases[] = {
        {"settings.ini.new",
         [](Game& g) { return write_settings_delay(g.data_files.save_folder(), 1); }},
        {"settings.ini",
         [](Game& g) { return write_settings_delay(g.data_files.save_folder(), 1); }},
        {"Automap.dat.new", [](Game& g) { return sub_save_automap(g); }},
        {"Automap.dat", [](Game& g) { return sub_save_automap(g); }},
        {"L1chr.dat.new", [](Game& g) { return write_save_files(g); }},
        {"Save.dat.new", [](Game& g) { return write_save_files(g); }},
        {"Savef.dat", [](Game& g) { return write_save_files(g); }},
        {"Save.commit.new", [](Game& g) { return write_save_files(g); }},
        {"slots/1.new", [](Game& g) { return sub_keep_saved_game(g, "1") == SlotResult::done; }},
    };
    for (const auto& c : cases) {
        write_text(victim, "not the game's");
        ASSERT_TRUE(write_save_files(g()));
        fs::create_directories((dir.path / c.link).parent_path());
        fs::remove(dir.path / c.link);
        fs::create_symlink(victim, dir.path / c.link);
        EXPECT_TRUE(c.write(g())) << c.link;
        EXPECT_EQ(read_text(victim), "not the game's") << c.link;
        EXPECT_FALSE(fs::is_symlink(dir.path / c.link)) << c.link << " is still a link";
        fs::remove(dir.path / c.link);
    }
    // A slots folder that is a link to a folder elsewhere is not written into.
    fs::remove_all(dir.path / SLOTS_FOLDER);
    fs::create_directory_symlink(outside.path, dir.path / SLOTS_FOLDER);
    EXPECT_EQ(sub_keep_saved_game(g(), "2"), SlotResult::failed);
    EXPECT_FALSE(fs::exists(outside.path / "2"));
}

TEST_F(FileSafety, PipesAndFoldersAreRefusedWithoutWaiting) {
    ASSERT_TRUE(write_save_files(g()));
    ASSERT_TRUE(sub_save_automap(g()));
    const auto pipe_at = [&](const char* name) {
        fs::remove(dir.path / name);
        ASSERT_EQ(::mkfifo((dir.path / name).c_str(), 0644), 0);
    };
    // Each of these would wait for a writer forever if opened to block.
    pipe_at(SETTINGS_FILE);
    EXPECT_FALSE(read_settings_delay(dir.path));
    pipe_at(AUTOMAP_FILE);
    g().overlays.automap[1] = std::vector<uint8_t>(MAP_SIZE * MAP_SIZE, 1);
    sub_load_automap(g());
    EXPECT_TRUE(g().overlays.automap.empty());
    fs::remove(dir.path / AUTOMAP_FILE);
    pipe_at(ROSTER_SAVE_FILE);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(read_save_files(g()));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("L1chr.dat is not a regular file"),
              std::string::npos);
    pipe_at(ITEM_FILE);
    try {
        StartedGame refused(dir.path);
        ADD_FAILURE() << "a pipe as the item file was opened";
    } catch (const DataError& e) {
        EXPECT_NE(std::string(e.what()).find("Item.dat is not a regular file"), std::string::npos)
            << e.what();
    }
}

TEST_F(FileSafety, FilesLargerThanTheirFormatAreRefusedByName) {
    ASSERT_TRUE(write_save_files(g()));
    const auto grow = [&](const char* name, std::size_t by) {
        fs::resize_file(dir.path / name, fs::file_size(dir.path / name) + by);
    };
    // One byte past the roster's eleven slots.
    grow(ROSTER_SAVE_FILE, 1);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(read_save_files(g()));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("L1chr.dat is larger than its format allows"), std::string::npos) << said;

    // The settings: a few kilobytes at most.
    write_text(dir.path / SETTINGS_FILE,
               "message_delay=1\n" + std::string(SETTINGS_SIZE_LIMIT, '#'));
    EXPECT_FALSE(read_settings_delay(dir.path));
    // The automap: no map the world does not have, and no endless line.
    std::string automap =
        "duskwend-automap 1\nmap " + std::to_string(g().data_files.map_count + 1) + "\n";
    for (int y = 0; y < MAP_SIZE; ++y) automap += std::string(MAP_SIZE, '#') + "\n";
    write_text(dir.path / AUTOMAP_FILE, automap + "end\n");
    sub_load_automap(g());
    EXPECT_TRUE(g().overlays.automap.empty());
    fs::remove(dir.path / AUTOMAP_FILE);
    fs::create_symlink("/dev/zero", dir.path / AUTOMAP_FILE);
    sub_load_automap(g());
    EXPECT_TRUE(g().overlays.automap.empty());

    // A world file longer than the entries its header counts.
    grow(SPELL_FILE, SPELL_SLOT);
    try {
        StartedGame refused(dir.path);
        ADD_FAILURE() << "an oversized spell file was opened";
    } catch (const DataError& e) {
        EXPECT_NE(std::string(e.what()).find("Mag.dat is larger than its format allows"),
                  std::string::npos)
            << e.what();
    }
}

TEST_F(FileSafety, ACommitFileThatIsNoFileIsSetAsideOnce) {
    type(g(), "s");
    const auto party = g().party;
    const fs::path commit = dir.path / SAVE_COMMIT_FILE;
    const std::function<void()> makers[] = {
        [&] { fs::create_symlink(dir.path / "nowhere", commit); },
        [&] { fs::create_directory(commit); },
        [&] {
            fs::create_directory(outside.path / "folder");
            fs::create_directory_symlink(outside.path / "folder", commit);
        },
    };
    for (const auto& make : makers) {
        make();
        g().party = {};
        testing::internal::CaptureStderr();
        EXPECT_TRUE(read_save_files(g()));
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(g().party, party);
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("Save.commit is not a regular file"), std::string::npos) << said;
        EXPECT_FALSE(name_taken(commit));
        EXPECT_TRUE(write_save_files(g())); // and saving works again
        fs::remove_all(outside.path / "folder");
    }
}

TEST_F(FileSafety, LoadingFromAReadOnlyFolderOnlyReads) {
    type(g(), "s");
    const auto party = g().party;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A mount of our own where the save folder is read-only; 77: no way to make one here.
        if (::unshare(CLONE_NEWNS) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) _exit(77);
        const char* d = dir.path.c_str();
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(d, d, nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, d, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            _exit(77);
        if (::access(d, W_OK) == 0 && ::mkdir((dir.path / "probe").c_str(), 0755) == 0) _exit(77);
        g().party = {};
        _exit(read_save_files(g()) && g().party == party ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "no read-only mount here";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

TEST_F(FileSafety, ImpossibleValuesOfALoadedSaveAreBroughtIntoRange) {
    type(g(), "s");
    Game& game = g();
    game.party[0].in_use = -1;
    game.party[0].hit_points = 30000;
    game.party[0].max_hit_points = 20;
    game.party[0].crowns = INT32_MIN;
    game.party[0].pack[0] = {1, 0, 0};    // held, but none of it
    game.party[0].pack[1] = {9999, 3, 0}; // an item the world does not have
    game.party[1].magic_points = -5;
    std::swap(game.party[1], game.party[2]); // a gap before the second member
    ASSERT_TRUE(write_save_files(game));
    testing::internal::CaptureStderr();
    ASSERT_TRUE(read_save_files(game));
    const std::string said = testing::internal::GetCapturedStderr();
    const auto& m = game.party[0];
    EXPECT_EQ(m.in_use, static_cast<int16_t>(m.name.trimmed().size()));
    EXPECT_EQ(m.hit_points, 20);
    EXPECT_EQ(m.crowns, 0);
    EXPECT_EQ(m.pack[0][PACK_QUANTITY], 1);
    EXPECT_EQ(m.pack[1][PACK_ITEM], 0);
    EXPECT_GT(game.party[1].in_use, 0);
    EXPECT_EQ(game.party[1].magic_points, 0);
    for (const char* field :
         {"in_use -1", "hit_points 30000", "crowns -2147483648", "pack slot 1 quantity 0",
          "item 9999", "magic_points -5", "empty places"})
        EXPECT_NE(said.find(field), std::string::npos) << field << " not named in:\n" << said;
    // A sound save says nothing.
    ASSERT_TRUE(write_save_files(game));
    testing::internal::CaptureStderr();
    ASSERT_TRUE(read_save_files(game));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace

} // namespace duskwend
