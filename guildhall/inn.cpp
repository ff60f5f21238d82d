// The inn of the guild hall: one member pays 25 crowns, and the night restores hit points and
// mana and lets every debt grow by one percent.
#include "core/class_rules.h"
#include "core/any_key.h"
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

bool can_pay(const PartyMemberRec& m) {
    return m.in_use > 0 && m.hit_points > 0 && m.crowns >= INN_PRICE;
}

bool anyone_can_pay(const Game& g) {
    return std::any_of(g.party.begin(), g.party.end(), can_pay);
}

// One line for each member who cannot pay, saying why.
void print_who_cannot_pay(Game& g) {
    PictureArea& t = g.Form1.Text;
    bool first = true;
    for (const PartyMemberRec& m : g.party) {
        if (m.in_use <= 0 || can_pay(m)) continue;
        if (first) t.print_line();
        first = false;
        t.print_line(" " + m.name.trimmed() +
                     (m.hit_points <= 0 ? " is dead."
                                        : " has" + str_form(m.crowns) + " crowns, not" +
                                              str_form(INN_PRICE) + "."));
    }
}

// The gain of a night, computed wide: only the part up to what is missing counts.
int night_gain(double factor, double base, int missing) {
    double gain = std::nearbyint(factor * base);
    if (gain == 0) gain = 1;
    return static_cast<int>(std::min<double>(gain, missing));
}

void rest(Game& g, PartyMemberRec& m) {
    PictureArea& t = g.Form1.Text;
    const std::string name = m.name.trimmed();
    if (m.hit_points > 0 && m.hit_points < m.max_hit_points) {
        const int gain = night_gain(sub_attribute_factor(m.vitality), m.max_hit_points * 0.5,
                                    m.max_hit_points - m.hit_points);
        if (gain > 0) {
            t.print_line(" " + name + " gains" + str_form(gain) + " hit point" + plural(gain) +
                         ".");
            m.hit_points = to_integer(double(m.hit_points) + gain);
        }
    }
    if (m.max_magic_points > 0 && m.magic_points < m.max_magic_points) {
        const double base = std::nearbyint(m.max_magic_points * 0.5);
        const int gain =
            night_gain(sub_attribute_factor(attribute(m, class_rules(m.class_id).mana_attribute)),
                       base, m.max_magic_points - m.magic_points);
        if (gain > 0) {
            t.print_line(" " + name + " gains" + str_form(gain) + " point" + plural(gain) +
                         " of mana.");
            m.magic_points = to_integer(double(m.magic_points) + gain);
        }
    }
    if (m.bank < 0) m.bank = to_long(m.bank * 1.01);
}

} // namespace

void inn_key(Game& g) {
    if (g.location_step == GUILD_INN_REST) {
        g.location_step = GUILD_MENU;
        return;
    }
    const int i = typed_letter(g);
    if (!anyone_can_pay(g) || g.input_line == "R") {
        g.location_step = GUILD_MENU;
    } else if (i >= 0 && i < MAX_PARTY) {
        g.selected_member = static_cast<int16_t>(i);
        if (can_pay(g.party[i])) {
            g.party[i].crowns -= INN_PRICE;
            g.location_step = GUILD_INN_REST;
        }
    }
}

void draw_inn(Game& g) {
    PictureArea& t = g.Form1.Text;
    if (g.location_step == GUILD_INN_REST) {
        t.print_line(" The party beds down for the evening.");
        for (PartyMemberRec& m : g.party) {
            t.print_line();
            if (m.in_use > 0) rest(g, m);
        }
        return;
    }
    if (!anyone_can_pay(g)) {
        sub_wait_for_any_key(g);
        t.print_line(" No one in the party can afford to pay for the room.");
        print_who_cannot_pay(g);
        return;
    }
    t.print_line();
    t.print_line(" Who will pay for the room:-");
    for (int i = 0; i < PARTY_SIZE; ++i) {
        if (!can_pay(g.party[i])) continue;
        t.fore_colour = 1;
        t.print(std::string("  ") + char('A' + i) + ".");
        t.fore_colour = 0;
        t.CurrentX = 25;
        t.print_line(g.party[i].name);
    }
    t.print_line();
    print_menu_line(g, "  R.", "Return");
    print_who_cannot_pay(g);
}

} // namespace duskwend
