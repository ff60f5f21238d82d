// Save slots: keeping the saved game in a slot, loading it back, the automatic slots of the
// last saves, and damaged slots refused with nothing changed.
#include "core/datafiles.h"
#include "core/overlays.h"
#include "core/save_slots.h"
#include "platform/dumps.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <fstream>

namespace duskwend {

namespace fs = std::filesystem;
using fixture::StartedGame;
using fixture::type;

namespace {

class SaveSlots : public ::testing::Test {
  protected:
    SaveSlots() : dir("slots") {
        game = std::make_unique<StartedGame>(dir.path);
        g().data_files.save_dir = dir.path / "saves";
        fs::create_directories(g().data_files.save_dir);
    }
    Game& g() { return game->g; }
    fs::path saves() const { return dir.path / "saves"; }
    fs::path slot(const std::string& name) const { return saves() / SLOTS_FOLDER / name; }
    // What a saved game is made of, in memory.
    std::string saved_state() {
        const auto s = state_dump(g());
        return s["roster"].dump() + s["party"].dump() + s["game_flags"].dump() +
               s["overlays"]["automap"].dump();
    }
    std::string text() { return text_dump(g()); }
    fixture::SmallWorldDir dir;
    std::unique_ptr<StartedGame> game;
};

TEST_F(SaveSlots, ASlotKeptChangedOverAndLoadedBackGivesTheSameGame) {
    // A party of two walks a little, comes home and saves; the save goes to slot 4.
    type(g(), "ataxtaxxe{up}");
    ASSERT_EQ(g().combat_active, 0);
    g().current_location = LOCATION_GUILD_HALL, g().location_step = 0;
    type(g(), "s ");
    const std::string first = saved_state();
    type(g(), "{f6}");
    EXPECT_EQ(g().overlays.shown, OVERLAY_SAVE_SLOTS);
    type(g(), "s4");
    EXPECT_NE(text().find("Slot 4 now holds the saved game."), std::string::npos) << text();
    // The list shows the party's names and levels.
    EXPECT_NE(text().find("Corvath 1, Tallow 1"), std::string::npos) << text();
    type(g(), "x");
    EXPECT_EQ(g().overlays.shown, OVERLAY_NONE);

    // The game changes and is saved again: Tallow leaves, a flag is set.
    type(g(), "rbx");
    g().game_flags[5] = 9;
    type(g(), "s ");
    ASSERT_NE(saved_state(), first);

    // L4 puts slot 4 back as the saved game and loads it.
    type(g(), "{f6}l4");
    EXPECT_NE(text().find("Slot 4 loaded"), std::string::npos) << text();
    type(g(), "x");
    EXPECT_EQ(saved_state(), first);
    // ... and it is the saved game now: a plain load gives it again.
    g().game_flags.fill(0);
    type(g(), "l ");
    EXPECT_EQ(saved_state(), first);

    // The automatic slots hold the last saved games, newest first: the second save, then the
    // first; loading auto2 (key B) undoes the second save.
    type(g(), "{f6}lb");
    type(g(), "x");
    EXPECT_EQ(saved_state(), first);
    EXPECT_TRUE(fs::exists(slot("auto1")));
    EXPECT_TRUE(fs::exists(slot("auto2")));
}

TEST_F(SaveSlots, ADamagedOrEmptySlotIsRefusedAndNothingChanges) {
    type(g(), "ataxtaxxs {f6}s2x");
    ASSERT_TRUE(fs::exists(slot("2")));
    type(g(), "rax");
    type(g(), "s "); // the saved game differs from slot 2 now
    const std::string good = fixture::read_text(slot("2"));
    const auto save_files = [&] {
        return fixture::read_text(saves() / ROSTER_SAVE_FILE) +
               fixture::read_text(saves() / PARTY_SAVE_FILE) +
               fixture::read_text(saves() / FLAGS_SAVE_FILE) +
               fixture::read_text(saves() / AUTOMAP_FILE) + fixture::read_text(slot("auto1")) +
               fixture::read_text(slot("auto2"));
    };
    const std::string before_files = save_files();
    const std::string before_state = saved_state();

    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x20;
    const std::vector<std::pair<std::string, std::string>> damage = {
        {"a byte changed", flipped},
        {"cut short", good.substr(0, good.size() - 10)},
        {"empty", ""},
        {"not a slot", "duskwend-slot 1\nsaved x\n"},
    };
    for (const auto& [what, bytes] : damage) {
        std::ofstream(slot("2"), std::ios::binary | std::ios::trunc) << bytes;
        type(g(), "{f6}l2");
        EXPECT_NE(text().find("Slot 2 is damaged; nothing changed."), std::string::npos)
            << what << "\n"
            << text();
        EXPECT_NE(text().find(" 0 0 damaged\n"), std::string::npos) << text();
        type(g(), "x");
        EXPECT_EQ(saved_state(), before_state) << what;
        EXPECT_EQ(save_files(), before_files) << what;
    }
    type(g(), "{f6}l7");
    EXPECT_NE(text().find("Slot 7 is empty."), std::string::npos) << text();
    type(g(), "x");
    EXPECT_EQ(saved_state(), before_state);
}

TEST_F(SaveSlots, AwayFromTheGuildHallF6SaysWhereSlotsAreKept) {
    type(g(), "ataxtaxxe");
    const std::string state = state_dump(g()).dump();
    type(g(), "{f6}");
    EXPECT_EQ(g().overlays.shown, OVERLAY_NOTICE);
    EXPECT_NE(text().find("Save slots are kept at the guild hall."), std::string::npos);
    type(g(), "l"); // any key closes the notice; it reaches no slot and no screen
    EXPECT_EQ(g().overlays.shown, OVERLAY_NONE);
    EXPECT_EQ(state_dump(g()).dump(), state);
    // With no saved game there is nothing to keep.
    StartedGame fresh(dir.path);
    fresh.g.data_files.save_dir = dir.path / "empty";
    fs::create_directories(fresh.g.data_files.save_dir);
    type(fresh.g, "{f6}s1");
    EXPECT_NE(text_dump(fresh.g).find("There is no saved game to keep."), std::string::npos);
}

} // namespace

} // namespace duskwend
