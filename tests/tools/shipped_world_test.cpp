// The compiled shipped world gives the game what it relies on: the starting characters'
// gear, the temple's wares, a guild hall door on map 1, and references that all resolve.

#include "test_support.h"

#include "tools/data/map_grid.h"

#include <map>
#include <set>

namespace duskwend {

namespace {

class ShippedWorld : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        Diagnostics diags;
        World w = load_content(DUSKWEND_CONTENT_DIR, diags);
        ASSERT_TRUE(diags.ok());
        // Read back from the compiled bytes, as the game would.
        ScratchDir tmp;
        ASSERT_EQ(write_data_files(w, tmp.path()), "");
        auto r = read_data_files(tmp.path());
        ASSERT_TRUE(r.errors.empty());
        world = new World(r.world);
    }
    static void TearDownTestSuite() { delete world; }
    static const ItemRec& item(int n) { return world->items.at(static_cast<std::size_t>(n - 1)); }
    static bool usable(const ItemRec& i, int class_id) {
        return is_on(i.usable_by[static_cast<std::size_t>(class_id + 1)]);
    }
    static World* world;
};
World* ShippedWorld::world = nullptr;

constexpr int FIGHTER = 0, THIEF = 1;

TEST_F(ShippedWorld, StartingCharactersCarryFittingGear) {
    EXPECT_EQ(item(1).use_effects[0][0], 5); // a healing potion
    EXPECT_EQ(item(1).use_effects[0][1], 0);
    for (auto [n, who] : {std::pair{2, THIEF}, std::pair{3, FIGHTER}}) {
        EXPECT_EQ(item(n).kind, 1) << n; // a one-handed weapon beside the left-hand item
        EXPECT_GT(item(n).to_hit_percent, 0) << n;
        EXPECT_GT(item(n).damage_dice * item(n).damage_sides, 0) << n;
        EXPECT_TRUE(usable(item(n), who)) << n;
    }
    for (auto [n, who] : {std::pair{9, THIEF}, std::pair{10, FIGHTER}}) {
        EXPECT_EQ(item(n).kind, 8) << n;
        EXPECT_TRUE(usable(item(n), who)) << n;
        EXPECT_GT(item(n).price, 0) << n; // sold at the Temple of Light
    }
    for (auto [n, who] : {std::pair{12, THIEF}, std::pair{13, FIGHTER}}) {
        EXPECT_EQ(item(n).kind, 7) << n;
        EXPECT_TRUE(usable(item(n), who)) << n;
        EXPECT_GT(item(n).armour, 0) << n;
    }
}

TEST_F(ShippedWorld, HeadersCountTheirEntries) {
    EXPECT_EQ(world->item_header.number, static_cast<int>(world->items.size()));
    EXPECT_EQ(world->monster_header.name.trimmed(), "Base Record");
    EXPECT_GE(world->items.size(), 40u);
    EXPECT_GE(world->monsters.size(), 30u);
    EXPECT_GE(world->spells.size(), 30u);
    EXPECT_GE(world->maps.size(), 8u);
    for (std::size_t k = 0; k < world->monsters.size(); ++k)
        EXPECT_EQ(world->monsters[k].picture, static_cast<int>(k + 1));
}

TEST_F(ShippedWorld, PartyStartsOnAnOpenStreetNorthOfTheGuildHall) {
    const MapRec& city = world->maps[0];
    int x = -1, y = -1;
    for (const auto& e : city.events)
        if (e[0] == 2 && e[4] == 0) x = e[2], y = e[3] - 1; // the last door decides
    ASSERT_GE(y, 0);
    // Walking south from the start square enters the door: its north side is passable.
    int door_side =
        side_type(city.grid[static_cast<std::size_t>(x)][static_cast<std::size_t>(y + 1)], NORTH);
    EXPECT_TRUE(door_side == 0 || door_side >= 6);
    // No event on the start square sends the party anywhere at once.
    for (const auto& e : city.events)
        if (e[2] == x && e[3] == y) {
            EXPECT_TRUE(e[0] != 1 && e[0] != 2 && e[0] != 5);
        }
}

TEST_F(ShippedWorld, EveryOtherMapSendsTheGuildHallToTheSameStart) {
    // The guild hall takes the start square from whichever map was loaded last.
    auto door = [](const MapRec& m) {
        std::pair<int, int> at{-1, -1};
        for (const auto& e : m.events)
            if (e[0] == 2 && e[4] == 0) at = {e[2], e[3]};
        return at;
    };
    for (const auto& m : world->maps) EXPECT_EQ(door(m), door(world->maps[0]));
}

TEST_F(ShippedWorld, TeleportsLeadBackAndLandOnOpenSquares) {
    for (std::size_t n = 0; n < world->maps.size(); ++n) {
        bool leads_elsewhere = false;
        for (const auto& e : world->maps[n].events) {
            if (e[0] != 1) continue;
            leads_elsewhere |= e[4] != static_cast<int>(n + 1);
            const MapRec& target = world->maps.at(static_cast<std::size_t>(e[4] - 1));
            // The landing square holds no teleport of its own, or the party would bounce.
            for (const auto& t : target.events)
                EXPECT_FALSE(t[0] == 1 && t[2] == e[5] && t[3] == e[6])
                    << "map " << n + 1 << " lands on a teleport";
        }
        EXPECT_TRUE(leads_elsewhere) << "map " << n + 1 << " has no way out";
    }
}

TEST_F(ShippedWorld, EncounterRowsAreFilledFromTheTopAndDangerRises) {
    // Along the campaign, each stage's map meets a stronger monster than the one before.
    Diagnostics diags;
    const CampaignSource campaign = load_campaign_source(DUSKWEND_CONTENT_DIR, diags);
    ASSERT_TRUE(diags.ok());
    ASSERT_EQ(campaign.stages.size(), world->maps.size());
    int previous = 0;
    for (const auto& stage : campaign.stages) {
        SCOPED_TRACE(stage.name);
        const auto& m = world->maps.at(static_cast<std::size_t>(stage.map - 1));
        int highest = 0;
        bool empty_seen = false;
        for (const auto& row : m.encounters) {
            if (row[0] == 0)
                empty_seen = true;
            else {
                EXPECT_FALSE(empty_seen);
                highest = std::max<int>(
                    highest, world->monsters.at(static_cast<std::size_t>(row[0] - 1)).level);
            }
        }
        EXPECT_GT(highest, previous);
        previous = highest;
    }
}

TEST_F(ShippedWorld, EachMapWearsTheWallsItsTextsDescribe) {
    // The wall pictures: 1 stone, 2 brick, 3 timber, 4 hedge, 5 iron gate (6, 7 passable).
    auto blocking = [](const MapRec& m) {
        std::map<int, int> sides;
        for (const auto& col : m.grid)
            for (int16_t v : col)
                for (int side = 0; side < 4; ++side)
                    if (int t = side_type(v, side); t >= 1 && t <= 5) ++sides[t];
        return sides;
    };
    const auto city = blocking(world->maps[0]);
    EXPECT_GT(city.at(4), 0); // the park's hedges
    EXPECT_EQ(city.at(5), 2); // the sealed iron door in Bone Alley, seen from both sides
    EXPECT_EQ(city.count(3), 0u);
    // The old dungeons are of one stone (old brick, crypt stone, tower masonry); the places
    // beyond wear the few their texts name: the Outskirts' hedges, stone, timber farms and the
    // adit's grate; the mines' rock, timber props and shaft gate; the undercroft's brick and
    // grotto rock; the summit's battlements, brick sanctum and sealed door.
    const std::pair<int, std::set<int>> maps[] = {{2, {2}},          {3, {1}},       {4, {2}},
                                                  {5, {1, 3, 4, 5}}, {6, {1, 3, 5}}, {7, {1, 2}},
                                                  {8, {1, 2, 5}}};
    for (const auto& [map, walls] : maps) {
        std::set<int> used;
        for (auto [type, sides] : blocking(world->maps.at(static_cast<std::size_t>(map - 1))))
            used.insert(type);
        EXPECT_EQ(used, walls) << "map " << map;
    }
}

TEST_F(ShippedWorld, EveryClassFindsAWeaponAndArmourAtEachStageOfTheCampaign) {
    // Price bands of the shops along the campaign: a class left without an equippable
    // weapon or body armour in a band cannot grow with the monsters of its stage.
    const std::pair<int, int> bands[] = {
        {1, 300}, {300, 1000}, {1000, 3000}, {3000, 7000}, {7000, 32767}};
    for (int class_id = 0; class_id < 8; ++class_id)
        for (auto [low, high] : bands) {
            bool weapon = false, armour = false;
            for (const ItemRec& i : world->items) {
                if (!usable(i, class_id) || i.price < low || i.price >= high) continue;
                weapon |= i.kind == 1 && i.damage_dice * i.damage_sides > 0;
                armour |= i.kind == 7 && i.armour > 0;
            }
            EXPECT_TRUE(weapon) << "class " << class_id << ", price " << low << " to " << high;
            EXPECT_TRUE(armour) << "class " << class_id << ", price " << low << " to " << high;
        }
}

TEST_F(ShippedWorld, TheCampaignsQuestItemsAndFinalFoeKeepTheirNumbers) {
    // The maps' quest steps and story texts name these by number.
    const char* quest[] = {"Iron Key", "Tarnished Seal", "Lantern of Wending", "Drowned Crown",
                           "Heartstone"};
    for (int n = 48; n <= 52; ++n) {
        EXPECT_EQ(item(n).name.trimmed(), quest[n - 48]) << n;
        EXPECT_EQ(item(n).kind, 0) << n;
    }
    EXPECT_EQ(world->monsters.at(55).name.trimmed(), "Morvaine the Hollow");
    // Only beasts (0) and undead (1) strike back; every campaign monster must fight.
    for (std::size_t k = 36; k < 56; ++k)
        EXPECT_LE(world->monsters.at(k).monster_type, 1) << "monster " << k + 1;
}

} // namespace

} // namespace duskwend
