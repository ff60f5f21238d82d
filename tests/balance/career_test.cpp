// The career simulator's policies on tiny worlds built here: a party that can only get on by
// training, one that must rest to live, one that buys the weapon its unarmed members may use
// (and nothing they may not); a short run of `duskwend-balance career` that writes its
// figures; and the economy's writer of monster rewards.

#include "tools/balance/career.h"
#include "tools/balance/economy.h"
#include "tools/balance/session.h"

#include "core/datafiles.h"

#include "support/fixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace duskwend {

namespace fs = std::filesystem;

namespace {

struct Tiny {
    int experience = 0, crowns = 0; // what each rat is worth
    int to_hit = -100, damage = 0;  // a rat's attack roll bonus and damage sides
    bool staff_usable = true;       // the shop's one weapon may be used by everyone, or by none
    int hit_points = 1, armour = 0; // a rat's
    // Two wolves wait in a walled cell at (16, 26), reached by a teleport at (17, 27) and left
    // by one once they are beaten; rats come at every step, so the step onto the teleport
    // brings a random fight, and the key that leaves it carries the party into the wolves'.
    bool fixed_fight = false;
};

ItemRec item(int n, const char* name, int kind, int price) {
    ItemRec r;
    r.number = static_cast<int16_t>(n);
    r.name = name;
    r.plural_name = std::string(name) + "s";
    r.kind = static_cast<int16_t>(kind);
    r.price = static_cast<int16_t>(price);
    r.to_hit_percent = 100;
    r.usable_by.fill(-1);
    return r;
}

// One open field, rats at every fourth step, and around the guild hall door the shop, the
// Temple of Light and the review board; the shop sells a staff.
void write_tiny_world(const fs::path& dir, const Tiny& t) {
    fs::create_directories(dir);
    std::vector<ItemRec> items(15);
    items[0].number = 14;
    for (int n = 1; n <= 14; ++n) items[n] = item(n, "Trinket", 0, 1);
    items[1] = item(1, "Potion", 0, 10);
    items[1].use_effects[0] = {5, 0, 0};
    items[2] = item(2, "Dagger", 1, 10), items[2].damage_dice = 1, items[2].damage_sides = 4;
    items[3] = item(3, "Sword", 1, 60), items[3].damage_dice = 1, items[3].damage_sides = 8;
    items[9] = item(9, "Buckler", 8, 40), items[9].armour = 2;
    items[10] = item(10, "Shield", 8, 80), items[10].armour = 4;
    items[12] = item(12, "Jerkin", 7, 40), items[12].armour = 6;
    items[13] = item(13, "Mail", 7, 150), items[13].armour = 10;
    items[14] = item(14, "Staff", 1, 20), items[14].damage_dice = 2, items[14].damage_sides = 4;
    if (!t.staff_usable) items[14].usable_by.fill(0);
    fixture::write_slots(dir / ITEM_FILE, items, ITEM_SLOT);

    std::vector<MonsterRec> monsters(3);
    monsters[0].number = 2, monsters[0].name = "Base Record";
    MonsterRec& rat = monsters[1];
    rat.number = 1, rat.name = "Rat", rat.plural_name = "Rats", rat.picture = 1, rat.level = 1;
    rat.hit_dice = {0, 0, static_cast<int16_t>(t.hit_points)};
    rat.armour = static_cast<int16_t>(t.armour);
    rat.damage_dice = t.damage > 0 ? 1 : 0, rat.damage_sides = static_cast<int16_t>(t.damage);
    rat.to_hit = static_cast<int16_t>(t.to_hit);
    rat.crowns_dice = {0, 0, static_cast<int16_t>(t.crowns)};
    rat.experience_base = static_cast<int16_t>(t.experience);
    // The wolves of the fixed fight are rats by another name.
    monsters[2] = rat;
    monsters[2].number = 2, monsters[2].name = "Wolf", monsters[2].plural_name = "Wolves";
    fixture::write_slots(dir / MONSTER_FILE, monsters, MONSTER_SLOT);

    std::vector<ShopRec> shops(2);
    shops[0].number = 1;
    shops[1].number = 1, shops[1].name = "Stall", shops[1].stock = {14};
    fixture::write_slots(dir / SHOP_FILE, shops, SHOP_SLOT);
    fixture::write_slots(dir / SPELL_FILE, std::vector<SpellRec>(1), SPELL_SLOT);
    fixture::write_slots(dir / SPELL_PROGRESSION_FILE, std::vector<SpellProgressionRec>(1),
                         SPELL_PROGRESSION_SLOT);

    std::vector<MapRec> maps(1);
    MapRec& field = maps[0];
    field.encounter_chance = 24;
    field.encounters[0] = {1, 1, 1, 0, 0};
    field.events[0] = {2, 0, 16, 31, 0, 0, 0, 0, 0, 0, 0}; // the guild hall; out at (16, 30)
    field.events[1] = {2, 0, 12, 28, 1, 1, 0, 0, 0, 0, 0}; // the shop
    field.events[2] = {2, 0, 14, 28, 2, 0, 0, 0, 0, 0, 0}; // the Temple of Light
    field.events[3] = {2, 0, 18, 28, 3, 0, 0, 0, 0, 0, 0}; // the review board
    if (t.fixed_fight) {
        field.encounter_chance = 100;
        field.grid[16][26] = 0x00F;
        field.events[4] = {1, 0, 17, 27, 1, 16, 26, 0, 0, 0, 0};
        field.events[5] = {5, 0, 16, 26, 2, 2, 0, 0, 5, 2, 0}; // while flag 5 is clear
        field.events[6] = {6, 0, 16, 26, 5, 1, 1, 0, 0, 0, 0}; // won: flag 5 is set
        field.events[7] = {1, 0, 16, 26, 1, 17, 28, 0, 5, 1, 0};
    }
    fixture::write_slots(dir / MAP_FILE, maps, MAP_SLOT);
}

CareerRecord play(const Tiny& t, const fixture::TempDir& tmp) {
    write_tiny_world(tmp.path / "Data", t);
    CareerOptions o;
    o.data_dir = tmp.path / "Data";
    o.campaign = parse_campaign("[[stage]]\nname = \"Field\"\nmap = 1\nlevel = 2\n", "c.toml");
    o.key_limit = 20000;
    o.judging_trials = 4;
    return play_career(o, 5);
}

TEST(Career, PartiesTrainRestAndBuyWhenTheirWorldAsksIt) {
    const struct {
        const char* name;
        Tiny world;
        int min_advances, min_nights, min_purchases, max_purchases;
        std::size_t fixed_fights = 0; // fixed fights recorded, each won
    } cases[] = {
        // Harmless rats worth much: level 2 is only had by training, for the board's fee.
        {"must train", {400, 40}, 3, 0, 0, 99},
        // Tough rats that always bite and are worth little: many fights, too many to live
        // through without a night at the inn.
        {"must rest", {60, 12, 200, 3, true, 8, 40}, 3, 1, 0, 99},
        // The Cleric and the Mage set out unarmed: the staff is bought while training is still
        // far off, unless nobody may use it.
        {"must buy", {100, 40}, 3, 0, 1, 99},
        {"may not buy", {100, 40, -100, 0, false}, 3, 0, 0, 0},
        // The fixed fight that begins as a random one ends is a fight of its own.
        {"fixed after random", {400, 40, -100, 0, true, 1, 0, true}, 3, 0, 0, 99, 1},
    };
    for (const auto& c : cases) {
        fixture::TempDir tmp("career");
        const CareerRecord r = play(c.world, tmp);
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(r.completed) << r.end;
        EXPECT_GE(r.fights_to_first_training, 1);
        EXPECT_GE(r.advances, c.min_advances);
        EXPECT_GE(r.nights, c.min_nights);
        EXPECT_GE(r.purchases, c.min_purchases);
        EXPECT_LE(r.purchases, c.max_purchases);
        ASSERT_EQ(r.stages.size(), 1u);
        ASSERT_EQ(r.stages[0].fixed.size(), c.fixed_fights);
        for (const FixedFightRecord& f : r.stages[0].fixed) {
            EXPECT_TRUE(f.won);
            EXPECT_EQ(f.what, "2 Wolves");
            EXPECT_TRUE(f.final);
        }
        EXPECT_GE(r.stages[0].level, 2.0);
        EXPECT_GT(r.keys, r.fights * 3) << "a fight takes at least three keys";
    }
}

// A short run on the shipped world: the command runs and writes its figures.
TEST(Career, TheCommandWritesItsFigures) {
    fixture::TempDir tmp("career-run");
    const fs::path json = tmp.path / "career.json", png = tmp.path / "career.png";
    const std::string command =
        std::string(DUSKWEND_BALANCE_TOOL) +
        " career --trials 2 --jobs 2 --key-limit 1500 --judging-trials 2 --json " + json.string() +
        " --plot " + png.string() + " > " + (tmp.path / "out").string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(json);
    const nlohmann::json j = nlohmann::json::parse(in);
    EXPECT_EQ(j.at("trials"), 2);
    EXPECT_GE(j.at("completed").get<double>(), 0.0);
    EXPECT_LE(j.at("completed").get<double>(), 1.0);
    EXPECT_TRUE(j.at("fights_to_first_training").is_number());
    ASSERT_FALSE(j.at("stages").empty());
    EXPECT_EQ(j.at("stages")[0].at("name"), "The City");
    EXPECT_EQ(j.at("stages")[0].at("reached"), 2);
    for (const char* key : {"won", "median_level", "median_fights"})
        EXPECT_TRUE(j.at("stages")[0].at(key).is_number()) << key;
    const auto bytes = fixture::read_bytes(png);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
}

// The economy's writer sets the two reward lines of each monster, adding one a monster lacks,
// and leaves every other line alone.
TEST(Career, TheEconomyWriterChangesOnlyTheRewardLines) {
    fixture::TempDir tmp("economy");
    write_tiny_world(tmp.path / "Data", Tiny{});
    HeadlessGame hg(tmp.path / "Data", 1);
    sub_read_monster(hg.g, 1); // the rat; the wolf is the same beast
    const auto tuned = tuned_monster(hg.g.monster_rec);
    const std::string dice = "crowns_dice = [" + std::to_string(tuned.crowns_dice[0]) + ", " +
                             std::to_string(tuned.crowns_dice[1]) + ", " +
                             std::to_string(tuned.crowns_dice[2]) + "]";
    const std::string base = "experience_base = " + std::to_string(tuned.experience_base);
    const fs::path toml = tmp.path / "monsters.toml";
    std::ofstream(toml)
        << "# beasts\n[[monster]]  # a rat\nname = \"Rat\"\ncrowns_dice = [0, 0, 0]\n\n"
           "[[monster]]\nname = \"Wolf\"\nexperience_base = 1\nlevel = 1\n\n"
           "[monster.note]\ntext = 1\n";
    EXPECT_EQ(write_economy(hg.g, toml), 2);
    std::ifstream in(toml);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "# beasts\n[[monster]]  # a rat\nname = \"Rat\"\n" + dice + "\n" + base +
                        "\n\n[[monster]]\nname = \"Wolf\"\n" + base + "\nlevel = 1\n" + dice +
                        "\n\n[monster.note]\ntext = 1\n");
    EXPECT_EQ(write_economy(hg.g, toml), 0) << "a second run changes nothing";
}

// A monster is worth what its level asks, whatever its hit points: they pay at most half.
TEST(Career, TunedMonstersAreWorthTheirLevel) {
    const struct {
        int level, per_hit_point;
        std::array<int16_t, 3> hit_dice;
    } cases[] = {{1, 3, {1, 3, 0}}, {10, 96, {14, 10, 30}}, {8, 39, {12, 8, 12}}};
    for (const auto& c : cases) {
        MonsterRec m;
        m.level = static_cast<int16_t>(c.level);
        m.experience_per_hit_point = static_cast<int16_t>(c.per_hit_point);
        m.hit_dice = c.hit_dice;
        const double hit_points = c.hit_dice[0] * (c.hit_dice[1] + 1) / 2.0 + c.hit_dice[2];
        const TunedMonster t = tuned_monster(m);
        const int worth = level_reward(c.level).experience;
        EXPECT_LE(t.experience_per_hit_point, c.per_hit_point) << c.level;
        EXPECT_LE(t.experience_per_hit_point * hit_points, worth / 2.0) << c.level;
        EXPECT_NEAR(t.experience_base + t.experience_per_hit_point * hit_points, worth, 1.0)
            << c.level;
    }
}

} // namespace

} // namespace duskwend
