// The class table against the figures of the game's documents, one row per class, read
// through the rules that use it: a row in the wrong place or a slipped number shows here.
#include "combat/round.h"
#include "core/game.h"
#include "core/output.h"
#include "core/rules.h"

#include <gtest/gtest.h>

namespace duskwend {

TEST(ClassRules, EachClassByTheDocumentedFigures) {
    struct Case {
        int class_id;
        const char* name;
        int32_t experience;       // needed at level 2
        int16_t armour_class;     // level 10, dexterity and speed 15
        int16_t hit_points, mana; // a level's gain: vitality 15, intelligence 18, piety 13
        int16_t success_chance;   // base 10: a caster's share of intelligence or piety
    };
    const Case cases[] = {
        {CLASS_FIGHTER, "Fighter", 2000, 122, 13, 0, 10},
        {CLASS_THIEF, "Thief", 1500, 137, 8, 3, 10},
        {CLASS_CLERIC, "Cleric", 1800, 95, 11, 5, 23},
        {CLASS_MAGE, "Mage", 2200, 94, 6, 14, 28},
        {CLASS_BERSERKER, "Berserker", 2000, 84, 15, 0, 10},
        {CLASS_RANGER, "Ranger", 2000, 109, 13, 3, 10},
        {CLASS_PALADIN, "Paladin", 2000, 96, 13, 2, 16}, // 16.5 rounds to even
        {CLASS_MERCHANT, "Merchant", 2000, 118, 8, 3, 10},
        {CLASS_COUNT, "", 2000, 43, 1, 0, 10}, // a class the game does not know adds nothing
    };
    for (const Case& c : cases) {
        Game g;
        PartyMemberRec& m = g.party[0];
        m.in_use = 1, m.class_id = int16_t(c.class_id), m.level = 10;
        m.base_dexterity = m.base_speed = 15;
        m.base_vitality = 15, m.base_intelligence = 18, m.base_piety = 13, m.base_karma = 0;
        sub_update_party_stats(g);
        EXPECT_EQ(sub_class_name(c.class_id), c.name);
        EXPECT_EQ(m.armour_class, c.armour_class) << c.name;
        EXPECT_EQ(sub_roll_level_gains(g, 1, 0), c.hit_points) << c.name;
        EXPECT_EQ(sub_roll_level_gains(g, 2, 0), c.mana) << c.name;
        g.spell_rec.success_base = 10;
        m.level = 2;
        EXPECT_EQ(sub_experience_needed(g, 0), c.experience) << c.name;
        m.level = 0;
        EXPECT_EQ(sub_spell_success_chance(g, 0), c.success_chance) << c.name;
    }
}

} // namespace duskwend
