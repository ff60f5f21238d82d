// Saves under faults: every step of a save failing in turn, the process killed in the middle
// of saving, and save files that cannot be read. Whatever happens, a load gives the old game or
// the new one whole, never the roster of one beside the party of another.
#include "core/datafiles.h"
#include "core/game.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <iostream>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace duskwend {

namespace fs = std::filesystem;
using fixture::StartedGame;

namespace {

// Each save carries its generation in all three files.
void set_generation(Game& g, int16_t n) {
    g.roster[0].level = n;
    g.party[7].level = n;
    g.game_flags[50] = n;
}

// The generation a fresh game loads, or -1 when the three files disagree, or -2 when nothing
// loads at all.
int loaded_generation(const fs::path& dir) {
    StartedGame other(dir);
    set_generation(other.g, -3);
    if (!read_save_files(other.g)) return -2;
    const Game& g = other.g;
    if (g.roster[0].level != g.party[7].level || g.party[7].level != g.game_flags[50]) return -1;
    return g.roster[0].level;
}

bool leftovers(const fs::path& dir) {
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".new" || e.path().filename() == SAVE_COMMIT_FILE) return true;
    return false;
}

TEST(SaveFaults, EveryStepFailingInTurnLeavesTheOldOrTheNewGameWhole) {
    const std::string files[] = {"L1chr.dat.new",   "Save.dat.new", "Savef.dat.new",
                                 "Save.commit.new", "L1chr.dat",    "Save.dat",
                                 "Savef.dat"};
    int fired = 0;
    for (SaveStep step : {SaveStep::write, SaveStep::flush, SaveStep::rename}) {
        for (const std::string& file : files) {
            fixture::SmallWorldDir dir("savefault");
            StartedGame s(dir.path);
            set_generation(s.g, 1);
            ASSERT_TRUE(write_save_files(s.g));
            set_generation(s.g, 2);
            bool hit = false;
            s.g.data_files.save_fault = [&](SaveStep at, const std::string& name) {
                hit = hit || (at == step && name == file);
                return at == step && name == file;
            };
            const bool saved = write_save_files(s.g);
            s.g.data_files.save_fault = nullptr;
            const std::string what = "step " + std::to_string(int(step)) + " of " + file;
            if (!hit) {
                EXPECT_TRUE(saved) << what;
                continue;
            }
            ++fired;
            // Failing before the commit file is in place loses the new game, not the old one;
            // a rename failing after it is finished by the next load.
            EXPECT_EQ(loaded_generation(dir.path), saved ? 2 : 1) << what;
            EXPECT_FALSE(leftovers(dir.path)) << what;
        }
    }
    // Write and flush of four files, the rename of the commit file and of the three saves.
    EXPECT_EQ(fired, 4 + 4 + 4);
}

TEST(SaveFaults, KilledWhileSavingTheOldOrTheNewGameLoadsWhole) {
    fixture::SmallWorldDir dir("savekill");
    StartedGame s(dir.path);
    set_generation(s.g, 0);
    ASSERT_TRUE(write_save_files(s.g));

    std::mt19937 random(12345);
    int interrupted = 0;
    for (int round = 0; round < 60; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves ever newer games until killed (or for two seconds at most).
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            for (int16_t n = int16_t(1000 + round * 100); std::chrono::steady_clock::now() < end;
                 ++n) {
                set_generation(s.g, n);
                write_save_files(s.g);
            }
            _exit(0);
        }
        usleep(std::uniform_int_distribution<useconds_t>(500, 15000)(random));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        if (leftovers(dir.path)) ++interrupted;
        const int generation = loaded_generation(dir.path);
        EXPECT_GE(generation, 0) << "round " << round << ": the save files do not belong together";
        EXPECT_FALSE(leftovers(dir.path)) << "round " << round;
    }
    // Most kills land in the middle of a save; the check above must have met some.
    EXPECT_GT(interrupted, 0);
    std::cout << interrupted << " of 60 kills interrupted a save\n";
}

TEST(SaveFaults, AnInterruptedCommitIsFinishedAtStartUpAndAnUncommittedOneDiscarded) {
    fixture::SmallWorldDir dir("savecommit");
    {
        StartedGame s(dir.path);
        set_generation(s.g, 1);
        ASSERT_TRUE(write_save_files(s.g));
        set_generation(s.g, 2);
        // The commit file is in place and the roster renamed, then the power fails.
        s.g.data_files.save_fault = [](SaveStep at, const std::string& name) {
            return at == SaveStep::rename && name == "Save.dat.new";
        };
        ASSERT_TRUE(write_save_files(s.g));
        ASSERT_TRUE(fs::exists(dir.path / SAVE_COMMIT_FILE));
        ASSERT_TRUE(fs::exists(dir.path / "Save.dat.new"));
    }
    {
        // A commit file that cannot be read is left alone, and nothing loads meanwhile.
        Game g;
        g.data_files.dir = dir.path;
        g.data_files.save_fault = [](SaveStep at, const std::string& name) {
            return at == SaveStep::read && name == SAVE_COMMIT_FILE;
        };
        EXPECT_FALSE(read_save_files(g));
        EXPECT_TRUE(fs::exists(dir.path / SAVE_COMMIT_FILE));
        EXPECT_TRUE(fs::exists(dir.path / "Save.dat.new"));
    }
    {
        StartedGame started(dir.path); // start-up finishes the save
        EXPECT_FALSE(leftovers(dir.path));
    }
    EXPECT_EQ(loaded_generation(dir.path), 2);

    // Files beside without a commit file were never saved: start-up removes them.
    fixture::write_bmp(dir.path / "Save.dat.new", 4, 4, 0);
    fixture::write_bmp(dir.path / "Save.commit.new", 4, 4, 0);
    { StartedGame started(dir.path); }
    EXPECT_FALSE(leftovers(dir.path));
    EXPECT_EQ(loaded_generation(dir.path), 2);
}

TEST(SaveFaults, AnUnreadableSaveIsNoSaveAndChangesNothing) {
    fixture::SmallWorldDir dir("saveunreadable");
    StartedGame s(dir.path);
    Game& g = s.g;
    set_generation(g, 1);
    ASSERT_TRUE(write_save_files(g));
    set_generation(g, 5);

    // An error while reading.
    g.data_files.save_fault = [](SaveStep at, const std::string& name) {
        return at == SaveStep::read && name == PARTY_SAVE_FILE;
    };
    EXPECT_FALSE(read_save_files(g));
    g.data_files.save_fault = nullptr;
    EXPECT_EQ(g.roster[0].level, 5);

    // A folder where the party file should be, loaded from the guild hall's menu.
    fs::remove(dir.path / PARTY_SAVE_FILE);
    fs::create_directory(dir.path / PARTY_SAVE_FILE);
    fixture::type(g, "l");
    bool shown = false;
    for (const auto& r : g.Form1.Text.runs())
        shown = shown || r.text == " There is no saved game to load.";
    EXPECT_TRUE(shown);
    EXPECT_EQ(g.roster[0].level, 5);
    EXPECT_EQ(g.game_flags[50], 5);
}

} // namespace

} // namespace duskwend
