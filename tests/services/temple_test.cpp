// The temples: healing, blessing and curing at their prices, the Temple of Light's wares, the
// quiet temples of Luck and Dark, one service per key, and the way out.
#include "services_fixture.h"

#include "services/services.h"

namespace duskwend {

using namespace services_test;

namespace {

constexpr int BUCKLER = 9;
using Slot = std::array<int16_t, 3>;

class Temple : public ServicesTest {
  protected:
    Temple() {
        std::vector<ItemRec> items(8, item("Trinket", 10));
        items.push_back(item("Buckler", 40));
        items.push_back(item("Shield", 80));
        items.push_back(item("Bauble", 10));
        items.push_back(item("Charm", 10));
        write_items(items);
    }
    // Corvath at the services of the temple (0 Light, 1 Luck, 2 Dark).
    Game& services(int temple = TEMPLE_OF_LIGHT) {
        Game& g = start(LOCATION_TEMPLE, temple);
        corvath().healing_mark = 1000;
        type("as");
        return g;
    }
};

// Personality 7 takes a tenth and 0.33 tenths off, whole: Bless 100 costs 87, a cure 434.
TEST_F(Temple, TheDeadPayForTheirLivesAndAreHealedInFull) {
    services();
    PartyMemberRec& m = corvath();
    m.level = 2, m.hit_points = 0, m.max_hit_points = 10, m.crowns = 606;
    type("r");
    type("s"); // 200 for the wounds and 500 for the life: 700 less 93
    EXPECT_TRUE(shows("  A.|Healing| 607"));
    EXPECT_TRUE(shows("  B.|Bless| 87"));
    EXPECT_TRUE(shows("  C.|Cure Afflication| 434"));
    type("a");
    EXPECT_TRUE(shows(" 'I'm sorry, but you can't afford that Service'"));
    EXPECT_EQ(m.hit_points, 0);
    EXPECT_EQ(m.crowns, 606);

    m.crowns = 607;
    type("xa");
    EXPECT_TRUE(shows(" Life returns to Corvath."));
    EXPECT_TRUE(shows(" Corvath is healed."));
    EXPECT_EQ(m.hit_points, 10);
    EXPECT_EQ(m.crowns, 0);

    // Below 0 a member is as dead: 15 points missing and the life, 800 less 106.
    m.hit_points = -5, m.crowns = 694;
    type("xa");
    EXPECT_TRUE(shows(" Life returns to Corvath."));
    EXPECT_EQ(m.hit_points, 10);
    EXPECT_EQ(m.crowns, 0);
}

TEST_F(Temple, AFirstHealingAtLevelOneCostsOneCrown) {
    services();
    PartyMemberRec& m = corvath();
    m.healing_mark = 0, m.hit_points = 5;
    type("rs");
    EXPECT_TRUE(shows("  A.|Healing| 1"));
    type("a");
    EXPECT_FALSE(shows(" Life returns to Corvath."));
    EXPECT_EQ(m.crowns, 999);
    EXPECT_EQ(m.healing_mark, 1000);
    m.hit_points = 5;
    type("x"); // 150 for 15 points, less 19
    EXPECT_TRUE(shows("  A.|Healing| 131"));
    m.hit_points = 20;
    type("rs");
    EXPECT_TRUE(shows("  A.|Healing| 0")) << "an unhurt member costs nothing";
}

TEST_F(Temple, AGreatHealingBillIsNotCutShort) {
    services();
    PartyMemberRec& m = corvath();
    m.level = 20, m.max_hit_points = 2000, m.hit_points = 1, m.crowns = 400000;
    type("a"); // 399800 less 53173
    EXPECT_EQ(m.crowns, 400000 - 346627);
    EXPECT_EQ(m.hit_points, 2000);
}

TEST_F(Temple, ABlessingTakesAFreeEffectSlotOrIsNotGiven) {
    services();
    PartyMemberRec& m = corvath();
    m.effects[0] = {5, EFFECT_DISEASE, 1};
    type("b");
    EXPECT_TRUE(shows(" Corvath has received a blessing."));
    EXPECT_EQ(m.effects[1], (Slot{200, EFFECT_BLESS, 2}));
    EXPECT_EQ(m.crowns, 913);

    for (auto& e : m.effects) e = {-1, EFFECT_ARMOUR, 1};
    type("xb");
    EXPECT_FALSE(shows(" Corvath has received a blessing."));
    EXPECT_EQ(m.crowns, 913);
}

TEST_F(Temple, ACureClearsEveryDiseaseAndIsPaidFor) {
    services();
    PartyMemberRec& m = corvath();
    m.effects[0] = {5, EFFECT_DISEASE, 3};
    m.effects[1] = {10, EFFECT_REGENERATION, 1};
    m.effects[4] = {-1, EFFECT_DISEASE, 1};
    m.crowns = 433;
    type("c");
    EXPECT_TRUE(shows(" 'I'm sorry, but you can't afford that Service'"));
    EXPECT_EQ(m.effects[0][EFFECT_DURATION], 5);

    m.crowns = 434;
    type("xc");
    EXPECT_EQ(m.effects[0], (Slot{0, 0, 0}));
    EXPECT_EQ(m.effects[4], (Slot{0, 0, 0}));
    EXPECT_EQ(m.effects[1], (Slot{10, EFFECT_REGENERATION, 1}));
    EXPECT_EQ(m.crowns, 0);
}

TEST_F(Temple, TheTempleOfLightSellsItsWaresIntoThePack) {
    start(LOCATION_TEMPLE, TEMPLE_OF_LIGHT);
    type("ab");
    EXPECT_TRUE(shows("  A.|Buckler| 35"));
    EXPECT_TRUE(shows("  B.|Shield| 70"));
    type("a");
    EXPECT_TRUE(shows(" ' May the light guide you.'"));
    EXPECT_TRUE(shows(" Corvath has bought a Buckler."));
    EXPECT_EQ(corvath().pack[0], (Slot{BUCKLER, 1, 0})) << "not identified, unlike the shop";
    type("xa");
    EXPECT_EQ(corvath().pack[0], (Slot{BUCKLER, 2, 0}));
    EXPECT_EQ(corvath().crowns, 930);

    for (int k = 0; k <= 9; ++k) corvath().pack[k] = {int16_t(k < 8 ? k + 1 : k + 3), 1, 0};
    type("xb");
    EXPECT_TRUE(shows(" be able to carry that item.'"));
    EXPECT_EQ(corvath().pack[10][PACK_ITEM], 0);
    EXPECT_EQ(corvath().crowns, 930);

    // An emptied slot keeps the flag it had.
    corvath().pack[0] = {0, 0, 1};
    game().selected_item = BUCKLER;
    act(TEMPLE_BUY, sub_draw_temple);
    EXPECT_EQ(corvath().pack[0], (Slot{BUCKLER, 1, 1}));
}

TEST_F(Temple, TheTemplesOfLuckAndDarkListNothingAndItsKeysDoNothing) {
    struct Case {
        int temple;
        const char *name, *greeting, *hello;
    };
    for (const Case& c :
         {Case{TEMPLE_OF_LUCK, "Temple of Luck", " You are approached by a jester of Luck.",
               " 'Hello Corvath' says the Jester."},
          Case{TEMPLE_OF_DARK, "Temple of Dark", " You are approached by shamen of Dark.",
               " 'Hello Corvath' says the Shamen."}}) {
        Game& g = start(LOCATION_TEMPLE, c.temple);
        EXPECT_EQ(lines()[0], c.name);
        EXPECT_TRUE(shows(std::string(" You stand in the ") + c.name + "."));
        EXPECT_TRUE(shows(c.greeting));
        type("a");
        EXPECT_TRUE(shows(c.hello));
        type("b");
        EXPECT_EQ(lines().back(), "  R.|Return.");
        EXPECT_EQ(lines().size(), 4u) << "nothing between the heading and Return";
        for (const char* key : {"a", "b"}) {
            type(key);
            EXPECT_EQ(g.location_step, TEMPLE_ITEM_LIST) << key;
        }
        type("rs");
        for (const char* key : {"a", "b", "c"}) {
            type(key);
            EXPECT_EQ(g.location_step, TEMPLE_SERVICE_LIST) << key;
        }
        EXPECT_EQ(corvath().crowns, 1000);
        EXPECT_EQ(corvath().pack[0][PACK_ITEM], 0);
    }
}

TEST_F(Temple, ASheetOpenedAndClosedOverAHealingDoesNotHealAgain) {
    Game& g = services();
    corvath().hit_points = 5; // 131 crowns
    type("a");
    EXPECT_EQ(corvath().hit_points, 20);
    corvath().hit_points = 5;
    type("1X");
    EXPECT_EQ(g.sheet_member, 0);
    EXPECT_EQ(corvath().hit_points, 5);
    EXPECT_EQ(corvath().crowns, 869);
    EXPECT_TRUE(shows(" Corvath is healed.")) << "the healing is shown again";
}

TEST_F(Temple, LeavingStepsBackOutOfTheDoorTurnedAbout) {
    Game& g = start(LOCATION_TEMPLE, TEMPLE_OF_LIGHT);
    type("q"); // not a key of the first step
    EXPECT_EQ(g.current_location, LOCATION_TEMPLE);
    expect_leaving(4, 5, 3, 5, 5, 1);
}

} // namespace

} // namespace duskwend
