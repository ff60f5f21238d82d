#pragma once
// A started game with monsters, spells and maps of the test's own, a party made by hand, and
// helpers to read the combat screen back.

#include "combat/combat.h"
#include "core/dispatch.h"
#include "core/game.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace duskwend {

namespace selection_test {

constexpr int GOBLIN = 1, ORC = 2, MONSTER_COUNT = 2;
constexpr int HEAL = 1, FIREBALL = 2, SHIELD = 3, BOLT = 4, SPELL_COUNT = 4;
constexpr int POTION = 1, DAGGER = 2; // items of the small world
constexpr int FIGHTER = 0, THIEF = 1, CLERIC = 2, BERSERKER = 4, MERCHANT = 7;

// kind, x, y, four parameters (fields 4..7); no condition.
inline std::array<int16_t, MAP_EVENT_FIELDS> event(int kind, int x, int y, int p1 = 0, int p2 = 0,
                                                   int p3 = 0, int p4 = 0) {
    return {int16_t(kind), 0, int16_t(x), int16_t(y), int16_t(p1), int16_t(p2), int16_t(p3),
            int16_t(p4),   0, 0,          0};
}

// Goblins: one-sided hit dice give 5 hit points, each carries 3 crowns and is worth
// 10 + 2 per hit point. Orcs have 7 hit points and are worth nothing.
inline std::vector<MonsterRec> monsters() {
    std::vector<MonsterRec> m(MONSTER_COUNT + 1);
    m[0].number = MONSTER_COUNT;
    m[GOBLIN].number = GOBLIN, m[GOBLIN].name = "Goblin", m[GOBLIN].plural_name = "Goblins";
    m[GOBLIN].picture = 1, m[GOBLIN].hit_dice = {1, 1, 4}, m[GOBLIN].crowns_dice = {2, 1, 1};
    m[GOBLIN].experience_base = 10, m[GOBLIN].experience_per_hit_point = 2;
    m[ORC].number = ORC, m[ORC].name = "Orc", m[ORC].plural_name = "Orcs", m[ORC].picture = 2;
    m[ORC].hit_dice = {0, 0, 7};
    return m;
}

inline std::vector<SpellRec> spells() {
    std::vector<SpellRec> s(SPELL_COUNT + 1);
    s[0].number = SPELL_COUNT;
    const auto set = [&](int n, const char* name, int level, int target) {
        s[n].number = int16_t(n), s[n].name = name, s[n].level = int16_t(level);
        s[n].target_type = int16_t(target);
    };
    set(HEAL, "Heal", 1, 1);
    set(FIREBALL, "Fireball", 1, 2);
    set(SHIELD, "Shield", 0, 0);
    set(BOLT, "Bolt", 2, 6);
    return s;
}

class SelectionTest : public fixture::WorldTest {
  protected:
    SelectionTest() : WorldTest("selection") {
        fixture::write_slots(dir.path / MONSTER_FILE, monsters(), MONSTER_SLOT);
        fixture::write_slots(dir.path / SPELL_FILE, spells(), SPELL_SLOT);
        maps.resize(2);
    }

    // Starts the game on the test's maps, standing in the city of map 1 at (5, 5).
    Game& start(Host* host = nullptr) {
        fixture::write_slots(dir.path / MAP_FILE, maps, MAP_SLOT);
        Game& g = start_game();
        if (host) g.host = host;
        for (auto& p : g.party) p = PartyMemberRec{};
        g.current_location = LOCATION_CITY;
        g.location_step = -1;
        g.map_level = 1;
        g.party_x = 5, g.party_y = 5, g.party_facing = 0;
        return g;
    }

    PartyMemberRec& add(int slot, const char* name, int class_id = FIGHTER, int hp = 10) {
        PartyMemberRec& p = g().party[slot];
        p.in_use = 1, p.name = name, p.class_id = int16_t(class_id), p.level = 1;
        p.hit_points = p.max_hit_points = int16_t(hp);
        return p;
    }

    // A fight against the given groups (monster, count), shown on its encounter screen.
    void fight(const std::vector<std::pair<int, int>>& groups) {
        auto& events = g().map_rec.events;
        for (std::size_t k = 0; k < groups.size(); ++k) {
            events[90 + k] = event(5, 0, 0, groups[k].first, groups[k].second);
            sub_start_event_encounter(g(), int(90 + k), int(k));
        }
        sub_render_screen(g());
    }

    void type(const std::string& keys) { fixture::type(started->g, keys); }

    // The menu keys printed in colour 1, in order.
    std::string menu_keys() const {
        std::string keys;
        for (const auto& r : started->g.Form1.Text.runs())
            if (r.colour == 1 && r.text.size() == 4 && r.text[0] == ' ') keys += r.text[2];
        return keys;
    }

    std::vector<MapRec> maps;
};

} // namespace selection_test

} // namespace duskwend
