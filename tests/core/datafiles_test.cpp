// The world files: slots, headers, fetches past the end, map loading, start-up failures, and
// the save files.
#include "core/datafiles.h"
#include "core/dispatch.h"
#include "core/game.h"
#include "screens/register_screens.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <fstream>

namespace duskwend {

namespace fs = std::filesystem;
using fixture::StartedGame;
using fixture::TempDir;

namespace {

TEST(DataFiles, ItemEntryOneStartsAtByte222) {
    fixture::SmallWorldDir dir("items");
    const auto bytes = fixture::read_bytes(dir.path / ITEM_FILE);
    ASSERT_EQ(bytes.size(), 14u * 222u);
    // Slot 2 holds entry 1: its number and name start at byte 222, not at 182.
    EXPECT_EQ(bytes[222], 1);
    EXPECT_EQ(std::string(bytes.begin() + 224, bytes.begin() + 230), "Potion");
}

TEST(DataFiles, StartUpReadsHeadersAndMapOne) {
    fixture::SmallWorldDir dir("start");
    StartedGame s(dir.path);
    EXPECT_EQ(s.g.item_count, 13);
    EXPECT_EQ(s.g.shop_count, 1);
    EXPECT_EQ(s.g.spell_count, 2);
    EXPECT_EQ(s.g.spell_progression_count, 1);
    EXPECT_EQ(s.g.monster_rec.name.trimmed(), "Base Record");
    EXPECT_EQ(s.g.map_rec.encounter_chance, 7);
    EXPECT_EQ(s.g.map_rec.messages[0].trimmed(), "Welcome to the city.");
}

TEST(DataFiles, FetchesFillTheBuffers) {
    fixture::SmallWorldDir dir("fetch");
    StartedGame s(dir.path);
    Game& g = s.g;
    sub_read_item(g, 13);
    EXPECT_EQ(g.item_rec.name.trimmed(), "Chain Mail");
    EXPECT_EQ(g.item_rec.armour, 4);
    sub_read_item(g, 0);
    EXPECT_EQ(g.item_rec.number, 13) << "entry 0 is the header";
    sub_read_monster(g, 2);
    EXPECT_EQ(g.monster_rec.name.trimmed(), "Wolf");
    sub_read_shop(g, 1);
    EXPECT_EQ(g.shop_rec.stock[1], 3);
    sub_read_spell(g, 2);
    EXPECT_EQ(g.spell_rec.level, 3);
    sub_read_spell_progression(g, 1);
    EXPECT_EQ(g.spell_progression_rec.class_id, 2);
}

TEST(DataFiles, FetchesOutsideAFileGiveAllZeroRecords) {
    fixture::SmallWorldDir dir("outside");
    StartedGame s(dir.path);
    Game& g = s.g;
    for (int32_t n : {14, 1000, -1, -5, 2147483647}) {
        sub_read_item(g, n);
        EXPECT_EQ(g.item_rec, decode<ItemRec>({})) << "item " << n;
        sub_read_spell(g, n);
        EXPECT_EQ(g.spell_rec, decode<SpellRec>({})) << "spell " << n;
    }
    sub_load_map(g, 2);
    EXPECT_EQ(g.map_level, 2);
    EXPECT_EQ(g.map_rec.difficulty, 2);
    // The small world holds maps 1 to 4.
    for (int n : {5, 0, -1}) {
        sub_load_map(g, n);
        EXPECT_EQ(g.map_level, n);
        EXPECT_EQ(g.map_rec, decode<MapRec>({})) << "map " << n;
    }
}

TEST(DataFiles, StartUpNamesWhatIsMissingOrShort) {
    const auto start_error = [](const fs::path& dir) -> std::string {
        Game g;
        register_screens(g);
        fixture::BlankPictureHost host;
        g.host = &host;
        g.data_files.dir = dir;
        try {
            Form_Load(g);
        } catch (const DataError& e) {
            return e.what();
        }
        return "";
    };
    TempDir dir("missing");
    EXPECT_NE(start_error(dir.path / "nowhere").find("nowhere"), std::string::npos);

    fixture::write_small_world(dir.path);
    fs::remove(dir.path / SPELL_FILE);
    EXPECT_NE(start_error(dir.path).find("Mag.dat"), std::string::npos);

    fixture::write_small_world(dir.path);
    fs::resize_file(dir.path / ITEM_FILE, 13 * 222 + 100); // the last item is cut short
    const std::string short_items = start_error(dir.path);
    EXPECT_NE(short_items.find("Item.dat"), std::string::npos);
    EXPECT_NE(short_items.find("13 entries"), std::string::npos);

    fixture::write_small_world(dir.path);
    fs::resize_file(dir.path / MAP_FILE, 1000);
    EXPECT_NE(start_error(dir.path).find("Maps.dat"), std::string::npos);

    fixture::write_small_world(dir.path);
    EXPECT_EQ(start_error(dir.path), "");
}

TEST(SaveFiles, SaveThenLoadThenSaveIsByteIdentical) {
    fixture::SmallWorldDir dir("save");
    StartedGame s(dir.path);
    Game& g = s.g;
    g.party[0].in_use = 1;
    g.party[0].name = "Corvath";
    g.party[0].effects[3] = {5, 2, 1};
    g.party[7].pack[10] = {4, 2, 1};
    g.roster[10].name = "Keeper";
    g.game_flags[100] = -7;
    ASSERT_TRUE(write_save_files(g));
    const auto roster = fixture::read_bytes(dir.path / ROSTER_SAVE_FILE);
    const auto party = fixture::read_bytes(dir.path / PARTY_SAVE_FILE);
    const auto flags = fixture::read_bytes(dir.path / FLAGS_SAVE_FILE);
    EXPECT_EQ(roster.size(), 11u * 392u);
    EXPECT_EQ(party.size(), 8u * 488u);
    EXPECT_EQ(flags.size(), 101u * 2u);
    EXPECT_EQ(flags[200], 0xF9);
    EXPECT_EQ(flags[201], 0xFF);

    StartedGame other(dir.path);
    ASSERT_TRUE(read_save_files(other.g));
    EXPECT_EQ(other.g.party, g.party);
    EXPECT_EQ(other.g.roster, g.roster);
    EXPECT_EQ(other.g.game_flags, g.game_flags);
    ASSERT_TRUE(write_save_files(other.g));
    EXPECT_EQ(fixture::read_bytes(dir.path / ROSTER_SAVE_FILE), roster);
    EXPECT_EQ(fixture::read_bytes(dir.path / PARTY_SAVE_FILE), party);
    EXPECT_EQ(fixture::read_bytes(dir.path / FLAGS_SAVE_FILE), flags);
    for (const auto& e : fs::directory_iterator(dir.path))
        EXPECT_NE(e.path().extension(), ".new") << "no temporary file is left behind";
}

TEST(SaveFiles, LoadWithAMissingOrShortFileChangesNothing) {
    fixture::SmallWorldDir dir("load");
    StartedGame s(dir.path);
    Game& g = s.g;
    EXPECT_FALSE(read_save_files(g)) << "nothing saved yet";

    ASSERT_TRUE(write_save_files(g));
    fs::resize_file(dir.path / PARTY_SAVE_FILE, 7 * 488 + 100);
    g.roster[0].name = "Changed";
    g.game_flags[3] = 9;
    EXPECT_FALSE(read_save_files(g));
    EXPECT_EQ(g.roster[0].name.trimmed(), "Changed");
    EXPECT_EQ(g.game_flags[3], 9);
}

TEST(SaveFiles, AFailedSaveKeepsThePreviousOne) {
    fixture::SmallWorldDir dir("failsave");
    StartedGame s(dir.path);
    Game& g = s.g;
    ASSERT_TRUE(write_save_files(g));
    const auto before = fixture::read_bytes(dir.path / ROSTER_SAVE_FILE);
    // A folder in the way of the flags file's temporary (one the clearing of an earlier
    // save's leftovers cannot remove) makes the save fail part-way.
    fs::create_directories(dir.path / "Savef.dat.new" / "inside");
    g.roster[0].name = "Someone Else";
    EXPECT_FALSE(write_save_files(g));
    EXPECT_EQ(fixture::read_bytes(dir.path / ROSTER_SAVE_FILE), before);
}

} // namespace

} // namespace duskwend
