// The equipment shop: haggled prices, buying into the pack, offers, appraisal and
// identification, one action per key, and the way out.
#include "services_fixture.h"

#include "services/services.h"

namespace duskwend {

using namespace services_test;

namespace {

constexpr int DAGGER = 2, SWORD = 3, PEBBLE = 4, RING = 5, AMULET = 6, CURSE = 7;

class Shop : public ServicesTest {
  protected:
    Shop() {
        write_items({item("Potion", 10), item("Dagger", 20), item("Sword", 100), item("Pebble", 1),
                     item("Ring", 5), item("Amulet", 7)});
        ShopRec shop;
        shop.number = 1;
        shop.name = "Iron Anvil";
        shop.stock = {DAGGER, SWORD, 0, PEBBLE, 99}; // entry 4 names no item of the file
        write_shop(shop);
    }
    Game& enter() {
        Game& g = start(LOCATION_SHOP, 1);
        g.selected_member = 0;
        return g;
    }
    void buy(int entry) {
        game().selected_item = static_cast<int16_t>(entry);
        act(SHOP_BUY, sub_draw_shop);
    }
};

TEST_F(Shop, PricesFollowPersonalityAndNeverFallBelowNothing) {
    enter();
    type("ab");
    EXPECT_TRUE(shows(" Corvath has 1000 imperial crowns."));
    EXPECT_TRUE(shows("  A.|Dagger| 18"));
    EXPECT_TRUE(shows("  B.|Sword| 87"));
    EXPECT_TRUE(shows("  D.|Pebble| 1"));
    EXPECT_EQ(lines().size(), 7u) << "the empty entry and the unknown item are not listed";

    corvath().base_personality = 18; // 100 less a tenth and 1.71 tenths
    corvath().crowns = 1;
    type("rb");
    EXPECT_TRUE(shows(" Corvath has 1 imperial crown."));
    EXPECT_TRUE(shows("  B.|Sword| 73"));

    corvath().base_personality = 7;
    corvath().class_id = 7; // a Merchant haggles from nine tenths
    type("rb");
    EXPECT_TRUE(shows("  B.|Sword| 77"));

    // A personality this high would take more than the price off: the Sword is free, and
    // buying it brings no crowns.
    corvath().class_id = 0;
    corvath().base_personality = 45;
    type("rb");
    EXPECT_TRUE(shows("  B.|Sword| 0"));
    type("b");
    EXPECT_TRUE(shows(" Corvath has bought a Sword."));
    EXPECT_EQ(corvath().crowns, 1);
}

TEST_F(Shop, ItemsAClassCannotUseAreMarked) {
    std::vector<ItemRec> items = {item("Potion", 10), item("Dagger", 20)};
    items[1].usable_by[1] = 0; // not for Fighters
    write_items(items);
    enter();
    type("ab");
    EXPECT_TRUE(shows("  A.|! Dagger| 18"));
}

TEST_F(Shop, BoughtItemsStackOnlyOntoIdentifiedCopies) {
    enter();
    auto& pack = corvath().pack;
    pack[0] = {DAGGER, 1, 1};
    buy(0);
    EXPECT_TRUE(shows(" Corvath has bought a Dagger."));
    EXPECT_EQ(pack[0][PACK_QUANTITY], 2);
    EXPECT_EQ(corvath().crowns, 982);

    pack[0] = {DAGGER, 1, 0}; // not identified: a new identified stack starts
    buy(0);
    EXPECT_EQ(pack[0], (std::array<int16_t, 3>{DAGGER, 1, 0}));
    EXPECT_EQ(pack[1], (std::array<int16_t, 3>{DAGGER, 1, 1}));

    pack[0] = {0, 0, 0}; // an empty slot before the identified stack is taken first
    buy(0);
    EXPECT_EQ(pack[0], (std::array<int16_t, 3>{DAGGER, 1, 1}));
    EXPECT_EQ(pack[1][PACK_QUANTITY], 1);
    EXPECT_EQ(corvath().crowns, 1000 - 3 * 18);
}

TEST_F(Shop, AFullPackOrAShortPurseBuysNothing) {
    enter();
    auto& pack = corvath().pack;
    for (int k = 0; k <= 9; ++k) pack[k] = {RING, 1, 0};
    buy(0);
    EXPECT_TRUE(shows(" 'I'm sorry but it appears that you will not"));
    EXPECT_TRUE(shows(" be able to carry that item.'"));
    EXPECT_EQ(pack[10][PACK_ITEM], 0) << "slot 10 is never shown";
    EXPECT_EQ(corvath().crowns, 1000);

    pack[9] = {0, 0, 0};
    corvath().crowns = 17;
    buy(0);
    EXPECT_EQ(lines().back(), " 'Maybe there is something else you want.'");
    EXPECT_TRUE(shows(" 'I'm sorry, but you can't afford that item'"));
    EXPECT_EQ(pack[9][PACK_ITEM], 0);
    EXPECT_EQ(corvath().crowns, 17);
}

TEST_F(Shop, OffersRoundHalvesToEvenAndStayWithinTheirBounds) {
    struct Case {
        int item, personality, class_id, offer;
        const char* line;
    };
    // A tenth and 0.33 tenths, whole, plus half the price: 2.5 and 3.5 go to the even
    // neighbour; the Pebble's 0.5 becomes 0 and is raised to 1; at personality 30 the Sword's
    // 106 is capped at 100, and a Merchant gets a tenth more. An item priced below nothing
    // fetches nothing, never a loss.
    for (const Case& c :
         {Case{RING, 7, 0, 2, " ' OK I'll give you 2 imperial crowns for that.'"},
          Case{AMULET, 7, 0, 4, " ' OK I'll give you 4 imperial crowns for that.'"},
          Case{PEBBLE, 7, 0, 1, " ' OK I'll give you 1 imperial crown for that.'"},
          Case{SWORD, 7, 0, 63, " ' OK I'll give you 63 imperial crowns for that.'"},
          Case{SWORD, 30, 0, 100, nullptr}, Case{SWORD, 30, 7, 110, nullptr}}) {
        enter();
        corvath().base_personality = static_cast<int16_t>(c.personality);
        corvath().class_id = static_cast<int16_t>(c.class_id);
        corvath().pack[0] = {static_cast<int16_t>(c.item), 3, 1};
        type("asa");
        if (c.line) {
            EXPECT_TRUE(shows(c.line)) << c.item;
        }
        type("a");
        EXPECT_EQ(corvath().crowns, 1000 + c.offer) << c.item << " " << c.personality;
        EXPECT_EQ(corvath().pack[0][PACK_QUANTITY], 2) << "one of three sold leaves two";
    }
}

TEST_F(Shop, SellingTheLastOfAStackEmptiesTheSlot) {
    enter();
    corvath().pack[0] = {RING, 1, 1};
    type("asa");
    EXPECT_TRUE(shows(" ' Hum, a Ring."));
    type("a");
    EXPECT_TRUE(shows(" Corvath has sold a Ring."));
    EXPECT_EQ(corvath().pack[0][PACK_ITEM], 0);
    type("x");
    EXPECT_TRUE(shows(" ' I'm sorry Corvath but you have nothing to"));
    type("q");
    EXPECT_EQ(game().location_step, SHOP_OPTIONS) << "any key leaves an empty list";
}

TEST_F(Shop, AppraisalAndIdentificationChargeTheirQuotedFees) {
    enter();
    corvath().pack[0] = {SWORD, 1, 0};
    type("aaa");
    EXPECT_TRUE(shows(" ' Hum, you dont know what this is.'"));
    EXPECT_TRUE(shows(" ' OK I'll do it for 63 imperial crowns'"));
    EXPECT_TRUE(shows(" ' That'll cost you 6 imperial crowns'"));
    EXPECT_TRUE(shows("  I.|Identify Item."));

    corvath().crowns = 5;
    type("i");
    EXPECT_TRUE(shows(" 'I'm sorry, but you can't afford that item'"));
    EXPECT_EQ(corvath().pack[0][PACK_IDENTIFIED], 0);
    EXPECT_EQ(corvath().crowns, 5);

    corvath().crowns = 100;
    type("xai");
    EXPECT_TRUE(shows(" This is a Sword."));
    EXPECT_EQ(corvath().pack[0][PACK_IDENTIFIED], 1);
    EXPECT_EQ(corvath().crowns, 94);

    type("xa");
    EXPECT_TRUE(shows(" ' Hum, a Sword.'"));
    EXPECT_FALSE(shows("  I.|Identify Item."));
    type("i");
    EXPECT_EQ(game().location_step, SHOP_APPRAISE_OFFER) << "I does nothing for a known item";
    type("a");
    EXPECT_TRUE(shows(" Damage: 0D 0+ 0"));
    EXPECT_TRUE(shows(" Useable:True"));
    EXPECT_EQ(corvath().crowns, 94 - 63);
}

TEST_F(Shop, ASheetOpenedAndClosedOverAnActionDoesNotActAgain) {
    Game& g = enter();
    corvath().pack[0] = {RING, 3, 1};
    type("ab");
    type("a");
    const auto bought = runs();
    type("1X");
    EXPECT_EQ(g.sheet_member, 0);
    EXPECT_EQ(runs(), bought) << "the purchase is shown again";
    EXPECT_EQ(corvath().crowns, 982);
    EXPECT_EQ(corvath().pack[1][PACK_QUANTITY], 1);

    type("xrsaa");
    type("1X");
    EXPECT_EQ(corvath().crowns, 984);
    EXPECT_EQ(corvath().pack[0][PACK_QUANTITY], 2);
}

TEST_F(Shop, UnlistedKeysDoNothing) {
    Game& g = enter();
    type("b"); // no member B
    EXPECT_EQ(g.location_step, SHOP_SELECT);
    type("ab");
    for (const char* key : {"c", "e", "q", "1X"}) {
        type(key);
        EXPECT_EQ(g.location_step, SHOP_BUY_LIST) << key;
    }
    EXPECT_EQ(corvath().crowns, 1000);
    type("rsk"); // the pack has nothing in slot K
    EXPECT_EQ(g.location_step, SHOP_OPTIONS) << "an empty pack's list goes back on any key";
}

TEST_F(Shop, LeavingStepsBackOutOfTheDoorOnTheShopsMap) {
    Game& g = enter();
    expect_leaving(5, 6, 2, 5, 5, 0);
    EXPECT_EQ(g.map_rec.encounter_chance, -1) << "map 3 itself was loaded";
}

TEST_F(Shop, OffersRoundOnTheTrueValue) {
    struct Case {
        int price, personality, class_id, offer;
    };
    // Personality 8 (0.36): 150 gives 20 + 75 = 95, and a Merchant 95 x 1.1 = 104.5, so 104;
    // 88 gives 11 + 44 = 55, and a Merchant 60.5, so 60.
    const Case cases[] = {{150, 8, 7, 104}, {150, 8, 0, 95}, {88, 8, 7, 60}};
    for (const Case& c : cases) {
        write_items({item("Chain Shirt", c.price)});
        enter();
        corvath().base_personality = static_cast<int16_t>(c.personality);
        corvath().class_id = static_cast<int16_t>(c.class_id);
        corvath().pack[0] = {1, 1, 1};
        type("asaa");
        EXPECT_EQ(corvath().crowns, 1000 + c.offer) << c.price << " " << c.personality;
    }
}

} // namespace

} // namespace duskwend
