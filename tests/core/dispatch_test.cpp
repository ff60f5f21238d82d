// Start-up, the key-line editor and the two dispatchers.
#include "core/dispatch.h"
#include "core/game.h"
#include "screens/register_screens.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <utility>

namespace duskwend {

using fixture::press;
using fixture::StartedGame;

namespace {

// Records which key and draw procedures the dispatchers call, and what input_line held.
struct Routing {
    std::vector<std::string> calls;

    void install(Game& g) {
        const auto key = [this](const char* name) {
            return [this, name](Game& game) {
                calls.push_back(std::string(name) + "(" + game.input_line + ")");
            };
        };
        const auto draw = [this](const char* name) {
            return [this, name](Game&) { calls.push_back(name); };
        };
        using S = ScreenProcedures;
        const std::pair<std::function<void(Game&)> S::*, const char*> keys[] = {
            {&S::guild_hall_key, "guild"}, {&S::shop_key, "shop"},
            {&S::temple_key, "temple"},    {&S::review_board_key, "review"},
            {&S::combat_key, "combat"},    {&S::character_sheet_key, "sheet"}};
        for (const auto& [slot, name] : keys) g.screens.*slot = key(name);
        const std::pair<std::function<void(Game&)> S::*, const char*> draws[] = {
            {&S::draw_guild_hall, "draw guild"}, {&S::map_turn_events, "turn"},
            {&S::draw_city, "draw city"},        {&S::draw_shop, "draw shop"},
            {&S::draw_temple, "draw temple"},    {&S::draw_review_board, "draw review"},
            {&S::draw_combat, "draw combat"},    {&S::draw_character_sheet, "draw sheet"}};
        for (const auto& [slot, name] : draws) g.screens.*slot = draw(name);
        g.screens.city_key = [this](Game& game) {
            calls.push_back("city(" + game.input_line + ")");
            return -1;
        };
    }
    std::vector<std::string> take() { return std::exchange(calls, {}); }
};

using Calls = std::vector<std::string>;

class Dispatch : public ::testing::Test {
  protected:
    Dispatch() : dir("dispatch") {}
    fixture::SmallWorldDir dir;
};

// A started game whose screens are the routing's recorders.
class RoutedDispatch : public Dispatch {
  protected:
    RoutedDispatch() : s(dir.path), g(s.g) { r.install(g); }
    StartedGame s;
    Game& g;
    Routing r;
};

TEST_F(Dispatch, StartUpShowsTheTavernWithTheDefaultRosterAndAnEmptyParty) {
    StartedGame s(dir.path);
    const Game& g = s.g;
    EXPECT_EQ(g.Form1.mainPic.picture_name, "tavern.bmp");
    EXPECT_EQ(g.current_location, LOCATION_GUILD_HALL);
    EXPECT_EQ(g.keys_enabled, 1);
    EXPECT_EQ(g.upper_case_input, -1);
    EXPECT_EQ(g.quit_requested, 0);
    EXPECT_EQ(g.move_count, 0);
    for (const auto& m : g.party) EXPECT_EQ(m.in_use, 0);
    for (int e = 2; e <= 10; ++e) EXPECT_EQ(g.roster[e].in_use, 0);
}

TEST_F(Dispatch, DefaultRosterFieldByField) {
    StartedGame s(dir.path);
    using Row = std::array<int16_t, 3>;
    struct Expected {
        int16_t in_use;
        std::string name;
        int16_t class_id;
        int32_t experience;
        std::array<int16_t, 8> attributes;
        int16_t hit_points;
        std::array<int16_t, 6> resistances;
        Row right, left;
        int16_t body;
        std::array<int16_t, 5> thief_skills;
    };
    const Expected expected[] = {{1,
                                  "Corvath",
                                  0,
                                  1001,
                                  {16, 10, 9, 12, 14, 15, 9, 11},
                                  10,
                                  {0, 13, 13, 12, 12, 12},
                                  {3, 1, 0},
                                  {10, 1, 0},
                                  13,
                                  {0, 0, 0, 0, 0}},
                                 {2,
                                  "Tallow",
                                  1,
                                  1,
                                  {12, 8, 9, 16, 15, 14, 11, 13},
                                  6,
                                  {0, 10, 10, 10, 12, 12},
                                  {2, 1, 0},
                                  {9, 1, 0},
                                  12,
                                  {25, 30, 20, 30, 20}}};
    for (int e = 0; e < 2; ++e) {
        const CharacterRec& c = s.g.roster[e];
        const Expected& x = expected[e];
        SCOPED_TRACE(x.name);
        EXPECT_EQ(c.in_use, x.in_use);
        EXPECT_EQ(c.name.str(), x.name + std::string(20 - x.name.size(), ' '));
        EXPECT_EQ(c.class_id, x.class_id);
        EXPECT_EQ(c.experience, x.experience);
        EXPECT_EQ((std::array<int16_t, 8>{c.strength, c.intelligence, c.piety, c.dexterity, c.speed,
                                          c.vitality, c.personality, c.karma}),
                  x.attributes);
        EXPECT_EQ(c.hit_points, x.hit_points);
        EXPECT_EQ(c.max_hit_points, x.hit_points);
        EXPECT_EQ(c.resistances, x.resistances);
        EXPECT_EQ(c.right_hand, x.right);
        EXPECT_EQ(c.left_hand, x.left);
        EXPECT_EQ(c.body, x.body);
        EXPECT_EQ(c.thief_skills, x.thief_skills);
        // What both start with.
        EXPECT_EQ(c.sex, 1);
        EXPECT_EQ(c.level, 1);
        EXPECT_EQ(c.crowns, 100);
        EXPECT_EQ(c.bank, -100);
        EXPECT_EQ(c.race, 0);
        EXPECT_EQ(c.magic_points, 0);
        EXPECT_EQ(c.max_magic_points, 0);
        EXPECT_EQ(c.pack[0], (Row{1, 1, 0}));
        for (int slot = 1; slot < 11; ++slot) EXPECT_EQ(c.pack[slot], (Row{0, 0, 0}));
        for (int16_t spell : c.spells_known) EXPECT_EQ(spell, 0);
    }
}

TEST_F(Dispatch, DefaultRosterLeavesEntryTenAlone) {
    StartedGame s(dir.path);
    Game& g = s.g;
    g.roster[10].in_use = 4;
    g.roster[10].name = "Keeper";
    g.roster[5].in_use = 3;
    g.roster[5].strength = 18;
    g.game_flags[42] = 1;
    sub_set_default_roster(g);
    EXPECT_EQ(g.roster[10].in_use, 4);
    EXPECT_EQ(g.roster[10].name.trimmed(), "Keeper");
    EXPECT_EQ(g.roster[5].in_use, 0);
    EXPECT_EQ(g.roster[5].strength, 0);
    EXPECT_EQ(g.game_flags[42], 0);
}

TEST_F(RoutedDispatch, KeyLineEditor) {

    press(g, 'A', SHIFT_MASK);
    EXPECT_EQ(r.take(), (Calls{"guild(A)", "draw guild"})) << "Shift+A with upper-case input";
    g.upper_case_input = 0;
    press(g, 'A', SHIFT_MASK);
    press(g, 'A');
    EXPECT_EQ(r.take(), (Calls{"guild(a)", "draw guild", "guild(A)", "draw guild"}));
    g.upper_case_input = -1;
    press(g, '1', SHIFT_MASK);
    EXPECT_EQ(r.take(), (Calls{"guild(Q)", "draw guild"})) << "Shift+1 is the character 81";
    press(g, 'B', CTRL_MASK);
    EXPECT_EQ(r.take(), (Calls{"guild(B)", "draw guild"})) << "only Shift alone changes the code";
    press(g, VK_RETURN);
    EXPECT_EQ(r.take(), (Calls{"guild(\r)", "draw guild"}));

    int16_t code = VK_SHIFT;
    Form_KeyDown(g, code, SHIFT_MASK);
    EXPECT_EQ(code, 0) << "the ignored key is still consumed";
    press(g, VK_CAPITAL);
    EXPECT_EQ(r.take(), Calls{}) << "Shift and Caps Lock alone neither dispatch nor redraw";

    press(g, VK_BACK);
    EXPECT_EQ(g.backspace_pressed, -1);
    EXPECT_EQ(r.take(), (Calls{"guild()", "draw guild"})) << "Backspace on an empty line";
    press(g, VK_SHIFT);
    EXPECT_EQ(g.backspace_pressed, -1) << "Shift leaves backspace_pressed alone";
    press(g, VK_UP);
    EXPECT_EQ(g.backspace_pressed, 0);

    for (auto [key, letter] :
         {std::pair{VK_LEFT, "-"}, {VK_UP, "U"}, {VK_RIGHT, "+"}, {VK_DOWN, "D"}}) {
        r.take();
        press(g, key, SHIFT_MASK);
        EXPECT_EQ(r.take(), (Calls{std::string("guild(") + letter + ")", "draw guild"}));
    }
}

TEST_F(RoutedDispatch, KeysAreDroppedWhileDisabled) {
    g.keys_enabled = 0;
    int16_t code = 'A';
    Form_KeyDown(g, code, 0);
    EXPECT_EQ(code, 'A') << "passed on unchanged";
    EXPECT_EQ(r.take(), Calls{});
    g.keys_enabled = 2;
    press(g, 'A');
    EXPECT_EQ(r.take(), Calls{}) << "only exactly 1 enables keys";
}

TEST_F(RoutedDispatch, DigitsOpenTheSheetOfAMemberThatExists) {
    g.party[0].in_use = 1;
    g.party[1].in_use = 1;

    g.sheet_step = 4;
    press(g, '3');
    EXPECT_EQ(g.sheet_member, 0);
    EXPECT_EQ(g.sheet_step, 0);
    EXPECT_EQ(r.take(), Calls{"draw guild"}) << "a refused digit reaches no key procedure";

    for (char digit : {'8', '0'}) {
        press(g, digit);
        EXPECT_EQ(g.sheet_member, 0);
        EXPECT_EQ(r.take(), (Calls{std::string("guild(") + digit + ")", "draw guild"}));
    }

    press(g, '2');
    EXPECT_EQ(g.sheet_member, 2);
    EXPECT_EQ(r.take(), Calls{"draw sheet"});
    press(g, '1');
    EXPECT_EQ(g.sheet_member, 2) << "an open sheet takes every key";
    EXPECT_EQ(r.take(), (Calls{"sheet(1)", "draw sheet"}));
}

TEST_F(RoutedDispatch, CombatGetsEveryKeyAndDigitsOnlyOutsideSteps347) {
    g.party[0].in_use = 1;
    g.combat_active = -1;
    g.current_location = LOCATION_CITY;

    press(g, '1');
    EXPECT_EQ(g.sheet_member, 1);
    // The digit opened a sheet: a fight waiting for any key must not move on.
    EXPECT_EQ(r.take(), (Calls{"draw sheet"}));
    g.sheet_member = 0;

    for (int16_t step : {3, 4, 7}) {
        g.combat_step = step;
        press(g, '1');
        EXPECT_EQ(g.sheet_member, 0) << "step " << step;
        EXPECT_EQ(r.take(), (Calls{"combat(1)", "draw combat"}));
    }
    g.combat_step = 5;
    press(g, 'A');
    EXPECT_EQ(r.take(), (Calls{"combat(A)", "draw combat"}));

    // The render dispatcher draws combat for any non-zero value; the input dispatcher only
    // hands keys to combat for exactly -1.
    g.combat_active = 1;
    press(g, 'A');
    EXPECT_EQ(r.take(), (Calls{"city(A)", "turn", "draw combat"}));
}

TEST_F(RoutedDispatch, EachLocationGetsItsOwnProcedures) {
    const std::pair<int16_t, Calls> expected[] = {
        {LOCATION_GUILD_HALL, {"guild(X)", "draw guild"}},
        {LOCATION_CITY, {"city(X)", "turn", "draw city"}},
        {LOCATION_SHOP, {"shop(X)", "draw shop"}},
        {LOCATION_TEMPLE, {"temple(X)", "draw temple"}},
        {LOCATION_REVIEW, {"review(X)", "draw review"}},
        {5, {}},
        {-1, {}},
    };
    for (const auto& [location, calls] : expected) {
        g.current_location = location;
        press(g, 'X');
        EXPECT_EQ(r.take(), calls) << "location " << location;
        EXPECT_EQ(g.input_line, "") << "the line is cleared after every dispatch";
    }
}

TEST_F(RoutedDispatch, TheCityKeyResultDecidesTheTurnEvents) {
    g.current_location = LOCATION_CITY;
    g.screens.city_key = [&](Game&) {
        r.calls.push_back("city");
        return 0;
    };
    press(g, VK_UP);
    EXPECT_EQ(r.take(), (Calls{"city", "draw city"}));
}

TEST_F(RoutedDispatch, QuitSkipsTheRedraw) {
    g.screens.guild_hall_key = [&](Game& game) {
        r.calls.push_back("guild");
        game.quit_requested = 1;
    };
    press(g, 'Q');
    EXPECT_EQ(r.take(), Calls{"guild"});
}

TEST(Start, AGameWithoutItsScreensRefusesToStart) {
    Game g;
    EXPECT_THROW(Form_Load(g), std::logic_error);
    register_screens(g);
    g.screens.draw_combat = nullptr;
    EXPECT_THROW(Form_Load(g), std::logic_error) << "one slot missing is enough";
}

// core/ names no screen: slots a test empties after the start take keys and draws without
// acting, rather than failing.
TEST_F(Dispatch, ScreensLeftOutTakeKeysWithoutActing) {
    StartedGame s(dir.path);
    Game& g = s.g;
    g.screens = ScreenProcedures{};
    for (int16_t key : {int16_t('A'), VK_UP, VK_RETURN, int16_t('1')}) press(g, key);
    g.current_location = LOCATION_CITY;
    g.combat_active = -1;
    press(g, 'F');
    EXPECT_TRUE(g.input_line.empty());
    EXPECT_EQ(g.current_location, LOCATION_CITY);
    EXPECT_EQ(g.move_count, 0) << "no turn events without the city's key";
}

} // namespace

} // namespace duskwend
