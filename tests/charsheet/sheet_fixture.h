#pragma once
// A started game on the small world with a few more items and spells of the sheet's own,
// and a party the test fills in. Keys are typed through the real key-line editor.

#include "charsheet/character_sheet.h"
#include "core/dispatch.h"
#include "core/game.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace duskwend {

namespace sheet_test {

// Items after the small world's 13.
constexpr int GREATSWORD = 14, BLADE = 15, ROUND_SHIELD = 16, PLATE = 17, ELIXIR = 18, ROCK = 19,
              FIGHTERS_AXE = 20, SALVE = 21, TONIC = 22;
// Spells.
constexpr int MEND = 1, SPARK = 2, GLOW = 3, AID = 4, FIRST_RUNE = 5; // runes 5..15 on level 5

inline std::vector<ItemRec> sheet_items() {
    std::vector<ItemRec> items = fixture::small_world_items();
    const auto add = [&](const char* name, const char* plural, int kind) -> ItemRec& {
        ItemRec r;
        r.number = static_cast<int16_t>(items.size());
        r.name = name, r.plural_name = plural, r.kind = static_cast<int16_t>(kind);
        r.usable_by.fill(-1);
        items.push_back(r);
        return items.back();
    };
    add("Greatsword", "Greatswords", 2);
    add("Blade", "Blades", 1);
    add("Round Shield", "Round Shields", 8);
    add("Plate", "Plates", 7);
    add("Elixir", "Elixirs", 0).use_effects[3] = {5, 0, 3};
    add("Rock", "Rocks", 0);
    ItemRec& axe = add("Fighter Axe", "Fighter Axes", 1);
    axe.usable_by.fill(0);
    axe.usable_by[1] = -1; // Fighters only
    add("Salve", "Salves", 0).use_effects[0] = {5, 0, 1};
    add("Tonic", "Tonics", 0).use_effects[0] = {5, 0, 200};
    items[0].number = static_cast<int16_t>(items.size() - 1);
    return items;
}

inline std::vector<SpellRec> sheet_spells() {
    std::vector<SpellRec> spells(1);
    const auto add = [&](const std::string& name, int level, int target_type,
                         int mana) -> SpellRec& {
        SpellRec s;
        s.number = static_cast<int16_t>(spells.size());
        s.name = name, s.level = static_cast<int16_t>(level);
        s.target_type = static_cast<int16_t>(target_type);
        s.mana_cost = static_cast<int16_t>(mana);
        spells.push_back(s);
        return spells.back();
    };
    SpellRec& mend = add("Mend", 1, 0, 2);
    mend.success_base = 40, mend.success_per_level = 5;
    mend.description = "Closes wounds.\\NA second line.";
    add("Spark", 3, 3, 1);
    add("Glow", 0, 2, 0);
    add("Aid", 1, 1, 5);
    for (int k = 1; k <= 11; ++k) add("Rune " + std::to_string(k), 5, 0, 0);
    spells[0].number = static_cast<int16_t>(spells.size() - 1);
    return spells;
}

class SheetTest : public fixture::WorldTest {
  protected:
    SheetTest() : WorldTest("sheet") {
        fixture::write_slots(dir.path / ITEM_FILE, sheet_items(), ITEM_SLOT);
        fixture::write_slots(dir.path / SPELL_FILE, sheet_spells(), SPELL_SLOT);
        start_game();
    }

    // Members 1..count of the party: alive, in town, carrying nothing.
    void party_of(int count) {
        const char* names[] = {"Corvath", "Tallow", "Mirel", "Osk", "Brenna", "Ivo", "Ulla"};
        for (int m = 0; m < count; ++m) {
            PartyMemberRec& p = g().party[m];
            p = PartyMemberRec{};
            p.in_use = 1, p.name = names[m], p.level = 1, p.sex = 1;
            p.hit_points = p.max_hit_points = 10;
            for (int k = 0; k < ATTRIBUTE_COUNT; ++k) base_attribute(p, k) = 10;
        }
        sub_render_screen(g());
    }
    PartyMemberRec& member(int position) { return g().party[position - 1]; }
    void put(int position, int slot, int item, int quantity, int identified = 1) {
        member(position).pack[slot] = {int16_t(item), int16_t(quantity), int16_t(identified)};
    }
    void type(const std::string& keys) { fixture::type(g(), keys); }
    // Opens the sheet of a member on the page given and draws it.
    void open(int position, int step = SHEET_STATS) {
        g().sheet_member = static_cast<int16_t>(position);
        g().sheet_step = static_cast<int16_t>(step);
        sub_render_screen(g());
    }

    // The text runs of the column, trailing blanks removed.
    std::vector<TextRun> runs() const {
        std::vector<TextRun> out = started->g.Form1.Text.runs();
        for (TextRun& r : out) r.text.erase(r.text.find_last_not_of(' ') + 1);
        return out;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const TextRun& r : runs()) out.push_back(r.text);
        return out;
    }
    bool shows(const std::string& text) const {
        const auto t = texts();
        return std::find(t.begin(), t.end(), text) != t.end();
    }
    // The run with this text, or one with y = -1.
    TextRun run(const std::string& text) const {
        for (const TextRun& r : runs())
            if (r.text == text) return r;
        return TextRun{"", 0, -1, 0, false};
    }
    // The texts printed on one line, left to right as printed.
    std::string line_at(int y) const {
        std::string out;
        for (const TextRun& r : started->g.Form1.Text.runs())
            if (r.y == y) out += r.text;
        return out;
    }
};

} // namespace sheet_test

} // namespace duskwend
