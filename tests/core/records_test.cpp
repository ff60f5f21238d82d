// Record layouts: every field lands where the byte offsets of the file format put it, and
// records survive the trip to disk and back unchanged.
#include "core/records.h"

#include <gtest/gtest.h>

namespace duskwend {

namespace {

int16_t i16_at(const std::vector<uint8_t>& b, std::size_t off) {
    return static_cast<int16_t>(b.at(off) | (b.at(off + 1) << 8));
}
int32_t i32_at(const std::vector<uint8_t>& b, std::size_t off) {
    return static_cast<int32_t>(uint32_t(b.at(off)) | uint32_t(b.at(off + 1)) << 8 |
                                uint32_t(b.at(off + 2)) << 16 | uint32_t(b.at(off + 3)) << 24);
}
// Expects each (byte offset, value) of `wanted` as a 16-bit field of `b`.
void expect_i16s(const std::vector<uint8_t>& b,
                 std::initializer_list<std::pair<std::size_t, int>> wanted) {
    for (const auto& [off, value] : wanted) EXPECT_EQ(i16_at(b, off), value) << "at byte " << off;
}
std::string text_at(const std::vector<uint8_t>& b, std::size_t off, std::size_t n) {
    return std::string(b.begin() + long(off), b.begin() + long(off + n));
}

TEST(Records, DiskSizes) {
    EXPECT_EQ(encode(CharacterRec{}).size(), 372u);
    EXPECT_EQ(encode(PartyMemberRec{}).size(), 468u);
    EXPECT_EQ(encode(ItemRec{}).size(), 182u);
    EXPECT_EQ(encode(MonsterRec{}).size(), 164u);
    EXPECT_EQ(encode(ShopRec{}).size(), 62u);
    EXPECT_EQ(encode(SpellRec{}).size(), 1238u);
    EXPECT_EQ(encode(SpellProgressionRec{}).size(), 10u);
    EXPECT_EQ(encode(MapRec{}).size(), 18072u);
}

TEST(Records, CharacterFieldsAtTheirOffsets) {
    CharacterRec c;
    c.in_use = 7, c.name = "Corvath", c.class_id = 4, c.sex = 2, c.level = 9;
    c.experience = 123456789, c.crowns = -5, c.bank = -100, c.race = 3;
    c.strength = 16, c.karma = 11, c.hit_points = 31, c.max_hit_points = 32;
    c.magic_points = 33, c.max_magic_points = 34, c.healing_mark = 1000;
    c.resistances = {1, 2, 3, 4, 5, 6};
    c.right_hand = {3, 1, 77}, c.left_hand = {10, 2, 0}, c.body = 13;
    c.pack[0] = {1, 4, 1};
    c.pack[10] = {99, 5, 0};
    c.thief_skills = {25, 30, 20, 30, 20};
    c.spells_known[100] = 42;
    const auto b = encode(c);
    EXPECT_EQ(i16_at(b, 0), 7);
    EXPECT_EQ(text_at(b, 2, 20), "Corvath             ");
    expect_i16s(b, {{22, 4}, {24, 2}, {26, 9}});
    EXPECT_EQ(i32_at(b, 28), 123456789);
    EXPECT_EQ(i32_at(b, 32), -5);
    EXPECT_EQ(i32_at(b, 36), -100);
    expect_i16s(b, {{40, 3},
                    {42, 16},
                    {56, 11},
                    {58, 31},
                    {64, 34},
                    {66, 1000},
                    {68, 1},
                    {78, 6},
                    {80, 3},
                    {84, 77},
                    {86, 10},
                    {92, 13}});
    // pack(s, c) with the slot varying fastest: (0,0) at 94, (10,0) at 114, (0,1) at 116.
    expect_i16s(b, {{94, 1},
                    {94 + 2 * 10, 99},
                    {94 + 2 * 11, 4},
                    {94 + 2 * (10 + 11), 5},
                    {94 + 2 * 22, 1},
                    {160, 25},
                    {168, 20},
                    {170 + 200, 42}});
}

TEST(Records, PartyMemberFieldsAtTheirOffsets) {
    PartyMemberRec m;
    m.strength = 1, m.karma = 2, m.base_strength = 3, m.base_karma = 4;
    m.hit_points = -3, m.max_magic_points = 9;
    m.base_resistances[0] = 5, m.resistances[5] = 6;
    m.thief_skills[0] = 7, m.spells_known[0] = 8;
    m.armour_class = 19, m.healing_mark = 1000;
    m.right_hand = {3, 1, 0}, m.left_hand = {0, 0, 12}, m.body = 13;
    m.pack[0][0] = 21;
    m.effects[0] = {5, 2, 3};
    m.effects[10][2] = 9;
    const auto b = encode(m);
    expect_i16s(b,
                {{42, 1},   {56, 2},   {58, 3},  {72, 4},       {74, -3},      {80, 9},  {82, 5},
                 {104, 6},  {106, 7},  {116, 8}, {318, 19},     {320, 1000},   {322, 3}, {332, 12},
                 {334, 13}, {336, 21}, {402, 5}, {402 + 22, 2}, {402 + 44, 3}, {466, 9}});
}

TEST(Records, WorldRecordFieldsAtTheirOffsets) {
    ItemRec item;
    item.number = 40, item.name = "Long Sword", item.plural_name = "Long Swords", item.kind = 2;
    item.armour = 1, item.damage_bonus = 3, item.usable_by[0] = -1, item.usable_by[25] = -1;
    item.attack_speed = 4, item.price = 250, item.use_effects[0] = {5, 0, 2};
    auto b = encode(item);
    EXPECT_EQ(text_at(b, 22, 20), "Long Swords         ");
    expect_i16s(b, {{42, 2},
                    {46, 1},
                    {58, 3},
                    {60, -1},
                    {110, -1},
                    {112, 4},
                    {114, 250},
                    {116, 5},
                    {116 + 22, 0},
                    {116 + 44, 2}});

    MonsterRec mon;
    mon.picture = 12, mon.hit_dice = {2, 8, 1}, mon.level = 3, mon.speed = 5, mon.luck = 10;
    mon.attack_effects[0] = {-1, 1, 4}, mon.crowns_dice = {1, 6, 0};
    mon.experience_base = 30, mon.experience_per_hit_point = 2;
    b = encode(mon);
    expect_i16s(b, {{46, 12},
                    {52, 1},
                    {60, 3},
                    {66, 5},
                    {72, 10},
                    {88, -1},
                    {88 + 22, 1},
                    {88 + 44, 4},
                    {154, 1},
                    {160, 30},
                    {162, 2}});

    ShopRec shop;
    shop.shop_kind = 0, shop.name = "Iron Anvil", shop.stock[0] = 2, shop.stock[15] = 9;
    b = encode(shop);
    EXPECT_EQ(text_at(b, 4, 25), "Iron Anvil               ");
    expect_i16s(b, {{29, 2}, {59, 9}});
    EXPECT_EQ(b[61], 0);

    SpellRec spell;
    spell.level = 3, spell.target_type = 6, spell.mana_cost = 8, spell.amount_level_bonus = 2;
    spell.duration_level_bonus = 7, spell.cast_text = "casts", spell.description = "Heals.\\n";
    b = encode(spell);
    expect_i16s(b, {{22, 3}, {28, 6}, {82, 8}, {98, 2}, {110, 7}});
    EXPECT_EQ(text_at(b, 182, 6), "casts ");
    EXPECT_EQ(text_at(b, 214, 9), "Heals.\\n ");
    EXPECT_EQ(b.back(), ' ');

    SpellProgressionRec prog{4, 2, 5, 17, 3};
    b = encode(prog);
    expect_i16s(b, {{0, 4}, {6, 17}, {8, 3}});
}

TEST(Records, MapGridEventsAndTextsAtTheirOffsets) {
    MapRec map;
    map.hit_point_rate = -3, map.difficulty = 2;
    map.encounters[0] = {5, 1, 4, 0, 20};
    map.encounters[10][4] = 99;
    map.grid[1][0] = 0x111; // (x = 1, y = 0): the second Integer of the grid
    map.grid[0][1] = 0x222; // (x = 0, y = 1): the 34th
    map.grid[32][32] = 0x777;
    map.events[1][0] = 8; // event 1, field 0
    map.events[0][1] = 9; // event 0, field 1
    map.messages[0] = "A sign.";
    map.messages[50] = "Last";
    map.texts[10] = "The end.";
    const auto b = encode(map);
    expect_i16s(b, {{2, -3},
                    {8, 2},
                    {10, 5},
                    {10 + 2 * 11, 1},
                    {10 + 2 * (10 + 44), 99},
                    {124, 0x111},
                    {122 + 2 * 33, 0x222},
                    {2298, 0x777},
                    {2302, 8},
                    {2300 + 2 * 101, 9}});
    EXPECT_EQ(text_at(b, 4522, 8), "A sign. ");
    EXPECT_EQ(text_at(b, 4522 + 50 * 50, 4), "Last");
    EXPECT_EQ(text_at(b, 7072 + 10 * 1000, 8), "The end.");
}

TEST(Records, RoundTripsKeepEveryField) {
    PartyMemberRec m;
    m.in_use = 5, m.name = "Tallow", m.experience = -2000000000, m.bank = 2147483647;
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k)
        attribute(m, k) = int16_t(10 + k), base_attribute(m, k) = int16_t(-k);
    for (int s = 0; s < 11; ++s)
        m.pack[s] = {int16_t(s + 1), int16_t(-s), 1}, m.effects[s] = {int16_t(s), 2, -32768};
    EXPECT_EQ(decode<PartyMemberRec>(encode(m)), m);

    MapRec map;
    for (int x = 0; x < MAP_SIZE; ++x)
        for (int y = 0; y < MAP_SIZE; ++y) map.grid[x][y] = int16_t(x * 100 + y);
    map.texts[3] = std::string(1000, 'x');
    EXPECT_EQ(decode<MapRec>(encode(map)), map);

    SpellRec spell;
    spell.unused_116[3][2] = 77, spell.description = "Long\\Ntext";
    EXPECT_EQ(decode<SpellRec>(encode(spell)), spell);
}

TEST(Records, FixedTextIsPaddedAndCut) {
    CharacterRec c;
    c.name = "A name that is far too long for the field";
    EXPECT_EQ(c.name.str(), "A name that is far t");
    c.name = "Bo";
    EXPECT_EQ(c.name.str().size(), 20u);
    EXPECT_EQ(c.name.trimmed(), "Bo");
    // Bytes of the high half of the code page survive unchanged.
    c.name = "\xC9lan";
    EXPECT_EQ(decode<CharacterRec>(encode(c)).name.trimmed(), "\xC9lan");
}

TEST(Records, ShortInputDecodesAsZeros) {
    const std::vector<uint8_t> two_bytes = {0x34, 0x12};
    const ItemRec item = decode<ItemRec>(two_bytes);
    EXPECT_EQ(item.number, 0x1234);
    EXPECT_EQ(item.price, 0);
    EXPECT_EQ(item.name.str(), std::string(20, '\0'));
}

TEST(Records, AttributesByIndex) {
    PartyMemberRec m;
    attribute(m, 0) = 16, attribute(m, 6) = 9, base_attribute(m, 7) = 11;
    EXPECT_EQ(m.strength, 16);
    EXPECT_EQ(m.personality, 9);
    EXPECT_EQ(m.base_karma, 11);
    EXPECT_THROW(attribute(m, 8), std::out_of_range);
}

} // namespace

} // namespace duskwend
