// The review board: the verdict by experience and class, the paid advance, spells learnt and
// replaced, an attribute rise within the maxima, one advance per key, and the way out.
#include "services_fixture.h"

#include "core/creation_rules.h"

namespace duskwend {

using namespace services_test;

namespace {

constexpr int FIGHTER = 0, THIEF = 1, CLERIC = 2, MAGE = 3;

class Review : public ServicesTest {
  protected:
    Review() {
        std::vector<SpellRec> spells(8);
        const char* names[] = {"", "Spark", "Flame", "Ward", "Bolt", "Glow", "Glow", "Hush"};
        spells[0].number = 7;
        for (int n = 1; n <= 7; ++n) spells[n].number = int16_t(n), spells[n].name = names[n];
        fixture::write_slots(dir.path / SPELL_FILE, spells, SPELL_SLOT);
        // Mages at level 2: Ward is learnt, Spark becomes Flame, Glow is upgraded, and Hush
        // would replace a spell the member does not know.
        std::vector<SpellProgressionRec> progression = {
            {6, 0, 0, 0, 0},    {1, MAGE, 2, 3, 0},    {2, MAGE, 2, 2, 1}, {3, MAGE, 2, 6, 5},
            {4, MAGE, 2, 4, 7}, {5, FIGHTER, 2, 7, 0}, {6, MAGE, 3, 7, 0}};
        fixture::write_slots(dir.path / SPELL_PROGRESSION_FILE, progression,
                             SPELL_PROGRESSION_SLOT);
    }

    // Corvath before the board, judged, with the class and experience given.
    Game& judged(int class_id, int32_t experience, int level = 1) {
        Game& g = start(LOCATION_REVIEW);
        corvath().class_id = static_cast<int16_t>(class_id);
        corvath().experience = experience;
        corvath().level = static_cast<int16_t>(level);
        type("a");
        return g;
    }

    // The page the board printed, its lines joined: a wrapped line goes on with the blank it
    // was broken at.
    std::string page() const {
        std::string s;
        const Game& g = started->g;
        for (int k = 0; k <= g.page_line && k <= MESSAGE_LAST_LINE; ++k) {
            std::string line = g.page_lines[k];
            s += line.erase(line.find_last_not_of(' ') + 1);
        }
        return s;
    }
    bool page_has(const std::string& text) const { return page().find(text) != std::string::npos; }

    // The maxima of the member's race and class, from character creation's own rule.
    std::array<int16_t, ATTRIBUTE_COUNT> maxima() {
        Game& g = game();
        g.new_race = corvath().race;
        g.new_class = corvath().class_id;
        int16_t* const scratch[ATTRIBUTE_COUNT] = {
            &g.new_strength, &g.new_intelligence, &g.new_piety,       &g.new_dexterity,
            &g.new_speed,    &g.new_vitality,     &g.new_personality, &g.new_karma};
        for (int16_t* v : scratch) *v = 99;
        sub_clamp_creation_attributes(g);
        std::array<int16_t, ATTRIBUTE_COUNT> out{};
        for (int k = 0; k < ATTRIBUTE_COUNT; ++k) out[k] = *scratch[k];
        return out;
    }
    std::array<int16_t, ATTRIBUTE_COUNT> base_attributes() {
        std::array<int16_t, ATTRIBUTE_COUNT> out{};
        for (int k = 0; k < ATTRIBUTE_COUNT; ++k) out[k] = base_attribute(corvath(), k);
        return out;
    }
    void set_base_attributes(const std::array<int16_t, ATTRIBUTE_COUNT>& values) {
        for (int k = 0; k < ATTRIBUTE_COUNT; ++k) base_attribute(corvath(), k) = values[k];
    }
};

TEST_F(Review, EachClassNeedsItsOwnExperienceForTheNextLevel) {
    for (auto [class_id, need] :
         {std::pair{FIGHTER, 1000}, {THIEF, 750}, {CLERIC, 900}, {MAGE, 1100}}) {
        Game& g = judged(class_id, need - 1);
        EXPECT_TRUE(page_has("Corvath steps forward."));
        EXPECT_TRUE(page_has("'Corvath you still require 1 experience to gain a level.'"))
            << class_id;
        EXPECT_FALSE(shows("  A.|Advance a Level."));
        type("a");
        EXPECT_EQ(g.location_step, REVIEW_SELECT) << "any key goes back";
        EXPECT_EQ(corvath().level, 1);

        corvath().experience = need;
        type("a");
        EXPECT_TRUE(page_has("'Corvath you have progressed enough to gain a level.'")) << class_id;
        EXPECT_TRUE(page_has("'Training for this advance will cost you 100 imperial crowns.'"));
        EXPECT_TRUE(shows("  A.|Advance a Level."));
        EXPECT_TRUE(shows("  L.|Leave the Review."));
    }
    judged(FIGHTER, 4000, 3);
    EXPECT_TRUE(page_has("cost you 900 imperial crowns."));
}

TEST_F(Review, AnAdvanceIsPaidForAndHappensOncePerKey) {
    Game& g = judged(FIGHTER, 1000);
    PartyMemberRec& m = corvath();
    m.crowns = 150;
    m.base_resistances = {1, 2, 3, 4, 5, 6};
    const auto before = base_attributes();
    type("a");
    EXPECT_EQ(m.level, 2);
    EXPECT_EQ(m.crowns, 50);
    EXPECT_TRUE(page_has("Corvath advances to level  2."));
    // Vitality 10 gives round(0.55 x 10) + 1 = 7 hit points, or 8 with the karma bonus.
    EXPECT_TRUE(m.max_hit_points == 27 || m.max_hit_points == 28) << m.max_hit_points;
    EXPECT_EQ(m.hit_points, m.max_hit_points);
    EXPECT_TRUE(page_has("This gains him " + std::to_string(m.max_hit_points - 20) + " hitpoints."))
        << "a Fighter gains no mana: no mana in the text";
    EXPECT_EQ(m.max_magic_points, 0);
    EXPECT_EQ(m.base_resistances, (std::array<int16_t, 6>{3, 4, 5, 6, 7, 8}));
    int risen = 0;
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k) risen += base_attributes()[k] - before[k];
    EXPECT_EQ(risen, 1);
    EXPECT_TRUE(page_has("Corvath improves his "));

    const auto after = base_attributes();
    const std::string shown = page();
    type("1X");
    EXPECT_EQ(g.sheet_member, 0);
    EXPECT_EQ(m.level, 2);
    EXPECT_EQ(m.crowns, 50);
    EXPECT_EQ(base_attributes(), after);
    EXPECT_EQ(page(), shown);
    type("q");
    EXPECT_EQ(g.location_step, REVIEW_SELECT);
}

TEST_F(Review, AMemberWhoCannotPayForTrainingDoesNotAdvance) {
    judged(FIGHTER, 1000);
    PartyMemberRec& m = corvath();
    m.crowns = 99;
    const PartyMemberRec before = m;
    type("a");
    EXPECT_TRUE(shows(" You cannot afford the training."));
    EXPECT_EQ(m, before);
}

TEST_F(Review, SpellsAreLearntReplacedAndUpgraded) {
    judged(MAGE, 1100);
    PartyMemberRec& m = corvath();
    m.spells_known[0] = 1; // Spark
    m.spells_known[1] = 5; // Glow
    type("a");
    EXPECT_TRUE(page_has("The spell 'Ward' is learnt."));
    EXPECT_TRUE(page_has("The spell 'Spark' is replaced by 'Flame'."));
    EXPECT_TRUE(page_has("The spell 'Glow' is upgraded."));
    EXPECT_FALSE(page_has("Hush"));
    EXPECT_EQ(m.spells_known[0], 2);
    EXPECT_EQ(m.spells_known[1], 6);
    EXPECT_EQ(m.spells_known[2], 3);
    EXPECT_EQ(m.spells_known[3], 0) << "the unknown spell was not replaced";
    // Vitality 10 and intelligence 10 give a Mage round(0.55 x 4) + 1 = 3 hit points and
    // round(0.55 x 8) = 4 mana, with or without the karma bonus.
    EXPECT_TRUE(page_has("This gains him 3 hitpoints and  4 mana."));
    EXPECT_EQ(m.max_magic_points, 4);
    EXPECT_EQ(m.magic_points, 4);
}

TEST_F(Review, TheRiseGoesToAnAttributeBelowItsMaximumOrToNone) {
    // Only karma can still rise.
    judged(FIGHTER, 1000);
    auto top = maxima();
    top[7] = static_cast<int16_t>(top[7] - 1);
    set_base_attributes(top);
    type("a");
    EXPECT_TRUE(page_has("Corvath improves his karma."));
    EXPECT_EQ(corvath().base_karma, maxima()[7]);

    // A Mage's class rolls raise intelligence, the only one left here.
    judged(MAGE, 1100);
    corvath().sex = 2;
    top = maxima();
    top[1] = static_cast<int16_t>(top[1] - 1);
    set_base_attributes(top);
    type("a");
    EXPECT_TRUE(page_has("Corvath improves her intelligence."));

    // Nothing can rise: the advance still ends, without an attribute point.
    judged(FIGHTER, 1000);
    set_base_attributes(maxima());
    type("a");
    EXPECT_EQ(corvath().level, 2);
    EXPECT_FALSE(page_has("improves"));
    EXPECT_EQ(base_attributes(), maxima());
}

TEST_F(Review, GrowingValuesSaturate) {
    judged(FIGHTER, 1000);
    PartyMemberRec& m = corvath();
    m.hit_points = m.max_hit_points = 32767;
    m.base_resistances.fill(32766);
    type("a");
    EXPECT_EQ(m.max_hit_points, 32767);
    EXPECT_EQ(m.hit_points, 32767);
    EXPECT_EQ(m.base_resistances[0], 32767);
}

TEST_F(Review, TheTopLevelIsTheEndOfAdvancement) {
    for (int level : {20, 25}) {
        Game& g = judged(FIGHTER, 2000000000, level);
        EXPECT_TRUE(page_has("'Corvath'You have reached your maximum level."))
            << "the board's words, as they are";
        EXPECT_TRUE(page_has("We are unable to advance you further.'"));
        EXPECT_FALSE(shows("  A.|Advance a Level."));
        type("a");
        EXPECT_EQ(g.location_step, REVIEW_JUDGEMENT) << level;
        EXPECT_EQ(corvath().level, level);
        type("l");
        EXPECT_EQ(g.location_step, REVIEW_SELECT);
    }
    // Level 20 short of experience is told what it needs, as any other.
    judged(FIGHTER, 0, 20);
    EXPECT_TRUE(page_has("you still require 524288000 experience"));
}

TEST_F(Review, UnlistedKeysDoNothingAndLeavingTurnsThePartyAbout) {
    Game& g = start(LOCATION_REVIEW);
    EXPECT_TRUE(shows("  A.|Corvath"));
    EXPECT_TRUE(shows("  L.|Leave the Review Board."));
    type("c");
    EXPECT_EQ(g.location_step, REVIEW_SELECT);
    corvath().experience = 1000;
    type("aq");
    EXPECT_EQ(g.location_step, REVIEW_JUDGEMENT);
    type("l");
    EXPECT_EQ(g.location_step, REVIEW_SELECT);

    // Facing east into the door, the party steps one column west and faces west.
    expect_leaving(7, 7, 1, 6, 7, 3);
}

} // namespace

} // namespace duskwend
