// The sheet's four pages: statistics, equipment, resistances/effects/abilities and spells,
// their menus, and the keys that move between them.
#include "charsheet/character_sheet.h"

#include "core/class_rules.h"
#include "core/datafiles.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/output.h"
#include "core/rules.h"

#include <array>

namespace duskwend {

namespace {

// A label that ends at x, then its value straight after it, ending the line.
void labelled(Game& g, const std::string& label, int x, const std::string& value) {
    sub_print_right_aligned(g, label, x);
    text(g).print_line(value);
}

// A held item after its label: " " and the name for one, else the quantity and the plural.
std::string held_item_text(Game& g, int item, int quantity) {
    sub_read_item(g, item);
    if (quantity == 1) return " " + g.item_rec.name.str();
    return str_form(quantity) + " " + g.item_rec.plural_name.str();
}

void close_sheet(Game& g) {
    g.sheet_member = 0;
    g.sheet_step = SHEET_STATS;
}

std::string effect_line(int type, int s) {
    switch (type) {
    case EFFECT_REGENERATION:
        return "   Minor Regeneration";
    case EFFECT_BLESS:
        return "   Bless";
    case EFFECT_DISEASE: {
        static const std::array<const char*, 5> grades = {
            "   A Mild Disease", "   A Disease", "   A Nasty Disease", "   A Strong Disease",
            "   A Deadly Disease"};
        return s >= 0 && s <= 9 ? grades[s / 2] : "";
    }
    case EFFECT_BERSERK:
        return "   Berserk Rage";
    case EFFECT_HIDDEN:
        return "   Hidden in Shadows";
    case EFFECT_ARMOUR:
        return s > 0 ? "   Enhanced Armour" : "   Cursed Armour";
    case EFFECT_ATTACK:
        return s < 1 ? "   Cursed Attack" : "   Enhanced Attack";
    case EFFECT_SPEED:
        return s < 1 ? "   Slower" : "   Faster";
    case EFFECT_STRENGTH_CHANGE:
        return s < 1 ? "   Weaker" : "   Stronger";
    case EFFECT_CONFUSION:
        if (s > 75) return "   Utterly Confused";
        if (s > 50) return "   Very Confused";
        if (s < 26) return "   Slightly Confused";
        return "   Confused";
    default:
        return "";
    }
}

void print_thief_skills(Game& g, const PartyMemberRec& m, int backstab) {
    static const std::array<const char*, 5> skills = {
        "% chance to Identify Items", "% chance to Hide in Shadows", "% chance to Detect Traps",
        "% chance to Steal", "% chance to Pick Locks/Remove Traps"};
    for (int i = 0; i < 5; ++i) text(g).print_line("  " + str_form(m.thief_skills[i]) + skills[i]);
    text(g).print_line("   Backstab damage x" + str_form(backstab));
}

void print_abilities(Game& g, const PartyMemberRec& m) {
    PictureArea& t = text(g);
    const int level = m.level;
    switch (m.class_id) {
    case CLASS_FIGHTER:
    case CLASS_BERSERKER:
        t.print_line("   None");
        break;
    case CLASS_THIEF:
    case CLASS_MERCHANT:
        print_thief_skills(g, m, (level - 1) / class_rules(m.class_id).backstab_levels + 2);
        break;
    case CLASS_CLERIC:
        t.print_line("   Turn Undead");
        if (level >= 8)
            t.print_line("   Protection from Evil");
        else if (level >= 4)
            t.print_line("   Minor Protection from Evil");
        break;
    case CLASS_RANGER:
        t.print_line("   Improved attack and defense against animals");
        break;
    case CLASS_PALADIN:
        if (level < 6)
            t.print_line("   Minor Protection from Evil");
        else if (level < 12)
            t.print_line("   Protection from Evil");
        else
            t.print_line("   Protection from Evil 10' Radius");
        t.print_line("   Improved attack and defense against undead");
        break;
    default: // a Mage has no special ability
        break;
    }
}

} // namespace

void draw_stats_page(Game& g) {
    PictureArea& t = text(g);
    const int slot = sheet_slot(g);
    const PartyMemberRec& m = g.party[slot];
    labelled(g, "Level: ", 80, str_form(m.level));
    labelled(g, "Class: ", 80, sub_class_name(m.class_id));
    labelled(g, "Race: ", 80, sub_race_name(m.race) + (m.sex == 1 ? " Male" : " Female"));
    t.print_line();
    static const std::array<const char*, ATTRIBUTE_COUNT> labels = {
        "Strength:", "Intelligence:", "Piety:",       "Dexterity:",
        "Speed:",    "Vitality:",     "Personality:", "Karma:"};
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k) {
        sub_print_right_aligned(g, labels[k], 80);
        const int trend = sub_attribute_trend(g, k, slot);
        t.fore_colour = trend < 0 ? 12 : trend > 0 ? 2 : 0;
        sub_print_right_aligned(g, str_form(attribute(m, k)), 100);
        t.fore_colour = 0;
        t.print_line();
    }
    t.print_line();
    sub_print_right_aligned(g, "Hit Points:", 100);
    sub_print_right_aligned(g, str_form(m.hit_points) + " /", 125);
    t.print_line(str_form(m.max_hit_points));
    sub_print_right_aligned(g, "Magic Points:", 100);
    sub_print_right_aligned(g, str_form(m.magic_points) + " /", 125);
    t.print_line(str_form(m.max_magic_points));
    t.print_line();
    labelled(g, "Experience:", 100, str_form(m.experience));
    t.print_line();
    labelled(g, "Imperial Crowns:", 100, str_form(m.crowns));
    labelled(g, "Bank Account:", 100, str_form(m.bank));
    t.print_line();
}

bool draw_equipment_page(Game& g) {
    PictureArea& t = text(g);
    const PartyMemberRec& m = sheet_rec(g);
    bool shown = false;
    t.CurrentX = 0;
    t.CurrentY = 0;
    for (int i = 0; i < 3; ++i) t.print_line();
    sub_print_right_aligned(g, "Equipment", 120);
    t.print_line();
    t.print_line();
    t.print_line();

    if (m.body < 1) {
        labelled(g, "Body:", 100, " Nothing");
    } else {
        sub_read_item(g, m.body);
        labelled(g, "Body:", 100, " " + g.item_rec.name.str());
        shown = true;
    }
    int right_kind = 0;
    if (m.right_hand[0] < 1) {
        labelled(g, "Right Hand:", 100, " Empty");
    } else {
        labelled(g, "Right Hand:", 100, held_item_text(g, m.right_hand[0], m.right_hand[1]));
        right_kind = g.item_rec.kind;
        shown = true;
    }
    // A two-handed weapon leaves the left hand's line blank.
    if (m.left_hand[0] < 1) {
        labelled(g, "Left Hand:", 100, right_kind == ITEM_TWO_HANDED ? "" : " Empty");
    } else {
        labelled(g, "Left Hand:", 100, held_item_text(g, m.left_hand[0], m.left_hand[1]));
        shown = true;
    }
    for (int k = 0; k <= 9; ++k) {
        const auto& slot = m.pack[k];
        sub_print_right_aligned(g, str_form(k + 1) + ":", 100);
        if (slot[PACK_ITEM] < 1) {
            t.print_line();
            continue;
        }
        shown = true;
        sub_read_item(g, slot[PACK_ITEM]);
        if (!sheet_class_may_use(g, m.class_id)) t.print("!");
        const int quantity = slot[PACK_QUANTITY];
        if (slot[PACK_IDENTIFIED] != 0)
            t.print_line(quantity == 1 ? " " + g.item_rec.name.str()
                                       : str_form(quantity) + " " + g.item_rec.plural_name.str());
        else
            t.print_line(quantity == 1 ? " Unknown" : str_form(quantity) + " Unknowns");
    }
    t.print_line();
    t.print_line();
    return shown;
}

void draw_abilities_page(Game& g) {
    PictureArea& t = text(g);
    const PartyMemberRec& m = sheet_rec(g);
    t.print_line(" Resistances");
    t.print_line();
    static const std::array<const char*, 5> labels = {
        "Paralyzation, Poison, Death:", "Rod, Staff, Wand:", "Pertification, Polymorph:",
        "Breath Weapons:", "Spell:"};
    for (int k = 1; k <= 5; ++k) {
        sub_print_right_aligned(g, labels[k - 1], 140);
        sub_print_right_aligned(g, plain_form(m.resistances[k]) + "%", 180);
        t.print_line();
    }
    t.print_line();
    t.print_line(" Effects or Afflications");
    t.print_line();
    bool any = false;
    for (const auto& e : m.effects) {
        if (e[EFFECT_DURATION] == 0) continue;
        any = true;
        const std::string line = effect_line(e[EFFECT_TYPE], e[EFFECT_STRENGTH]);
        if (!line.empty()) t.print_line(line);
    }
    if (!any) t.print_line("   No Current Effects or Afflications in Action.");
    t.print_line();
    t.print_line(" Special Abilities");
    t.print_line();
    print_abilities(g, m);
}

void draw_spell_page(Game& g) {
    PictureArea& t = text(g);
    t.print_line(" Spells and Powers");
    t.print_line();
    const std::vector<int> spells = sheet_spells_on_shown_level(g);
    if (spells.empty()) return;
    const int level = g.spell_level_shown;
    if (level == 0)
        t.print_line(" Inherent Powers");
    else if (level >= 1 && level <= 9)
        t.print_line(" Level" + str_form(level) + " Powers");
    int n = 0;
    for (const int spell : spells) {
        sub_read_spell(g, spell);
        t.print_line(" " + str_form(++n) + ".  " + g.spell_rec.name.str());
    }
    t.print_line();
}

void draw_sheet_page_menu(Game& g) {
    const bool combat = sheet_in_combat(g);
    using Lines = std::vector<std::pair<std::string, std::string>>;
    Lines lines;
    switch (g.sheet_step) {
    case SHEET_EQUIPMENT:
        lines.emplace_back(" P.", " Previous Page.");
        if (sheet_carries_items(g) && !combat) {
            lines.emplace_back(" E.", " Equip/De-equip.");
            lines.emplace_back(" G.", " Give/Drop.");
            lines.emplace_back(" U.", " Use.");
        } else if (sheet_may_change_equipment_in_fight(g)) {
            lines.emplace_back(" E.", " Equip/De-equip (takes the round).");
        }
        lines.emplace_back(" N.", " Next Page.");
        break;
    case SHEET_ABILITIES:
        lines.emplace_back(" P.", " Prev Page.");
        if (sheet_rec(g).spells_known[0] != 0) lines.emplace_back(" N.", " Next Page.");
        break;
    case SHEET_SPELLS:
        if (!combat) lines.emplace_back(" C.", " Cast Spell.");
        lines.emplace_back(" D.", " Spell Description.");
        lines.emplace_back(" P.", " Prev Page.");
        if (sub_step_spell_level(g, sheet_slot(g), 1) > g.spell_level_shown)
            lines.emplace_back(" N.", " Next Page.");
        break;
    default:
        lines.emplace_back(" N.", " Next Page.");
        if (!combat) lines.emplace_back(" P.", " Pool Gold.");
        break;
    }
    lines.emplace_back(" X.", " Exit.");
    // What the last key did (an equipment change that took the round) stands above the menu.
    if (!g.sheet_notice.empty()) {
        PictureArea& t = text(g);
        t.CurrentX = 0;
        t.CurrentY = SHEET_MENU_BOTTOM - LINE_HEIGHT * (static_cast<int>(lines.size()) + 2);
        t.print_line(g.sheet_notice);
    }
    print_sheet_menu(g, lines);
}

void sheet_page_key(Game& g) {
    const std::string& key = g.input_line;
    const bool combat = sheet_in_combat(g);
    const int slot = sheet_slot(g);
    switch (g.sheet_step) {
    case SHEET_STATS:
        if (key == "X")
            g.sheet_member = 0; // the step stays on the statistics page
        else if (key == "P" && !combat)
            sub_pool_crowns(g, g.sheet_member);
        else if (key == "N")
            g.sheet_step = SHEET_EQUIPMENT;
        break;
    case SHEET_EQUIPMENT: {
        const bool commands = sheet_carries_items(g) && !combat;
        if (key == "P")
            g.sheet_step = SHEET_STATS;
        else if (key == "X")
            close_sheet(g);
        else if (key == "E" && (commands || sheet_may_change_equipment_in_fight(g)))
            g.sheet_step = SHEET_EQUIP;
        else if (key == "G" && commands)
            g.sheet_step = SHEET_GIVE_TO;
        else if (key == "U" && commands)
            g.sheet_step = SHEET_USE_WHAT;
        else if (key == "N")
            g.sheet_step = SHEET_ABILITIES;
        break;
    }
    case SHEET_ABILITIES:
        if (key == "N" && sheet_rec(g).spells_known[0] != 0) {
            g.sheet_step = SHEET_SPELLS;
            sub_lowest_spell_level(g, slot);
        } else if (key == "P") {
            g.sheet_step = SHEET_EQUIPMENT;
        } else if (key == "X") {
            close_sheet(g);
        }
        break;
    case SHEET_SPELLS:
        if (key == "C" && !combat) {
            g.sheet_step = SHEET_CAST_WHAT;
        } else if (key == "D") {
            g.sheet_step = SHEET_DESCRIBE_WHAT;
        } else if (key == "N") {
            g.spell_level_shown = sub_step_spell_level(g, slot, 1);
        } else if (key == "P") {
            const int16_t lower = sub_step_spell_level(g, slot, -1);
            if (lower == g.spell_level_shown)
                g.sheet_step = SHEET_ABILITIES;
            else
                g.spell_level_shown = lower;
        } else if (key == "X") {
            close_sheet(g);
        }
        break;
    default:
        break;
    }
}

} // namespace duskwend
