#pragma once
// A started game whose party of one stands in a building the test chooses, with items,
// spells and spell progression the test writes itself.

#include "core/dispatch.h"
#include "core/game.h"
#include "core/one_time_step.h"
#include "services/services.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace duskwend {

namespace services_test {

// An item with a name, a price and nothing else.
inline ItemRec item(const std::string& name, int price) {
    ItemRec i;
    i.name = name;
    i.plural_name = name + "s";
    i.price = static_cast<int16_t>(price);
    i.usable_by.fill(-1);
    return i;
}

class ServicesTest : public fixture::WorldTest {
  protected:
    ServicesTest() : WorldTest("services") {}

    // Item.dat with items 1, 2, ... as given (entry 0, the header, counts them).
    void write_items(std::vector<ItemRec> items) {
        items.insert(items.begin(), ItemRec{});
        items[0].number = static_cast<int16_t>(items.size() - 1);
        for (std::size_t n = 1; n < items.size(); ++n) items[n].number = int16_t(n);
        fixture::write_slots(dir.path / ITEM_FILE, items, ITEM_SLOT);
    }
    void write_shop(const ShopRec& shop) {
        std::vector<ShopRec> shops(2);
        shops[0].number = 1;
        shops[1] = shop;
        fixture::write_slots(dir.path / SHOP_FILE, shops, SHOP_SLOT);
    }

    // One member, Corvath, a level-1 Fighter with personality 7 (a factor of 0.33) and all
    // other attributes 10, standing in `location` (building `building`) at its first step.
    Game& start(int location, int building = 0) {
        Game& g = start_game();
        PartyMemberRec& m = g.party[0];
        m.in_use = 1;
        m.name = "Corvath";
        m.sex = 1;
        m.level = 1;
        m.crowns = 1000;
        for (int k = 0; k < ATTRIBUTE_COUNT; ++k) base_attribute(m, k) = 10;
        m.base_personality = 7;
        m.hit_points = m.max_hit_points = 20;
        // A sheet opened with a digit closes with X and shows nothing of its own.
        g.screens.character_sheet_key = [](Game& game) {
            if (game.input_line == "X") game.sheet_member = 0;
        };
        g.screens.draw_character_sheet = [](Game& game) { game.Form1.Text.Cls(); };
        g.current_location = static_cast<int16_t>(location);
        g.building_number = static_cast<int16_t>(building);
        g.location_step = 0;
        g.map_level = 1;
        sub_render_screen(g);
        return g;
    }

    // From (x, y) of map 3, the small world's map of buildings, facing `facing`, L leaves the
    // building: the party stands in the city at (to_x, to_y) facing `to_facing`.
    void expect_leaving(int x, int y, int facing, int to_x, int to_y, int to_facing) {
        Game& g = started->g;
        g.map_level = 3;
        g.party_x = static_cast<int16_t>(x), g.party_y = static_cast<int16_t>(y);
        g.party_facing = static_cast<int16_t>(facing);
        type("l");
        EXPECT_EQ(g.current_location, LOCATION_CITY);
        EXPECT_EQ(g.map_level, 3);
        EXPECT_EQ(g.party_x, to_x);
        EXPECT_EQ(g.party_y, to_y);
        EXPECT_EQ(g.party_facing, to_facing);
    }

    Game& game() { return started->g; }
    PartyMemberRec& corvath() { return started->g.party[0]; }
    void type(const std::string& keys) { fixture::type(started->g, keys); }

    // Draws `step` of the screen as the key that chose it would, without the render's tidying
    // of the pack first.
    void act(int step, void (*draw)(Game&)) {
        Game& g = started->g;
        g.location_step = static_cast<int16_t>(step);
        sub_key_reached_screen(g);
        draw(g);
    }

    // The text column, one string per printed line: the runs of the line without their
    // trailing blanks, joined by "|" ("  A.|Dagger| 18").
    std::vector<std::string> lines() const {
        std::map<int, std::string> by_y;
        for (const TextRun& r : started->g.Form1.Text.runs()) {
            std::string t = r.text;
            t.erase(t.find_last_not_of(' ') + 1);
            if (t.empty()) continue;
            std::string& line = by_y[r.y];
            line += (line.empty() ? "" : "|") + t;
        }
        std::vector<std::string> out;
        for (const auto& [y, s] : by_y) out.push_back(s);
        return out;
    }
    bool shows(const std::string& line) const {
        for (const std::string& l : lines())
            if (l == line) return true;
        return false;
    }
    // The text shown, whole, for comparing two repaints.
    std::vector<TextRun> runs() const { return started->g.Form1.Text.runs(); }
};

} // namespace services_test

} // namespace duskwend
