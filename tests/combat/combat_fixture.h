#pragma once
// A started game with monsters, items and spells of the test's own, a party and monster
// groups set up by hand, and a log of every message the fight shows.

#include "combat/combat.h"
#include "combat/round.h"
#include "core/dispatch.h"
#include "core/game.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace duskwend {

namespace combat_test {

// Messages never wrap, so each message is one line of the log.
class NoWrapFont final : public FontMetrics {
  public:
    int text_width(std::string_view, bool) const override { return 0; }
};

// Serves blank pictures and logs each message as it is shown.
class RecordingHost final : public Host {
  public:
    std::optional<Bitmap> load_bitmap(const std::string& path) override {
        pictures.push_back(path);
        return Bitmap(228, 140, 0x404040);
    }
    void repaint(Game& g) override {
        if (g.message_depth != 0 || g.message_line < 0) return;
        std::string s = g.message_lines[g.message_line];
        if (!s.empty() && s.back() == ' ') s.pop_back();
        log.push_back(s);
    }
    std::vector<std::string> log;
    std::vector<std::string> pictures;
};

// Monsters: 1 "Rat" (beast), 2 "Ghoul" (undead), 3 "Imp" (unholy: does not act).
// Items: 1 "Sword" (kind 1), 2 "Potion" (heals, strength 0), 3 "Stone" (usable, no healing),
// 4 "Gem" (treasure). Spells: set up per test with spell().
class CombatTest : public fixture::WorldTest {
  protected:
    CombatTest();

    Game& game() { return started->g; }
    PartyMemberRec& member(int slot, const std::string& name, int class_id = 0, int level = 1);
    // A group of `count` members of monster `monster`, each with `hp` hit points.
    void group(int grp, int monster, int count, int hp);
    MonsterRec& monster(int n) { return monsters[n]; }
    SpellRec& spell(int n) { return spells[n]; }
    // Writes the edited monsters, items and spells and reopens the files.
    void rewrite_world();
    // Party initiative fixed at `value` through two effects (a bless of -20 makes it 0).
    void fix_initiative(int slot, int value);
    // A group's initiative fixed at `value` through two group effects.
    void fix_group_initiative(int grp, int value);

    const std::vector<std::string>& log() const { return host.log; }
    bool logged(const std::string& line) const;
    int count_logged(const std::string& part) const;
    void clear_log() { host.log.clear(); }

    std::vector<MonsterRec> monsters;
    std::vector<ItemRec> items;
    std::vector<SpellRec> spells;
    RecordingHost host;
    NoWrapFont font;
};

} // namespace combat_test

} // namespace duskwend
