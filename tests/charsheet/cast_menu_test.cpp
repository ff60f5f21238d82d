// The cast screen's menu: " C." " Cast." or its empty line only for spells on oneself or the
// group; every other screen has " X." " Exit." straight at y 322 unless a target list stands
// there.
#include "sheet_fixture.h"

namespace duskwend {

using namespace sheet_test;

namespace {

using CastMenu = SheetTest;

TEST_F(CastMenu, ExitFollowsOnlyTheLinesThatAreThere) {
    struct Case {
        int spell, magic_points, target;
        const char *at_322, *at_335;
    };
    const Case cases[] = {
        {MEND, 50, -1, " C. Cast.", " X. Exit."}, // on oneself
        {MEND, 0, -1, "", " X. Exit."},           // too little mana: an empty line
        {GLOW, 0, -1, " C. Cast.", " X. Exit."},  // the group, for no mana
        {AID, 0, -1, " 1, 2, 3. Cast Spell on Who", " X. Exit."},
        {AID, 4, 2, " X. Exit.", ""}, // a target, but too little mana
        {SPARK, 50, -1, " X. Exit.", ""},
    };
    party_of(3);
    for (const Case& c : cases) {
        member(1).magic_points = static_cast<int16_t>(c.magic_points);
        g().sheet_spell = static_cast<int16_t>(c.spell);
        g().sheet_target = static_cast<int16_t>(c.target);
        open(1, SHEET_CAST_ON);
        EXPECT_EQ(line_at(322), c.at_322) << c.spell;
        EXPECT_EQ(line_at(335), c.at_335) << c.spell;
    }
}

} // namespace

} // namespace duskwend
