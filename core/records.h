#pragma once
// The game's records: the roster character, the party member, and the records of the six
// data files. Each record lists its fields once, in on-disk order, in visit_fields(); the
// byte codec, the state dump and the world compiler all walk that one list, so the layouts
// cannot drift apart.
//
// On disk: little-endian, no padding, Integer/Boolean 2 bytes, Long 4 bytes, fixed text
// blank-padded, two-dimensional arrays a(0 To R, 0 To C) with the first index fastest.

#include "core/codes.h"
#include "core/fixed_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace duskwend {

// a(0 To R-1, 0 To C-1), indexed a[r][c] in memory.
template <std::size_t R, std::size_t C> using Table = std::array<std::array<int16_t, C>, R>;

// Pack rows and effect slots: (row, column). The effect types are EffectKind (core/codes.h).
constexpr int PACK_ITEM = 0, PACK_QUANTITY = 1, PACK_IDENTIFIED = 2;
constexpr int EFFECT_DURATION = 0, EFFECT_TYPE = 1, EFFECT_STRENGTH = 2;

constexpr int ATTRIBUTE_COUNT = 8;
// Attribute indexes of attribute() and base_attribute(), in record order.
constexpr int ATTRIBUTE_STRENGTH = 0, ATTRIBUTE_INTELLIGENCE = 1, ATTRIBUTE_PIETY = 2,
              ATTRIBUTE_DEXTERITY = 3, ATTRIBUTE_SPEED = 4, ATTRIBUTE_VITALITY = 5,
              ATTRIBUTE_PERSONALITY = 6, ATTRIBUTE_KARMA = 7;

struct CharacterRec {
    static constexpr std::size_t disk_size = 372;
    int16_t in_use = 0;
    FixedText<20> name;
    int16_t class_id = 0, sex = 0, level = 0;
    int32_t experience = 0, crowns = 0, bank = 0;
    int16_t race = 0;
    int16_t strength = 0, intelligence = 0, piety = 0, dexterity = 0, speed = 0, vitality = 0,
            personality = 0, karma = 0;
    int16_t hit_points = 0, max_hit_points = 0, magic_points = 0, max_magic_points = 0;
    int16_t healing_mark = 0;
    std::array<int16_t, 6> resistances{};
    std::array<int16_t, 3> right_hand{}, left_hand{};
    int16_t body = 0;
    Table<11, 3> pack{};
    std::array<int16_t, 5> thief_skills{};
    std::array<int16_t, 101> spells_known{};
    bool operator==(const CharacterRec&) const = default;
};

struct PartyMemberRec {
    static constexpr std::size_t disk_size = 468;
    int16_t in_use = 0;
    FixedText<20> name;
    int16_t class_id = 0, sex = 0, level = 0;
    int32_t experience = 0, crowns = 0, bank = 0;
    int16_t race = 0;
    int16_t strength = 0, intelligence = 0, piety = 0, dexterity = 0, speed = 0, vitality = 0,
            personality = 0, karma = 0;
    int16_t base_strength = 0, base_intelligence = 0, base_piety = 0, base_dexterity = 0,
            base_speed = 0, base_vitality = 0, base_personality = 0, base_karma = 0;
    int16_t hit_points = 0, max_hit_points = 0, magic_points = 0, max_magic_points = 0;
    std::array<int16_t, 6> base_resistances{}, resistances{};
    std::array<int16_t, 5> thief_skills{};
    std::array<int16_t, 101> spells_known{};
    int16_t armour_class = 0, healing_mark = 0;
    std::array<int16_t, 3> right_hand{}, left_hand{};
    int16_t body = 0;
    Table<11, 3> pack{};
    Table<11, 3> effects{};
    bool operator==(const PartyMemberRec&) const = default;
};

// Attribute k (0 strength, 1 intelligence, 2 piety, 3 dexterity, 4 speed, 5 vitality,
// 6 personality, 7 karma); k must lie in 0..7.
int16_t& attribute(CharacterRec& c, int k);
int16_t& attribute(PartyMemberRec& m, int k);
int16_t& base_attribute(PartyMemberRec& m, int k);
int16_t attribute(const PartyMemberRec& m, int k);
int16_t base_attribute(const PartyMemberRec& m, int k);

struct ItemRec {
    static constexpr std::size_t disk_size = 182;
    int16_t number = 0;
    FixedText<20> name, plural_name;
    int16_t kind = 0;
    int16_t unused_44 = 0;
    int16_t armour = 0, armour_percent = 0, to_hit = 0, to_hit_percent = 0;
    int16_t damage_dice = 0, damage_sides = 0, damage_bonus = 0;
    std::array<int16_t, 26> usable_by{}; // Booleans: 0 false, -1 true
    int16_t attack_speed = 0, price = 0;
    Table<11, 3> use_effects{}; // (k, 0) kind, (k, 1) sub-kind, (k, 2) strength
    bool operator==(const ItemRec&) const = default;
};

struct MonsterRec {
    static constexpr std::size_t disk_size = 164;
    int16_t number = 0;
    FixedText<20> name, plural_name;
    int16_t monster_type = 0, gender = 0, picture = 0;
    std::array<int16_t, 3> hit_dice{};
    int16_t damage_dice = 0, damage_sides = 0, damage_bonus = 0;
    int16_t level = 0;
    std::array<int16_t, 2> unused_62{};
    int16_t speed = 0, to_hit = 0, armour = 0, luck = 0;
    int16_t unused_74 = 0;
    std::array<int16_t, 6> unused_76{};
    Table<11, 3> attack_effects{}; // (k, 0) chance (-1 always), (k, 1) kind, (k, 2) grade
    std::array<int16_t, 3> crowns_dice{};
    int16_t experience_base = 0, experience_per_hit_point = 0;
    bool operator==(const MonsterRec&) const = default;
};

struct ShopRec {
    // The fields fill 61 bytes; the record's 62nd byte is always written as zero.
    static constexpr std::size_t disk_size = 62;
    int16_t number = 0, shop_kind = 0;
    FixedText<25> name;
    std::array<int16_t, 16> stock{};
    bool operator==(const ShopRec&) const = default;
};

struct SpellRec {
    static constexpr std::size_t disk_size = 1238;
    int16_t number = 0;
    FixedText<20> name;
    int16_t level = 0, casting_delay = 0, effect = 0, target_type = 0;
    std::array<int16_t, 26> unused_30{};
    int16_t mana_cost = 0, success_base = 0, success_per_level = 0;
    int16_t amount_dice = 0, amount_sides = 0, amount_bonus = 0;
    int16_t amount_level_dice = 0, amount_level_sides = 0, amount_level_bonus = 0;
    int16_t duration_dice = 0, duration_sides = 0, duration_bonus = 0;
    int16_t duration_level_dice = 0, duration_level_sides = 0, duration_level_bonus = 0;
    std::array<int16_t, 2> unused_112{};
    Table<11, 3> unused_116{};
    FixedText<32> cast_text;
    FixedText<1024> description;
    bool operator==(const SpellRec&) const = default;
};

struct SpellProgressionRec {
    static constexpr std::size_t disk_size = 10;
    int16_t number = 0, class_id = 0, level = 0, spell = 0, replaces_spell = 0;
    bool operator==(const SpellProgressionRec&) const = default;
};

constexpr int MAP_SIZE = 33, MAP_EVENT_COUNT = 101, MAP_EVENT_FIELDS = 11, MAP_MESSAGE_COUNT = 51,
              MAP_TEXT_COUNT = 11, MAP_ENCOUNTER_ROWS = 11;

struct MapRec {
    static constexpr std::size_t disk_size = 18072;
    int16_t unused_0 = 0;
    int16_t hit_point_rate = 0, magic_point_rate = 0, encounter_chance = 0, difficulty = 0;
    Table<MAP_ENCOUNTER_ROWS, 5> encounters{};
    int16_t unused_120 = 0;
    Table<MAP_SIZE, MAP_SIZE> grid{}; // grid[x][y]
    Table<MAP_EVENT_COUNT, MAP_EVENT_FIELDS> events{};
    std::array<FixedText<50>, MAP_MESSAGE_COUNT> messages;
    std::array<FixedText<1000>, MAP_TEXT_COUNT> texts;
    bool operator==(const MapRec&) const = default;
};

// The field lists. A visitor is called as v("field_name", field) for every field in on-disk
// order; the field is an int16_t, int32_t, FixedText<N>, std::array of int16_t or FixedText,
// or a Table. Rec may be const.
#define DUSKWEND_VISITABLE(Type)                                                                   \
    template <class R, class V>                                                                    \
    requires std::is_same_v<std::remove_const_t<R>, Type>                                          \
    void visit_fields(R& r, V&& v)

DUSKWEND_VISITABLE(CharacterRec) {
    v("in_use", r.in_use);
    v("name", r.name);
    v("class_id", r.class_id);
    v("sex", r.sex);
    v("level", r.level);
    v("experience", r.experience);
    v("crowns", r.crowns);
    v("bank", r.bank);
    v("race", r.race);
    v("strength", r.strength);
    v("intelligence", r.intelligence);
    v("piety", r.piety);
    v("dexterity", r.dexterity);
    v("speed", r.speed);
    v("vitality", r.vitality);
    v("personality", r.personality);
    v("karma", r.karma);
    v("hit_points", r.hit_points);
    v("max_hit_points", r.max_hit_points);
    v("magic_points", r.magic_points);
    v("max_magic_points", r.max_magic_points);
    v("healing_mark", r.healing_mark);
    v("resistances", r.resistances);
    v("right_hand", r.right_hand);
    v("left_hand", r.left_hand);
    v("body", r.body);
    v("pack", r.pack);
    v("thief_skills", r.thief_skills);
    v("spells_known", r.spells_known);
}

DUSKWEND_VISITABLE(PartyMemberRec) {
    v("in_use", r.in_use);
    v("name", r.name);
    v("class_id", r.class_id);
    v("sex", r.sex);
    v("level", r.level);
    v("experience", r.experience);
    v("crowns", r.crowns);
    v("bank", r.bank);
    v("race", r.race);
    v("strength", r.strength);
    v("intelligence", r.intelligence);
    v("piety", r.piety);
    v("dexterity", r.dexterity);
    v("speed", r.speed);
    v("vitality", r.vitality);
    v("personality", r.personality);
    v("karma", r.karma);
    v("base_strength", r.base_strength);
    v("base_intelligence", r.base_intelligence);
    v("base_piety", r.base_piety);
    v("base_dexterity", r.base_dexterity);
    v("base_speed", r.base_speed);
    v("base_vitality", r.base_vitality);
    v("base_personality", r.base_personality);
    v("base_karma", r.base_karma);
    v("hit_points", r.hit_points);
    v("max_hit_points", r.max_hit_points);
    v("magic_points", r.magic_points);
    v("max_magic_points", r.max_magic_points);
    v("base_resistances", r.base_resistances);
    v("resistances", r.resistances);
    v("thief_skills", r.thief_skills);
    v("spells_known", r.spells_known);
    v("armour_class", r.armour_class);
    v("healing_mark", r.healing_mark);
    v("right_hand", r.right_hand);
    v("left_hand", r.left_hand);
    v("body", r.body);
    v("pack", r.pack);
    v("effects", r.effects);
}

DUSKWEND_VISITABLE(ItemRec) {
    v("number", r.number);
    v("name", r.name);
    v("plural_name", r.plural_name);
    v("kind", r.kind);
    v("unused_44", r.unused_44);
    v("armour", r.armour);
    v("armour_percent", r.armour_percent);
    v("to_hit", r.to_hit);
    v("to_hit_percent", r.to_hit_percent);
    v("damage_dice", r.damage_dice);
    v("damage_sides", r.damage_sides);
    v("damage_bonus", r.damage_bonus);
    v("usable_by", r.usable_by);
    v("attack_speed", r.attack_speed);
    v("price", r.price);
    v("use_effects", r.use_effects);
}

DUSKWEND_VISITABLE(MonsterRec) {
    v("number", r.number);
    v("name", r.name);
    v("plural_name", r.plural_name);
    v("monster_type", r.monster_type);
    v("gender", r.gender);
    v("picture", r.picture);
    v("hit_dice", r.hit_dice);
    v("damage_dice", r.damage_dice);
    v("damage_sides", r.damage_sides);
    v("damage_bonus", r.damage_bonus);
    v("level", r.level);
    v("unused_62", r.unused_62);
    v("speed", r.speed);
    v("to_hit", r.to_hit);
    v("armour", r.armour);
    v("luck", r.luck);
    v("unused_74", r.unused_74);
    v("unused_76", r.unused_76);
    v("attack_effects", r.attack_effects);
    v("crowns_dice", r.crowns_dice);
    v("experience_base", r.experience_base);
    v("experience_per_hit_point", r.experience_per_hit_point);
}

DUSKWEND_VISITABLE(ShopRec) {
    v("number", r.number);
    v("shop_kind", r.shop_kind);
    v("name", r.name);
    v("stock", r.stock);
}

DUSKWEND_VISITABLE(SpellRec) {
    v("number", r.number);
    v("name", r.name);
    v("level", r.level);
    v("casting_delay", r.casting_delay);
    v("effect", r.effect);
    v("target_type", r.target_type);
    v("unused_30", r.unused_30);
    v("mana_cost", r.mana_cost);
    v("success_base", r.success_base);
    v("success_per_level", r.success_per_level);
    v("amount_dice", r.amount_dice);
    v("amount_sides", r.amount_sides);
    v("amount_bonus", r.amount_bonus);
    v("amount_level_dice", r.amount_level_dice);
    v("amount_level_sides", r.amount_level_sides);
    v("amount_level_bonus", r.amount_level_bonus);
    v("duration_dice", r.duration_dice);
    v("duration_sides", r.duration_sides);
    v("duration_bonus", r.duration_bonus);
    v("duration_level_dice", r.duration_level_dice);
    v("duration_level_sides", r.duration_level_sides);
    v("duration_level_bonus", r.duration_level_bonus);
    v("unused_112", r.unused_112);
    v("unused_116", r.unused_116);
    v("cast_text", r.cast_text);
    v("description", r.description);
}

DUSKWEND_VISITABLE(SpellProgressionRec) {
    v("number", r.number);
    v("class_id", r.class_id);
    v("level", r.level);
    v("spell", r.spell);
    v("replaces_spell", r.replaces_spell);
}

DUSKWEND_VISITABLE(MapRec) {
    v("unused_0", r.unused_0);
    v("hit_point_rate", r.hit_point_rate);
    v("magic_point_rate", r.magic_point_rate);
    v("encounter_chance", r.encounter_chance);
    v("difficulty", r.difficulty);
    v("encounters", r.encounters);
    v("unused_120", r.unused_120);
    v("grid", r.grid);
    v("events", r.events);
    v("messages", r.messages);
    v("texts", r.texts);
}

// Byte codecs. encode() gives exactly Rec::disk_size bytes; decode() reads the record from
// the start of bytes, and bytes missing at the end read as zeros.
template <class Rec> std::vector<uint8_t> encode(const Rec& r);
template <class Rec> Rec decode(std::span<const uint8_t> bytes);

} // namespace duskwend
