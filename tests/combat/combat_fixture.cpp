#include "combat_fixture.h"

#include "core/datafiles.h"

#include <algorithm>

namespace duskwend {

namespace combat_test {

namespace {

// A record of a monster or an item: its number and its names for one and for more.
template <class Rec> Rec named(int n, const char* name, const char* plural) {
    Rec r;
    r.number = int16_t(n);
    r.name = name;
    r.plural_name = plural;
    return r;
}

MonsterRec make_monster(int n, const char* name, const char* plural, int type) {
    MonsterRec m = named<MonsterRec>(n, name, plural);
    m.monster_type = int16_t(type);
    m.picture = 1;
    m.hit_dice = {1, 1, 0};
    m.damage_dice = 1, m.damage_sides = 1;
    m.level = 1;
    return m;
}

ItemRec make_item(int n, const char* name, const char* plural, int kind) {
    ItemRec i = named<ItemRec>(n, name, plural);
    i.kind = int16_t(kind);
    return i;
}

} // namespace

CombatTest::CombatTest() : WorldTest("combat") {
    monsters.resize(4);
    monsters[0].number = 3;
    monsters[1] = make_monster(1, "Rat", "Rats", 0);
    monsters[2] = make_monster(2, "Ghoul", "Ghouls", 1);
    monsters[2].gender = 2;
    monsters[3] = make_monster(3, "Imp", "Imps", 2);

    items.resize(5);
    items[0].number = 4;
    items[1] = make_item(1, "Sword", "Swords", 1);
    items[1].to_hit_percent = 100;
    items[1].damage_dice = 1, items[1].damage_sides = 1, items[1].damage_bonus = 4;
    items[2] = make_item(2, "Potion", "Potions", 5);
    items[2].use_effects[0] = {5, 0, 0};
    items[3] = make_item(3, "Stone", "Stones", 5);
    items[3].use_effects[0] = {3, 0, 1};
    items[4] = make_item(4, "Gem", "Gems", 6);

    spells.resize(4);
    spells[0].number = 3;
    for (int n = 1; n <= 3; ++n) {
        spells[n].number = int16_t(n);
        spells[n].name = "Spell " + std::to_string(n);
        spells[n].cast_text = "casts at";
        spells[n].success_base = 100;
    }
    rewrite_world();
    Game& g = start_game();
    g.host = &host;
    g.set_font(&font);
    g.current_location = LOCATION_CITY;
    g.combat_active = -1;
    g.combat_step = COMBAT_ROUND;
    g.keys_enabled = 1;
}

void CombatTest::rewrite_world() {
    fixture::write_slots(dir.path / MONSTER_FILE, monsters, MONSTER_SLOT);
    fixture::write_slots(dir.path / ITEM_FILE, items, ITEM_SLOT);
    fixture::write_slots(dir.path / SPELL_FILE, spells, SPELL_SLOT);
    if (started) {
        Game& g = started->g;
        const MapRec map = g.map_rec;
        sub_open_data_files(g);
        g.map_rec = map;
    }
}

PartyMemberRec& CombatTest::member(int slot, const std::string& name, int class_id, int level) {
    PartyMemberRec& m = game().party[slot];
    m = PartyMemberRec{};
    m.in_use = 1;
    m.name = name;
    m.class_id = int16_t(class_id);
    m.level = int16_t(level);
    m.sex = 1;
    m.hit_points = m.max_hit_points = 100;
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k) attribute(m, k) = base_attribute(m, k) = 10;
    m.karma = m.base_karma = 0;
    return m;
}

void CombatTest::group(int grp, int monster, int count, int hp) {
    Game& g = game();
    g.monster_groups[grp] = {int16_t(monster), int16_t(count), 0, 0};
    for (int m = 0; m < GROUP_MEMBERS; ++m) g.monster_state[grp][m] = {};
    for (int m = 0; m < count; ++m) g.monster_state[grp][m][MONSTER_HIT_POINTS] = int16_t(hp);
}

void CombatTest::fix_initiative(int slot, int value) {
    auto& e = game().party[slot].effects;
    e[9] = {-2, EFFECT_BLESS, -20};
    e[10] = {-2, EFFECT_SPEED, int16_t(value)};
}

void CombatTest::fix_group_initiative(int grp, int value) {
    auto& e = game().group_effects[grp];
    e[0] = {5, EFFECT_BLESS, -20};
    e[1] = {5, EFFECT_SPEED, int16_t(value)};
}

bool CombatTest::logged(const std::string& line) const {
    return std::find(host.log.begin(), host.log.end(), line) != host.log.end();
}

int CombatTest::count_logged(const std::string& part) const {
    return int(std::count_if(host.log.begin(), host.log.end(), [&](const std::string& s) {
        return s.find(part) != std::string::npos;
    }));
}

} // namespace combat_test

} // namespace duskwend
