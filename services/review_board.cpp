// The review board: a member with enough experience is judged and, for the training fee,
// advances one level: more hit points and mana, one attribute point, better resistances, and
// the spells the class gains at the new level.
#include "core/any_key.h"
#include "core/class_rules.h"
#include "core/creation_rules.h"
#include "core/datafiles.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/output.h"
#include "core/rules.h"
#include "services/building.h"
#include "services/services.h"

#include <array>
#include <cmath>

namespace duskwend {

namespace {

constexpr int SPELL_SLOTS = 101;
// Rolls that find no attribute below its maximum before this many tries give up; with an
// attribute that can rise, each roll has at least one chance in twelve.
constexpr int MAX_ATTRIBUTE_ROLLS = 1000;

// Attribute rolls 1..8 pick strength, vitality, speed, dexterity, piety, intelligence,
// personality, karma; as attribute indexes (0 strength, 1 intelligence, 2 piety, 3 dexterity,
// 4 speed, 5 vitality, 6 personality, 7 karma).
constexpr int ROLLED_ATTRIBUTE[8] = {0, 5, 4, 3, 2, 1, 6, 7};
const char* const ATTRIBUTE_WORDS[ATTRIBUTE_COUNT] = {"strength.",    "intelligence.", "piety.",
                                                      "dexterity.",   "speed.",        "vitality.",
                                                      "personality.", "karma."};

int member(const Game& g) {
    return g.selected_member & PARTY_SLOT_MASK;
}

int64_t training_cost(const PartyMemberRec& m) {
    return int64_t(m.level) * m.level * 100;
}

// What the board says: the member still needs experience, may advance, or has reached the
// top. Levels from data above the top count as the top.
enum class Verdict { NeedsExperience, MayAdvance, AtMaximum };

Verdict verdict(Game& g) {
    const PartyMemberRec& m = g.party[member(g)];
    if (m.experience < sub_experience_needed(g, member(g)) && m.level <= MAX_LEVEL)
        return Verdict::NeedsExperience;
    return m.level >= MAX_LEVEL ? Verdict::AtMaximum : Verdict::MayAdvance;
}

// True when attribute k of the scratch values can rise by one without passing its maximum.
// The scratch values are left as they were.
bool can_rise(Game& g, int k) {
    std::array<int16_t, ATTRIBUTE_COUNT> saved{};
    for (int a = 0; a < ATTRIBUTE_COUNT; ++a) saved[a] = new_attribute(g, a);
    const int16_t saved_bonus = g.bonus_points;
    new_attribute(g, k) = to_integer(saved[k] + 1.0);
    sub_clamp_creation_attributes(g);
    const bool rises = new_attribute(g, k) > saved[k];
    for (int a = 0; a < ATTRIBUTE_COUNT; ++a) new_attribute(g, a) = saved[a];
    g.bonus_points = saved_bonus;
    return rises;
}

bool any_can_rise(Game& g) {
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k)
        if (can_rise(g, k)) return true;
    return false;
}

// Rolls the attribute that rises, tested against the maxima of character creation; -1 when
// every attribute is already at its maximum.
int roll_attribute_rise(Game& g, const PartyMemberRec& m) {
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k) new_attribute(g, k) = base_attribute(m, k);
    g.new_race = m.race;
    g.new_class = m.class_id;
    for (int tries = 0; tries < MAX_ATTRIBUTE_ROLLS && any_can_rise(g); ++tries) {
        g.bonus_points = 0;
        const int r = sub_roll_dice(g, 1, 12, 0);
        // Rolls 9 to 12 raise the attribute the class trains.
        const int a =
            r >= 1 && r <= 8 ? ROLLED_ATTRIBUTE[r - 1] : class_rules(m.class_id).trained_attribute;
        int16_t& v = new_attribute(g, a);
        v = to_integer(v + 1.0);
        sub_clamp_creation_attributes(g);
        if (g.bonus_points == 0) return a;
    }
    return -1;
}

std::string spell_name(Game& g, int n) {
    sub_read_spell(g, n);
    return g.spell_rec.name.trimmed();
}

// The spells of the class's progression for the new level: learnt, upgraded or replaced.
std::string learn_spells(Game& g, PartyMemberRec& m) {
    std::string t;
    for (int e = 1; e <= g.spell_progression_count; ++e) {
        sub_read_spell_progression(g, e);
        const SpellProgressionRec p = g.spell_progression_rec;
        if (p.class_id != m.class_id || p.level != m.level || !spell_exists(g, p.spell)) continue;
        if (p.replaces_spell != 0 && !spell_exists(g, p.replaces_spell)) continue;
        auto& known = m.spells_known;
        if (p.replaces_spell != 0) {
            int k = 0;
            while (k < SPELL_SLOTS && known[k] != p.replaces_spell) ++k;
            if (k == SPELL_SLOTS) continue; // the replaced spell is not known
            const std::string old_name = spell_name(g, p.replaces_spell);
            known[k] = p.spell;
            const std::string new_name = spell_name(g, p.spell);
            t += "\\NThe spell '" + old_name + "' is ";
            t += new_name == old_name ? "upgraded." : "replaced by '" + new_name + "'.";
        } else {
            int k = 0;
            while (k < SPELL_SLOTS && known[k] != 0) ++k;
            if (k == SPELL_SLOTS) continue; // no room for another spell
            known[k] = p.spell;
            t += "\\NThe spell '" + spell_name(g, p.spell) + "' is learnt.";
        }
    }
    return t;
}

// ---------------------------------------------------------------------------------------
// Steps

void draw_select(Game& g) {
    PictureArea& t = text(g);
    t.print_line(" You stand in front of a board of Review.");
    t.print_line(" Around you you can see various cowled figures");
    t.print_line("  who will judge your merit.");
    t.print_line();
    t.print_line(" 'Stand forward those who would be judged!' says");
    t.print_line("  the central cowled figure, 'Who stands before");
    t.print_line("  the board.'");
    t.print_line();
    print_member_choice(g, "Leave the Review Board.");
}

void draw_judgement(Game& g) {
    PictureArea& t = text(g);
    const PartyMemberRec& m = g.party[member(g)];
    const std::string N = m.name.trimmed();
    const int64_t need = sub_experience_needed(g, member(g));
    std::string s = "\\N" + N + " steps forward.\\N" +
                    "The cowled figures stare for a long time before" +
                    " they pronounce their judgement.\\N'" + N;
    switch (verdict(g)) {
    case Verdict::NeedsExperience:
        sub_wait_for_any_key(g);
        s += " you still require" + str_form(need - m.experience) + " experience to gain a level.'";
        break;
    case Verdict::AtMaximum:
        s += "'You have reached your maximum level.\\nWe are unable to advance you further.'";
        break;
    case Verdict::MayAdvance:
        s += std::string(" you have progressed enough to gain a level.'") +
             "\\N'Training for this advance will cost you" + str_form(training_cost(m)) +
             " imperial crowns.'";
        t.CurrentY = 160;
        t.print_line(" Options:");
        print_menu_line(g, "  A.", "Advance a Level.");
        print_menu_line(g, "  L.", "Leave the Review.");
        break;
    }
    g.page_line = -1;
    sub_print_text_block(g, s);
}

void draw_advance(Game& g) {
    PartyMemberRec& m = g.party[member(g)];
    if (verdict(g) != Verdict::MayAdvance) return;
    // The advancing member pays for the training, in full or not at all.
    const int64_t cost = training_cost(m);
    if (m.crowns < cost) {
        text(g).print_line(" You cannot afford the training.");
        return;
    }
    m.crowns = to_long(static_cast<double>(m.crowns) - static_cast<double>(cost));

    const std::string N = m.name.trimmed();
    m.level = to_integer(m.level + 1.0);
    std::string s = "\\N" + N + " advances to level " + str_form(m.level) + ".";

    s += std::string("\\NThis gains ") + (m.sex == 1 ? "him" : "her");
    const int h = sub_roll_level_gains(g, 1, member(g));
    s += str_form(h) + " hitpoint" + plural(h);
    m.max_hit_points = to_integer(double(m.max_hit_points) + h);
    m.hit_points = to_integer(double(m.hit_points) + h);
    const int mana = sub_roll_level_gains(g, 2, member(g));
    if (mana > 0) s += " and " + str_form(mana) + " mana";
    m.max_magic_points = to_integer(double(m.max_magic_points) + mana);
    m.magic_points = to_integer(double(m.magic_points) + mana);
    s += ".";

    // With every attribute at its maximum the advance brings no attribute point.
    const int a = roll_attribute_rise(g, m);
    if (a >= 0) {
        s += "\\n" + N + " improves " + (m.sex == 1 ? "his " : "her ") + ATTRIBUTE_WORDS[a];
        base_attribute(m, a) = to_integer(base_attribute(m, a) + 1.0);
    }
    for (int16_t& r : m.base_resistances) r = to_integer(r + 2.0);
    s += learn_spells(g, m);

    g.page_line = -1;
    sub_print_text_block(g, s);
    // The panel shows the new hit points and mana at once.
    sub_update_party_stats(g);
    sub_display_char_status(g);
}

void judgement_key(Game& g) {
    const std::string& key = g.input_line;
    switch (verdict(g)) {
    case Verdict::NeedsExperience:
        g.location_step = REVIEW_SELECT;
        break;
    case Verdict::MayAdvance:
        if (key == "A") g.location_step = REVIEW_ADVANCE;
        if (key == "L") g.location_step = REVIEW_SELECT;
        break;
    case Verdict::AtMaximum:
        if (key == "L") g.location_step = REVIEW_SELECT;
        break;
    }
}

// The advance acts; after it any key goes back to the choice of member.
constexpr BuildingStep REVIEW_STEPS[] = {
    member_choice_step<REVIEW_JUDGEMENT>(REVIEW_SELECT, draw_select),
    {REVIEW_JUDGEMENT, judgement_key, draw_judgement},
    acting_step<REVIEW_SELECT>(REVIEW_ADVANCE, draw_advance),
};

} // namespace

void sub_review_board_key(Game& g) {
    building_key(g, REVIEW_STEPS);
}

void sub_draw_review_board(Game& g) {
    begin_building(g, "Review Board");
    draw_building_step(g, LOCATION_REVIEW, REVIEW_STEPS);
}

} // namespace duskwend
