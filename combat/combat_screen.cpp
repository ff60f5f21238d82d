// The combat screen: the monster picture and heading of every step, what the party faces,
// and the choice of one action per member (attack, berserker rage, a spell and its target,
// defend, hide, an item and its target) up to the summary that begins the round. The round
// and the end of the fight are keyed and drawn by combat/combat_end.cpp.
#include "combat/combat.h"
#include "core/any_key.h"
#include "core/class_rules.h"
#include "core/datafiles.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/output.h"
#include "core/pictures.h"
#include "core/rules.h"
#include "core/typed_keys.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace duskwend {

namespace {

// The member choosing; combat_member is MAX_PARTY once everybody has chosen, still a party
// slot.
int member(const Game& g) {
    return std::clamp<int>(g.combat_member, 0, PARTY_SIZE - 1);
}

std::array<int16_t, 4>& action(Game& g) {
    return g.combat_actions[member(g)];
}

bool group_alive(const Game& g, int grp) {
    return grp >= 0 && grp < MONSTER_GROUP_COUNT && g.monster_groups[grp].monster > 0 &&
           g.monster_groups[grp].count > 0;
}

// The monster of a group, its record fetched; false when the group has none.
bool read_group_monster(Game& g, int grp) {
    if (grp < 0 || grp >= MONSTER_GROUP_COUNT || g.monster_groups[grp].monster <= 0) return false;
    sub_read_monster(g, g.monster_groups[grp].monster);
    return true;
}

// ---------------------------------------------------------------------------------------
// Printing

// The singular name for one monster, the plural for more, both as stored (20 characters).
std::string group_name(Game& g, int grp) {
    read_group_monster(g, grp);
    return g.monster_groups[grp].count < 2 ? g.monster_rec.name.str()
                                           : g.monster_rec.plural_name.str();
}

void print_group_lines(Game& g) {
    for (int grp = 0; grp < MONSTER_GROUP_COUNT; ++grp)
        if (group_alive(g, grp))
            text(g).print_line("  " + str_form(g.monster_groups[grp].count) + " " +
                               group_name(g, grp));
}

// Lettered lines of the groups 0..last that can be chosen.
void print_lettered_groups(Game& g, int last) {
    for (int grp = 0; grp <= last; ++grp)
        if (group_alive(g, grp))
            print_menu_line(g, std::string("  ") + char('A' + grp) + ".", group_name(g, grp));
}

void print_member_heading(Game& g) {
    PictureArea& t = text(g);
    t.print_line();
    t.bold = true;
    t.print_line("   " + g.party[member(g)].name.str());
    t.bold = false;
    t.print_line();
}

// Party members that can be chosen as a target, by digit: slots with in_use of 1 or more.
void print_member_targets(Game& g) {
    for (int s = 0; s < PARTY_SIZE; ++s)
        if (g.party[s].in_use >= 1)
            print_menu_line(g, " " + str_form(s + 1) + ".", g.party[s].name);
}

// The targets of an item or a spell for one: groups A to C, then the members, then Exit.
void print_target_menu(Game& g) {
    print_lettered_groups(g, 2);
    text(g).print_line();
    print_member_targets(g);
    text(g).print_line();
    print_menu_line(g, "  X.", "Exit.");
}

// The slot a digit names when that slot is listed as a target, else -1.
int listed_member(const Game& g) {
    const int d = key_digit(g.input_line);
    if (d < 1 || d > PARTY_SIZE) return -1;
    return g.party[d - 1].in_use >= 1 ? d - 1 : -1;
}

// Everyone up to this member has chosen: the next living member chooses, or the summary
// follows when there is none.
void next_member(Game& g) {
    g.combat_member = static_cast<int16_t>(sub_next_able_member(g, g.combat_member));
    g.combat_step = g.combat_member == MAX_PARTY ? COMBAT_SUMMARY : COMBAT_ACTION_MENU;
}

void choose(Game& g, int code, int object) {
    action(g)[0] = static_cast<int16_t>(code);
    action(g)[1] = static_cast<int16_t>(object);
}

// ---------------------------------------------------------------------------------------
// The encounter screen

void draw_encounter(Game& g) {
    PictureArea& t = text(g);
    t.print_line(" You have encountered the Enemy in the form of :");
    print_group_lines(g);
    t.print_line();
    t.print_line();
    t.print_line(" Do you wish to :");
    print_menu_line(g, "  A.", "Assign Actions.");
    print_menu_line(g, "  Q.", "Quick Attack.");
    print_menu_line(g, "  F.", "Flee.");
}

void encounter_key(Game& g) {
    const std::string& k = g.input_line;
    if (k == "A") {
        g.combat_member = 0;
        g.combat_step = COMBAT_ACTION_MENU;
    } else if (k == "Q") {
        g.combat_step = COMBAT_SUMMARY;
    } else if (k == "F") {
        sub_combat_flee(g);
    }
}

// ---------------------------------------------------------------------------------------
// The action menu

void rebuild_allowed(Game& g) {
    const int m = member(g);
    const PartyMemberRec& p = g.party[m];
    auto& allowed = g.action_allowed;
    allowed.fill(0);
    // Only the first four party slots can fight in melee.
    if (m < 4) allowed[ALLOW_ATTACK] = 1;
    allowed[ALLOW_DEFEND] = 1;
    allowed[ALLOW_USE_ITEM] = 1;
    const ClassRules& rules = class_rules(p.class_id);
    if (rules.may_hide) allowed[ALLOW_HIDE] = 1;
    if (rules.berserker) allowed[ALLOW_BERSERK] = 1;
    if (std::any_of(p.spells_known.begin(), p.spells_known.end(), [](int16_t s) { return s != 0; }))
        allowed[ALLOW_CAST] = 1;
    for (const auto& e : p.effects) {
        if (e[EFFECT_DURATION] == 0) continue;
        if (e[EFFECT_TYPE] == EFFECT_BERSERK) allowed.fill(-1);
        if (e[EFFECT_TYPE] == EFFECT_HIDDEN) {
            allowed[ALLOW_HIDE] = 0;
            allowed[ALLOW_ATTACK] = 1; // a hidden member may attack from any slot
        }
    }
    if (p.hit_points == 0) allowed.fill(0);
}

std::string current_action_text(Game& g) {
    auto& a = action(g);
    std::string s;
    switch (a[0]) {
    case ACTION_ATTACK:
        // An attack on a group that has gone is a defence.
        if (read_group_monster(g, a[1])) {
            s = "Attacking " + g.monster_rec.name.str();
        } else {
            s = "Defending";
            a[0] = ACTION_DEFEND;
        }
        break;
    case ACTION_USE_ITEM: {
        sub_read_item(g, a[1]);
        s = "Using " + g.item_rec.name.trimmed();
        if (a[2] < 0) {
            const int target = -a[2] - 1;
            if (target == member(g))
                s += ".";
            else if (target < PARTY_SIZE)
                s += " on " + g.party[target].name.str() + ".";
        }
        break;
    }
    case ACTION_CAST:
        if (spell_exists(g, a[1])) sub_read_spell(g, a[1]);
        s = "Casting " + (spell_exists(g, a[1]) ? g.spell_rec.name.trimmed() : "") + ".";
        break;
    case ACTION_HIDE:
        s = g.action_allowed[ALLOW_HIDE] != 0 ? "Trying to hide in Shadows" : "Hiding in Shadows";
        break;
    default:
        s = "Defending";
        break;
    }
    if (g.action_allowed[ALLOW_ATTACK] == -1) s = "Berserking";
    return s;
}

void draw_action_menu(Game& g) {
    rebuild_allowed(g);
    PictureArea& t = text(g);
    const auto& allowed = g.action_allowed;
    print_member_heading(g);
    t.print_line(" You face:");
    print_group_lines(g);
    t.print_line();
    t.print(" Current Action: ");
    t.print_line(current_action_text(g));
    t.print_line();
    t.print_line(" Do you want to :");
    if (allowed[ALLOW_ATTACK] == 1) print_menu_line(g, "  A.", "Attack.");
    if (allowed[ALLOW_BERSERK] == 1) print_menu_line(g, "  B.", "Berserker Rage.");
    if (allowed[ALLOW_CAST] == 1) print_menu_line(g, "  C.", "Cast Spell.");
    if (allowed[ALLOW_DEFEND] == 1) print_menu_line(g, "  D.", "Defend.");
    if (allowed[ALLOW_ATTACK] >= 0) print_menu_line(g, "  E.", "Equipment Change.");
    if (allowed[ALLOW_HIDE] == 1) print_menu_line(g, "  H.", "Hide in Shadows.");
    print_menu_line(g, "  N.", "No Change.");
    if (allowed[ALLOW_USE_ITEM] == 1) print_menu_line(g, "  U.", "Use Item.");
}

void attack_key(Game& g) {
    int groups = static_cast<int>(std::count_if(g.monster_groups.begin(), g.monster_groups.end(),
                                                [](const auto& m) { return m.count > 0; }));
    // The fourth slot reaches the front group only.
    if (g.combat_member == 3 && groups > 1) groups = 1;
    if (groups < 2) {
        choose(g, ACTION_ATTACK, 0);
        next_member(g);
    } else {
        g.combat_step = COMBAT_ATTACK_WHICH;
    }
}

void berserk_key(Game& g) {
    choose(g, ACTION_ATTACK, 0);
    for (auto& e : g.party[member(g)].effects) {
        if (e[EFFECT_DURATION] != 0) continue;
        e = {-2, EFFECT_BERSERK, 1}; // until the end of the fight
        break;
    }
    next_member(g);
}

void action_menu_key(Game& g) {
    const std::string& k = g.input_line;
    const auto& allowed = g.action_allowed;
    if (k == "A" && allowed[ALLOW_ATTACK] == 1) {
        attack_key(g);
    } else if (k == "B" && allowed[ALLOW_BERSERK] == 1) {
        berserk_key(g);
    } else if (k == "C" && allowed[ALLOW_CAST] == 1) {
        sub_lowest_spell_level(g, member(g));
        g.combat_step = COMBAT_CAST_WHAT;
    } else if (k == "D" && allowed[ALLOW_DEFEND] == 1) {
        action(g)[0] = ACTION_DEFEND;
        next_member(g);
    } else if (k == "E" && allowed[ALLOW_ATTACK] >= 0 && g.party[member(g)].in_use > 0) {
        // The member's equipment page opens over the fight; closing it shows this menu again.
        g.sheet_member = static_cast<int16_t>(member(g) + 1);
        g.sheet_step = SHEET_EQUIPMENT;
    } else if (k == "H" && allowed[ALLOW_HIDE] == 1) {
        action(g)[0] = ACTION_HIDE;
        next_member(g);
    } else if (k == "N") {
        next_member(g);
    } else if (k == "U" && allowed[ALLOW_USE_ITEM] == 1) {
        g.combat_step = COMBAT_USE_WHAT;
    }
}

// ---------------------------------------------------------------------------------------
// Attack which group

// The fourth slot reaches the front group only; the first three reach groups A to C.
int last_attackable_group(const Game& g) {
    return g.combat_member == 3 ? 0 : 2;
}

void draw_attack_which(Game& g) {
    print_member_heading(g);
    text(g).print_line();
    text(g).print_line(" Attack which group:");
    print_lettered_groups(g, last_attackable_group(g));
}

void attack_which_key(Game& g) {
    const int grp = typed_letter(g);
    if (grp >= 0 && grp <= last_attackable_group(g) && group_alive(g, grp)) {
        choose(g, ACTION_ATTACK, grp);
        next_member(g);
    }
}

// ---------------------------------------------------------------------------------------
// Using an item

// One item with its quantity: the name for one, else the quantity and the plural name.
std::string carried_item(Game& g, int item, int quantity) {
    sub_read_item(g, item);
    if (quantity == 1) return g.item_rec.name.str() + " ";
    return str_form(quantity) + " " + g.item_rec.plural_name.str();
}

void draw_use_what(Game& g) {
    PictureArea& t = text(g);
    const PartyMemberRec& p = g.party[member(g)];
    t.CurrentY = 0;
    t.print_line();
    t.print_line();
    print_member_heading(g);
    sub_print_right_aligned(g, "Equipment", 120);
    t.print_line();
    t.print_line();
    t.print_line();
    sub_print_right_aligned(g, "Body:", 100);
    if (p.body >= 1) {
        sub_read_item(g, p.body);
        t.print_line(g.item_rec.name.str() + " ");
    } else {
        t.print_line(" Nothing");
    }
    const auto hand = [&](const char* label, const std::array<int16_t, 3>& h) {
        sub_print_right_aligned(g, label, 100);
        t.print_line(h[0] >= 1 ? carried_item(g, h[0], h[1]) : std::string());
    };
    hand("Right Hand:", p.right_hand);
    hand("Left Hand:", p.left_hand);
    for (int k = 0; k <= 9; ++k) {
        sub_print_right_aligned(g, plain_form(k + 1) + ":", 100);
        const auto& slot = p.pack[k];
        t.print_line(slot[PACK_ITEM] >= 1 ? carried_item(g, slot[PACK_ITEM], slot[PACK_QUANTITY])
                                          : std::string());
    }

    std::string keys;
    const auto add = [&](const std::string& key) { keys += (keys.empty() ? "" : ",") + key; };
    if (p.left_hand[0] >= 1) add(" L");
    if (p.right_hand[0] >= 1) add(" R");
    if (p.body >= 1) add(" B");
    for (int k = 0; k <= 9; ++k)
        if (p.pack[k][PACK_ITEM] >= 1) add(str_form((k + 1) % 10));
    t.CurrentY = 322;
    t.CurrentX = 0;
    if (!keys.empty()) {
        t.fore_colour = 1;
        t.print(keys + ".");
        t.fore_colour = 0;
        t.print_line(" Use What.");
    }
    print_menu_line(g, " X.", "Exit.");
}

void use_what_key(Game& g) {
    const PartyMemberRec& p = g.party[member(g)];
    const std::string& k = g.input_line;
    int item = 0;
    if (k == "X") {
        g.combat_step = COMBAT_ACTION_MENU;
        return;
    }
    if (k == "B") item = p.body;
    if (k == "L") item = p.left_hand[0];
    if (k == "R") item = p.right_hand[0];
    if (const int slot = key_pack_slot(k); slot >= 0) item = p.pack[slot][PACK_ITEM];
    if (item < 1) return;
    g.combat_chosen_item = static_cast<int16_t>(item);
    sub_check_combat_item(g, member(g), item);
    g.combat_step = COMBAT_USE_ON;
}

void draw_use_on(Game& g) {
    PictureArea& t = text(g);
    print_member_heading(g);
    t.print_line();
    t.print_line();
    if (!g.message_lines[0].empty()) {
        sub_wait_for_any_key(g);
        t.print_line(g.message_lines[0]);
        return;
    }
    sub_read_item(g, g.combat_chosen_item);
    t.print_line(" Use " + g.item_rec.name.trimmed() + " on which group:");
    print_target_menu(g);
}

void use_on_key(Game& g) {
    if (!g.message_lines[0].empty()) {
        // The item cannot be used: any key goes back to the equipment.
        g.message_lines[0].clear();
        g.combat_step = COMBAT_USE_WHAT;
        return;
    }
    const int grp = typed_letter(g);
    if (g.input_line == "X") {
        g.combat_step = COMBAT_USE_WHAT;
    } else if (grp >= 0 && grp <= 2 && group_alive(g, grp)) {
        choose(g, ACTION_USE_ITEM, g.combat_chosen_item);
        action(g)[2] = static_cast<int16_t>(grp + TARGET_GROUP_BASE);
        next_member(g);
    } else if (listed_member(g) >= 0) {
        choose(g, ACTION_USE_ITEM, g.combat_chosen_item);
        action(g)[2] = static_cast<int16_t>(-(listed_member(g) + 1));
        next_member(g);
    }
}

// ---------------------------------------------------------------------------------------
// Casting a spell

// Calls f(spell) for each spell the member knows on the level shown, in the order known.
template <class F> void for_each_shown_spell(Game& g, F f) {
    for (const int16_t spell : g.party[member(g)].spells_known) {
        if (!spell_exists(g, spell)) continue;
        sub_read_spell(g, spell);
        if (g.spell_rec.level == g.spell_level_shown && !f(spell)) return;
    }
}

void draw_cast_what(Game& g) {
    PictureArea& t = text(g);
    const int m = member(g);
    t.CurrentY = 0;
    t.print_line();
    t.print_line();
    print_member_heading(g);
    if (g.spell_level_shown == 0)
        t.print_line(" Inherent Powers");
    else if (g.spell_level_shown >= 1 && g.spell_level_shown <= 9)
        t.print_line(" Level " + str_form(g.spell_level_shown) + " Powers");
    int listed = 0;
    for_each_shown_spell(g, [&](int) {
        ++listed;
        // Letters run out after Z; such a spell is listed under its number's place only.
        const char key = listed <= 26 ? char('A' + listed - 1) : '?';
        print_menu_line(g, std::string(1, key) + " ", g.spell_rec.name.str() + ".  ");
        return true;
    });
    for (; listed < 10; ++listed) t.print_line();
    if (sub_step_spell_level(g, m, -1) < g.spell_level_shown)
        print_menu_line(g, " P.", " Prev Page.");
    if (sub_step_spell_level(g, m, 1) > g.spell_level_shown)
        print_menu_line(g, " N.", " Next Page.");
    print_menu_line(g, " X.", "Exit.");
}

void cast_what_key(Game& g) {
    const std::string& k = g.input_line;
    const int m = member(g);
    const int place = typed_letter(g) + 1;
    if (k == "X") {
        g.combat_step = COMBAT_ACTION_MENU;
    } else if (k == "N" || k == "P") {
        const int16_t level = sub_step_spell_level(g, m, k == "N" ? 1 : -1);
        if (k == "N" ? level > g.spell_level_shown : level < g.spell_level_shown)
            g.spell_level_shown = level;
    } else if (place >= 1 && place <= 10) {
        int n = place, chosen = 0;
        for_each_shown_spell(g, [&](int spell) {
            if (--n == 0) chosen = spell;
            return n > 0;
        });
        if (chosen == 0) return;
        g.combat_chosen_spell = static_cast<int16_t>(chosen);
        switch (g.spell_rec.target_type) {
        case SPELL_TARGET_CASTER:
        case SPELL_TARGET_NONE:
            choose(g, ACTION_CAST, chosen);
            next_member(g);
            break;
        case SPELL_TARGET_MEMBER:
        case SPELL_TARGET_COMBAT_MEMBER:
            g.combat_step = COMBAT_CAST_ON_MEMBER;
            break;
        case SPELL_TARGET_PARTY:
        case SPELL_TARGET_COMBAT_NONE:
        case SPELL_TARGET_COMBAT_PARTY:
            g.combat_step = COMBAT_CAST_ON_GROUP;
            break;
        default:
            break;
        }
    }
}

std::string chosen_spell_name(Game& g) {
    sub_read_spell(g, g.combat_chosen_spell);
    return g.spell_rec.name.str();
}

void draw_cast_on_group(Game& g) {
    PictureArea& t = text(g);
    print_member_heading(g);
    t.print_line();
    std::string name = chosen_spell_name(g);
    name.erase(name.find_last_not_of(' ') + 1);
    t.print_line(" Cast " + name + " on which group:");
    print_lettered_groups(g, 2);
    t.print_line();
    print_menu_line(g, "  P.", "Party");
    t.print_line();
    print_menu_line(g, "  X.", "Exit.");
}

void draw_cast_on_member(Game& g) {
    PictureArea& t = text(g);
    print_member_heading(g);
    t.print_line();
    t.print_line(" Cast " + chosen_spell_name(g) + " on who:");
    print_target_menu(g);
}

void cast_on_key(Game& g) {
    const int grp = typed_letter(g);
    const auto cast_at = [&](int target) {
        choose(g, ACTION_CAST, g.combat_chosen_spell);
        action(g)[2] = static_cast<int16_t>(target);
        next_member(g);
    };
    if (g.input_line == "X") {
        g.combat_step = COMBAT_CAST_WHAT;
    } else if (grp >= 0 && grp < MONSTER_GROUP_COUNT && group_alive(g, grp)) {
        cast_at(grp + TARGET_GROUP_BASE);
    } else if (g.combat_step == COMBAT_CAST_ON_GROUP && g.input_line == "P") {
        cast_at(TARGET_PARTY);
    } else if (g.combat_step == COMBAT_CAST_ON_MEMBER && listed_member(g) >= 0) {
        cast_at(listed_member(g) + 1);
    }
}

// ---------------------------------------------------------------------------------------
// The summary

std::string summary_text(Game& g, int s) {
    const auto& a = g.combat_actions[s];
    if (g.party[s].hit_points < 1) return "DEAD";
    switch (a[0]) {
    case ACTION_ATTACK:
        return "Attacks " + (read_group_monster(g, a[1]) ? g.monster_rec.name.trimmed() : "");
    case ACTION_CAST:
        if (!spell_exists(g, a[1])) return "Casting ";
        sub_read_spell(g, a[1]);
        return "Casting " + g.spell_rec.name.trimmed();
    case ACTION_HIDE:
        return "Hides in Shadows";
    default:
        return "Defends";
    }
}

void draw_summary(Game& g) {
    PictureArea& t = text(g);
    t.print_line();
    t.print_line(" You are Facing:");
    print_group_lines(g);
    t.print_line();
    t.print_line();
    t.print_line(" Summary of Actions:");
    for (int s = 0; s < PARTY_SIZE; ++s) {
        if (g.party[s].in_use <= 0) continue;
        t.print("   " + g.party[s].name.str());
        t.CurrentX = 90;
        t.print_line(summary_text(g, s));
    }
    t.print_line();
    t.print_line();
    print_menu_line(g, "  B.", "Begin Combat.");
    print_menu_line(g, "  R.", "Redo Action Selections.");
}

void summary_key(Game& g) {
    if (g.input_line == "R") {
        g.combat_member = 0;
        g.combat_step = COMBAT_ACTION_MENU;
    } else if (g.input_line == "B") {
        g.combat_step = COMBAT_ROUND;
    }
}

// ---------------------------------------------------------------------------------------
// The frame of every step

void draw_frame(Game& g) {
    // The picture of the front group's monster; a picture the Data folder lacks leaves the
    // picture area as it was.
    if (read_group_monster(g, 0)) {
        try {
            load_main_picture(g, "Mon" + plain_form(g.monster_rec.picture) + ".bmp");
        } catch (const DataError&) {
        }
    }
    text(g).fore_colour = 0;
    print_screen_heading(g, "Combat");
}

// The steps of choosing the party's actions: the procedure for each step's keys and its
// drawing. The round and the end of the fight are keyed and drawn by combat/combat_end.cpp.
struct CombatStep {
    int step;
    void (*key)(Game&);
    void (*draw)(Game&);
};
constexpr CombatStep CHOOSING_STEPS[] = {
    {COMBAT_ENCOUNTER, encounter_key, draw_encounter},
    {COMBAT_ACTION_MENU, action_menu_key, draw_action_menu},
    {COMBAT_ATTACK_WHICH, attack_which_key, draw_attack_which},
    {COMBAT_USE_WHAT, use_what_key, draw_use_what},
    {COMBAT_USE_ON, use_on_key, draw_use_on},
    {COMBAT_CAST_WHAT, cast_what_key, draw_cast_what},
    {COMBAT_CAST_ON_GROUP, cast_on_key, draw_cast_on_group},
    {COMBAT_CAST_ON_MEMBER, cast_on_key, draw_cast_on_member},
    {COMBAT_SUMMARY, summary_key, draw_summary},
};

// The current step's entry; none for the round, the end of the fight and a step the screen
// does not have (8 and 9).
const CombatStep* choosing_step(const Game& g) {
    const auto s = std::ranges::find(CHOOSING_STEPS, g.combat_step, &CombatStep::step);
    return s == std::end(CHOOSING_STEPS) ? nullptr : s;
}

} // namespace

bool sub_combat_member_choosing(const Game& g, int slot) {
    return is_on(g.combat_active) && g.combat_step == COMBAT_ACTION_MENU && g.combat_member == slot;
}

void sub_combat_equipment_changed(Game& g) {
    action(g) = {ACTION_DEFEND, 0, 0, 0};
    next_member(g);
}

void sub_combat_key(Game& g) {
    if (const CombatStep* s = choosing_step(g))
        s->key(g);
    else
        sub_combat_end_key(g);
    g.input_line.clear();
}

void sub_draw_combat(Game& g) {
    draw_frame(g);
    if (const CombatStep* s = choosing_step(g))
        s->draw(g);
    else
        sub_draw_combat_end(g);
}

} // namespace duskwend
