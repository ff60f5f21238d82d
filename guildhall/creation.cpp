// Making a new character at the guild hall: race, sex, class, attributes and bonus points,
// thief skills for thieves and merchants, the name, and storing it in the roster. Nothing is
// random: the same choices always give the same character.
#include "core/class_rules.h"
#include "core/creation_rules.h"
#include "core/datafiles.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/output.h"
#include "core/rules.h"
#include "core/typed_keys.h"
#include "guildhall/guild_hall.h"
#include "guildhall/steps.h"

#include <algorithm>
#include <cmath>

namespace duskwend {

namespace {

const char* const ATTRIBUTE_LABELS[ATTRIBUTE_COUNT] = {
    "Strength:", "Intelligence:", "Piety:",       "Dexterity:",
    "Speed:",    "Vitality:",     "Personality:", "Karma:"};
const char* const SKILL_LABELS[5] = {
    "Identify Items:", "Hide in Shadows:", "Detect Traps:", "Steal:", "Pick Locks:"};

double F(int v) {
    return sub_attribute_factor(v) / 100.0;
}

void leave_creation(Game& g) {
    g.location_step = GUILD_MENU;
    g.upper_case_input = -1;
}

// Position of each creation step in the order the player meets them.
int progress(int step) {
    switch (step) {
    case GUILD_CREATE_RACE:
        return 0;
    case GUILD_CREATE_SEX:
        return 1;
    case GUILD_CREATE_CLASS:
        return 2;
    case GUILD_CREATE_ATTRIBUTES:
        return 3;
    case GUILD_CREATE_BONUS:
        return 4;
    case GUILD_CREATE_THIEF_SKILLS:
        return 5;
    case GUILD_CREATE_NAME:
        return 6;
    default:
        return 7;
    }
}

void print_creation_header(Game& g) {
    PictureArea& t = text(g);
    t.print_line();
    t.print_line(" Creating new character");
    t.print_line();
    const int done = progress(g.location_step);
    if (done > 0) t.print_line(" Race: " + sub_race_name(g.new_race) + ".");
    if (done > 1) t.print_line(std::string(" Sex: ") + (g.new_sex == 1 ? "Male." : "Female."));
    if (done > 2) t.print_line(" Class: " + sub_class_name(g.new_class) + ".");
    if (done > 0) t.print_line();
}

// "A." in colour 1 ending at x = 20, then the text in colour 0.
void print_choice(Game& g, const std::string& letter, const std::string& choice) {
    PictureArea& t = text(g);
    t.fore_colour = 1;
    sub_print_right_aligned(g, letter, 20);
    t.fore_colour = 0;
    t.print_line(choice);
}

void print_exit_choice(Game& g) {
    print_choice(g, "X.", " Exit Create and return to Guildhall.");
}

// An option of the attribute and skill steps: " A." in colour 1 and the text after it.
void print_option(Game& g, const std::string& letter, const std::string& option) {
    PictureArea& t = text(g);
    t.fore_colour = 1;
    t.print(letter);
    t.fore_colour = 0;
    t.print_line(option);
}

void print_attributes(Game& g, bool highlight) {
    PictureArea& t = text(g);
    t.print_line(" Character Attributes");
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k) {
        t.fore_colour = highlight && k == g.cursor_line ? 9 : 0;
        sub_print_right_aligned(g, ATTRIBUTE_LABELS[k], 70);
        t.print_line(str_form(new_attribute(g, k)));
    }
    t.fore_colour = 0;
}

void print_step_options(Game& g, const char* accept) {
    print_option(g, " A.", accept);
    print_option(g, " X.", " Exit Create and return to Guildhall.");
    print_option(g, " U.", " Move Up.");
    print_option(g, " D.", " Move Down.");
    print_option(g, " +.", " Increase Stat.");
    print_option(g, "  -.", " Decrease Stat.");
}

void start_attributes(Game& g) {
    const ClassRules& rules = class_rules(g.new_class);
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k)
        new_attribute(g, k) = int16_t(8 + rules.start_attributes[k]);
    g.bonus_points = int16_t(rules.bonus_points);
    g.new_thief_skills.fill(0);
    g.new_spells.fill(0);
    if (is_race(g.new_race))
        for (int k = 0; k < ATTRIBUTE_COUNT; ++k)
            new_attribute(g, k) = int16_t(new_attribute(g, k) + RACE_ATTRIBUTES[g.new_race][k]);
}

void accept_attributes(Game& g) {
    // A class number the game does not know is made as a Fighter.
    const ClassRules& c = class_rules(is_class(g.new_class) ? g.new_class : int(CLASS_FIGHTER));
    g.new_hit_points =
        to_integer(F(g.new_vitality) * c.hit_points.per_level + c.hit_points.at_creation);
    const int mana_attribute = new_attribute(g, c.mana_attribute);
    g.new_magic_points =
        c.mana.per_level == 0
            ? 0
            : to_integer(F(mana_attribute) * c.mana.per_level + c.mana.at_creation);

    const int D = g.new_dexterity, I = g.new_intelligence;
    const double half = (D + I) / 2.0;
    if (c.thief_skill_points > 0) {
        const auto& o = c.thief_skill_offsets;
        g.new_thief_skills = {to_integer(I + o[0]), to_integer(D + o[1]), to_integer(half + o[2]),
                              to_integer(D + o[3]), to_integer(half + o[4])};
        g.bonus_points = int16_t(c.thief_skill_points);
    }

    std::size_t k = 0;
    for (int e = 1; e <= g.spell_progression_count && k < g.new_spells.size(); ++e) {
        sub_read_spell_progression(g, e);
        if (g.spell_progression_rec.class_id == g.new_class && g.spell_progression_rec.level == 1)
            g.new_spells[k++] = g.spell_progression_rec.spell;
    }

    g.upper_case_input = 0;
    if (c.thief_skill_points > 0) {
        g.location_step = GUILD_CREATE_THIEF_SKILLS;
        g.cursor_line = 0;
    } else {
        g.location_step = GUILD_CREATE_NAME;
    }
}

// "+" and "-" on a value: "+" spends a point, "-" takes one back unless it would go below 1.
void adjust(Game& g, int16_t& value) {
    if (g.input_line == "+") {
        if (g.bonus_points < 1) return;
        g.bonus_points = int16_t(g.bonus_points - 1);
        value = to_integer(value + 1.0);
    } else if (g.input_line == "-") {
        value = to_integer(value - 1.0);
        if (value < 1)
            value = 1;
        else
            g.bonus_points = to_integer(g.bonus_points + 1.0);
    }
}

void move_cursor(Game& g, int last) {
    if (g.input_line == "U") g.cursor_line = int16_t(g.cursor_line == 0 ? last : g.cursor_line - 1);
    if (g.input_line == "D") g.cursor_line = int16_t(g.cursor_line >= last ? 0 : g.cursor_line + 1);
}

void bonus_key(Game& g) {
    const std::string& k = g.input_line;
    move_cursor(g, 7);
    if (k == "+" || k == "-") {
        adjust(g, new_attribute(g, std::clamp<int>(g.cursor_line, 0, 7)));
        if (k == "+") sub_clamp_creation_attributes(g);
    } else if (k == "A") {
        accept_attributes(g);
    } else if (k == "X") {
        leave_creation(g);
    }
    sub_compute_creation_resistances(g);
}

void thief_skills_key(Game& g) {
    const std::string& k = g.input_line;
    move_cursor(g, 4);
    if (k == "+" || k == "-") {
        adjust(g, g.new_thief_skills[std::clamp<int>(g.cursor_line, 0, 4)]);
    } else if (k == "A") {
        int16_t& skill = g.new_thief_skills[g.new_sex == 1 ? 3 : 1];
        skill = to_integer(skill + 2.0);
        g.upper_case_input = 0;
        g.location_step = GUILD_CREATE_NAME;
    } else if (k == "X") {
        leave_creation(g);
    }
}

void name_key(Game& g) {
    const std::string& c = g.input_line;
    if (c == "\r") {
        if (g.new_name.empty()) g.new_name = sub_class_name(g.new_class);
        g.upper_case_input = -1;
        g.location_step = GUILD_CREATE_DONE;
    } else if (!g.new_name.empty() && is_on(g.backspace_pressed)) {
        g.new_name.pop_back();
    } else {
        // Letter keys arrive as capitals and with Shift as small letters: swap them so the
        // name reads as typed.
        for (char ch : c) {
            if (ch >= 'A' && ch <= 'Z')
                ch = char(ch - 'A' + 'a');
            else if (ch >= 'a' && ch <= 'z')
                ch = char(ch - 'a' + 'A');
            g.new_name += ch;
        }
    }
}

void store_character(Game& g) {
    PictureArea& t = text(g);
    t.print_line();
    t.print_line(" " + g.new_name + " has been created.");
    const auto free = std::find_if(g.roster.begin(), g.roster.begin() + 10,
                                   [](const CharacterRec& c) { return c.in_use == 0; });
    if (free == g.roster.begin() + 10) return;
    // A cleared entry: nothing of an earlier character stays behind.
    CharacterRec c;
    c.in_use = to_integer(static_cast<double>(g.new_name.size()));
    c.name = g.new_name;
    c.class_id = g.new_class, c.sex = g.new_sex, c.level = 1;
    c.experience = 1, c.crowns = 100, c.bank = -100;
    c.race = g.new_race;
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k) attribute(c, k) = new_attribute(g, k);
    c.hit_points = c.max_hit_points = g.new_hit_points;
    c.magic_points = c.max_magic_points = g.new_magic_points;
    c.resistances = g.new_resistances;
    c.thief_skills = g.new_thief_skills;
    c.spells_known = g.new_spells;
    *free = c;
    sub_sort_roster(g);
}

} // namespace

void sub_compute_creation_resistances(Game& g) {
    auto& r = g.new_resistances;
    r.fill(5);
    switch (g.new_race) {
    case RACE_HUMAN:
        r[2] += 2;
        break;
    case RACE_DWARF:
        r[1] += 5;
        break;
    case RACE_ELF:
        r[5] += 2;
        break;
    case RACE_HALF_ELF:
        for (auto& e : r) e -= 1;
        break;
    default:
        break;
    }
    const auto& by_class = class_rules(g.new_class).resistances;
    for (std::size_t k = 0; k < r.size(); ++k) r[k] = int16_t(r[k] + by_class[k]);
    for (auto& e : r) {
        e = to_integer(e + std::nearbyint(F(g.new_vitality)));
        e = to_integer(e + std::nearbyint(g.new_karma / 3.0));
    }
}

void creation_key(Game& g) {
    const std::string& k = g.input_line;
    const int i = typed_letter(g);
    const int step = g.location_step;
    // X leaves the choices of race, sex and class.
    const bool choosing =
        step == GUILD_CREATE_RACE || step == GUILD_CREATE_SEX || step == GUILD_CREATE_CLASS;
    if (choosing && k == "X") {
        leave_creation(g);
        return;
    }
    switch (step) {
    case GUILD_CREATE_RACE:
        if (is_race(i)) g.new_race = int16_t(i), g.location_step = GUILD_CREATE_SEX;
        break;
    case GUILD_CREATE_SEX:
        if (k == "A" || k == "B") g.new_sex = int16_t(i + 1), g.location_step = GUILD_CREATE_CLASS;
        break;
    case GUILD_CREATE_CLASS:
        if (is_class(i)) g.new_class = int16_t(i), g.location_step = GUILD_CREATE_ATTRIBUTES;
        break;
    case GUILD_CREATE_ATTRIBUTES:
        if (k == "A")
            g.location_step = GUILD_CREATE_BONUS;
        else if (k == "X")
            leave_creation(g);
        g.cursor_line = 0;
        break;
    case GUILD_CREATE_BONUS:
        bonus_key(g);
        break;
    case GUILD_CREATE_THIEF_SKILLS:
        thief_skills_key(g);
        break;
    case GUILD_CREATE_NAME:
        name_key(g);
        break;
    case GUILD_CREATE_DONE:
        g.location_step = GUILD_MENU;
        break;
    default:
        break;
    }
}

void draw_creation(Game& g) {
    PictureArea& t = text(g);
    const int step = g.location_step;
    if (step == GUILD_CREATE_DONE) {
        store_character(g);
        return;
    }
    if (step == GUILD_CREATE_RACE) g.new_name.clear();
    if (step == GUILD_CREATE_ATTRIBUTES) start_attributes(g);
    print_creation_header(g);
    switch (step) {
    case GUILD_CREATE_RACE:
        t.print_line(" What Race is this character:-");
        for (int r = 0; r < RACE_COUNT; ++r)
            print_choice(g, std::string(1, char('A' + r)) + ".", " " + sub_race_name(r) + ".");
        print_exit_choice(g);
        break;
    case GUILD_CREATE_SEX:
        t.print_line(" What Sex is this character:-");
        print_choice(g, "A.", " Male.");
        print_choice(g, "B.", " Female.");
        print_exit_choice(g);
        break;
    case GUILD_CREATE_CLASS:
        // Only four classes are listed; the other four are chosen with E to H.
        t.print_line(" What Class is this character:-");
        for (int c = 0; c < 4; ++c)
            print_choice(g, std::string(1, char('A' + c)) + ".", " " + sub_class_name(c) + ".");
        print_exit_choice(g);
        break;
    case GUILD_CREATE_ATTRIBUTES:
    case GUILD_CREATE_BONUS: {
        const bool bonus = step == GUILD_CREATE_BONUS;
        print_attributes(g, bonus);
        t.print_line();
        sub_print_right_aligned(g, "Bonus:", 70);
        t.print_line(str_form(g.bonus_points));
        t.print_line();
        if (bonus) {
            print_step_options(g, " Accept Character.");
        } else {
            print_option(g, " A.", " Accept Character and allocate bonus.");
            print_option(g, " X.", " Exit Create and return to Guildhall.");
        }
        break;
    }
    case GUILD_CREATE_THIEF_SKILLS:
        t.print_line(" Thief Attributes:");
        for (int s = 0; s < 5; ++s) {
            t.fore_colour = s == g.cursor_line ? 9 : 0;
            sub_print_right_aligned(g, SKILL_LABELS[s], 90);
            t.print_line(str_form(g.new_thief_skills[s]));
        }
        t.fore_colour = 0;
        t.print_line();
        sub_print_right_aligned(g, "Bonus:", 90);
        t.print_line(str_form(g.bonus_points));
        t.print_line();
        print_step_options(g, " Accept Character.");
        break;
    case GUILD_CREATE_NAME:
        print_attributes(g, false);
        t.print_line();
        sub_print_right_aligned(g, "Hit Points:", 70);
        t.print_line(str_form(g.new_hit_points));
        sub_print_right_aligned(g, "Magic Points:", 70);
        t.print_line(str_form(g.new_magic_points));
        t.print_line();
        t.print_line(" Please enter name of character");
        t.fore_colour = 9;
        t.print_line(g.new_name);
        t.fore_colour = 0;
        break;
    default:
        break;
    }
}

} // namespace duskwend
