// compile -> decompile -> compile gives the same bytes, for the shipped world and for a set of
// data files full of values no source would normally hold.

#include "test_support.h"

#include "tools/data/map_grid.h"

namespace duskwend {

namespace {

void expect_round_trip(const World& world, const fs::path& dir) {
    ASSERT_EQ(write_data_files(world, dir / "first"), "");
    ReadResult read = read_data_files(dir / "first");
    ASSERT_TRUE(read.errors.empty()) << read.errors.front();
    ASSERT_EQ(write_content(read.world, dir / "sources"), "");
    Diagnostics diags;
    World again = load_content(dir / "sources", diags);
    for (const auto& d : diags.list()) ADD_FAILURE() << d.str();
    ASSERT_EQ(write_data_files(again, dir / "second"), "");
    for (const char* f : WORLD_FILES)
        EXPECT_EQ(file_bytes(dir / "first" / f), file_bytes(dir / "second" / f)) << f;
}

TEST(WorldRoundTrip, ShippedContentComesBackByteForByte) {
    ScratchDir tmp;
    Diagnostics diags;
    World world = load_content(DUSKWEND_CONTENT_DIR, diags);
    for (const auto& d : diags.list()) ADD_FAILURE() << d.str();
    expect_round_trip(world, tmp.path());
}

// A world whose records use every odd corner of the formats: unused fields, texts with zero
// bytes and characters beyond ASCII, a header that is not the compiler's, raw event fields,
// one-sided walls, grid values with the top bits set, encounter rows after an empty one.
World odd_world() {
    World w;
    ItemRec item;
    item.name = std::string("Zero\0Byte", 9);
    item.plural_name = "Caf\xe9 \x80uros";
    item.kind = 5;
    item.unused_44 = -7;
    item.usable_by[0] = 0;
    item.usable_by[3] = -1; // usable by Cleric, yet the appraisal flag says otherwise
    item.usable_by[20] = 1;
    item.use_effects[2] = {5, 1, -3};
    item.price = 32767;
    w.items = {item, ItemRec{}};
    w.items[1].number = 99; // an entry whose own number is not its place
    w.item_header.number = 2;
    w.item_header.name = "not a header name";

    MonsterRec mon;
    mon.name = "Gnoll";
    mon.monster_type = 9;
    mon.gender = -1;
    mon.unused_76 = {1, 2, 3, 4, 5, 6};
    mon.attack_effects[0] = {-1, 1, 3};
    mon.attack_effects[4] = {20, 7, 0};
    w.monsters = {mon};
    w.monster_header.number = 1; // and no "Base Record" name

    SpellRec spell;
    spell.name = "Odd";
    spell.effect = 2;
    spell.target_type = 6;
    spell.unused_116[10] = {1, 2, 3};
    spell.description = "\\n\\nTwo markers in a row\\N";
    spell.cast_text = "line\nbreak";
    w.spells = {spell};
    w.spell_header = default_header<SpellRec>(1);

    ShopRec shop;
    shop.name = "Shop";
    shop.stock[15] = 1;
    w.shops = {shop};
    w.shop_header = default_header<ShopRec>(1);
    w.progression = {SpellProgressionRec{7, 3, 2, 1, 0}};
    w.progression_header = default_header<SpellProgressionRec>(1);

    MapRec m;
    m.unused_0 = 5;
    m.unused_120 = -5;
    m.encounters[0] = {1, 1, 2, 3, 4};
    m.encounters[2] = {1, 0, 0, 0, 0}; // after an empty row
    set_side_type(m.grid[3][4], EAST, 6);
    set_side_type(m.grid[4][4], WEST, 1); // its neighbour's side differs
    set_side_type(m.grid[0][0], NORTH, 7);
    m.grid[10][10] = static_cast<int16_t>(0xF123);
    m.events[0] = {2, 0, 16, 31, 0, 0, 0, 0, 0, 0, 0};
    m.events[1] = {2, 3, 5, 5, 2, 1, 9, 0, 4, 9, -2}; // door with a stray field 6
    m.events[3] = {4, 0, 40, 2, 50, 0x444, 0, 0, 0, 0, 0};
    m.events[4] = {7, 0, 1, 1, 10, 0, 0, 0, 1, 2, 0};
    m.events[5] = {8, 0, 1, 1, 0, 10, 7, 0, 0, 0, 0};
    m.events[6] = {12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    m.messages[50] = "  leading blanks kept";
    m.texts[10] = "\\CA\\nB\\NC";
    m.texts[3] = "ends in a marker\\n";
    w.maps = {m, MapRec{}};
    return w;
}

TEST(WorldRoundTrip, OddDataFilesComeBackByteForByte) {
    ScratchDir tmp;
    World w = odd_world();
    // The odd world has dangling references (a stock entry, encounter rows), which the
    // sources keep; only consistency problems may be reported.
    ASSERT_EQ(write_data_files(w, tmp.path() / "first"), "");
    ReadResult read = read_data_files(tmp.path() / "first");
    ASSERT_TRUE(read.errors.empty());
    ASSERT_EQ(write_content(read.world, tmp.path() / "sources"), "");
    Diagnostics diags;
    World again = load_content(tmp.path() / "sources", diags);
    for (const auto& d : diags.list()) EXPECT_TRUE(d.consistency) << d.str();
    ASSERT_EQ(write_data_files(again, tmp.path() / "second"), "");
    for (const char* f : WORLD_FILES)
        EXPECT_EQ(file_bytes(tmp.path() / "first" / f), file_bytes(tmp.path() / "second" / f)) << f;
}

TEST(WorldFiles, SlotsHeadersAndTailsFollowTheFileLayout) {
    ScratchDir tmp;
    World w = odd_world();
    ASSERT_EQ(write_data_files(w, tmp.path()), "");
    auto items = file_bytes(tmp.path() / "Item.dat");
    ASSERT_EQ(items.size(), 3 * ITEM_SLOT); // header + two entries
    EXPECT_EQ(items[0], 2);                 // the header's count
    EXPECT_EQ(items[ITEM_SLOT + 2], 'Z');   // entry 1 starts at byte 222, not 182
    for (std::size_t k = ItemRec::disk_size; k < ITEM_SLOT; ++k)
        EXPECT_EQ(items[ITEM_SLOT + k], 0) << "tail byte " << k;
    EXPECT_EQ(file_bytes(tmp.path() / "Maps.dat").size(), 2 * MAP_SLOT); // no header

    // A file that is not a whole number of slots is refused by name, not half read.
    items.pop_back();
    std::ofstream(tmp.path() / "Item.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(items.data()),
               static_cast<std::streamsize>(items.size()));
    ReadResult read = read_data_files(tmp.path());
    ASSERT_EQ(read.errors.size(), 1u);
    EXPECT_NE(read.errors[0].find("Item.dat"), std::string::npos);
}

TEST(WorldFiles, DefaultMonsterHeaderCarriesTheBaseRecordName) {
    EXPECT_EQ(default_header<MonsterRec>(36).name.trimmed(), "Base Record");
    EXPECT_EQ(default_header<MonsterRec>(36).number, 36);
}

} // namespace

} // namespace duskwend
