// What passing time does on the map. Every key of the city screen is one move: the move
// count grows, banks charge and pay interest, the map restores or drains hit and magic
// points, regeneration and disease act every ten moves, and monsters may appear.
#include "city/city_screen.h"
#include "combat/combat.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/output.h"
#include "core/rules.h"

#include <cstdlib>

namespace duskwend {

namespace {

bool present(const PartyMemberRec& p) {
    return p.in_use > 0;
}

// One percent on the balance; a large balance saturates instead of wrapping.
void interest(Game& g, bool debts) {
    for (PartyMemberRec& p : g.party)
        if (present(p) && (debts ? p.bank < 0 : p.bank > 0)) p.bank = to_long(p.bank * 1.01);
}

// A rate of n restores one point every n moves, -n drains one; the dead are left alone.
void map_rate(Game& g, int rate, bool magic) {
    if (rate == 0 || g.move_count % std::abs(rate) != 0) return;
    for (PartyMemberRec& p : g.party) {
        if (!present(p) || p.hit_points <= 0) continue;
        int16_t& value = magic ? p.magic_points : p.hit_points;
        const int16_t max = magic ? p.max_magic_points : p.max_hit_points;
        if (rate > 0 && value < max) ++value;
        if (rate < 0 && value > 0) --value;
    }
}

void timed_effects(Game& g) {
    for (PartyMemberRec& p : g.party) {
        for (auto& e : p.effects) {
            if (e[EFFECT_DURATION] == 0) continue;
            if (e[EFFECT_DURATION] > 0) --e[EFFECT_DURATION];
            const int64_t s = e[EFFECT_STRENGTH];
            if (e[EFFECT_TYPE] == EFFECT_REGENERATION) {
                if (p.hit_points < p.max_hit_points) {
                    const double healed = double(p.hit_points) + double((s + 1) * (s + 1));
                    p.hit_points = to_integer(std::min(healed, double(p.max_hit_points)));
                    sub_show_message(g, p.name.trimmed() + " regenerates slightly.");
                }
            } else if (e[EFFECT_TYPE] == EFFECT_DISEASE) {
                const double left = double(p.hit_points) - double(s * s);
                p.hit_points = to_integer(std::max(left, 0.0));
                std::string text = p.name.trimmed() + " suffers from a Disease";
                if (p.hit_points == 0)
                    text += std::string(" which kills h") + (p.sex == 1 ? "im" : "er");
                sub_show_message(g, text + ".");
            }
            if (e[EFFECT_DURATION] == 0) {
                e[EFFECT_TYPE] = 0;
                e[EFFECT_STRENGTH] = 0;
            }
        }
    }
}

} // namespace

void sub_map_turn_events(Game& g) {
    g.move_count = to_long(double(g.move_count) + 1);
    if (g.move_count % 100 == 0) interest(g, true);
    if (g.move_count % 1000 == 0) interest(g, false);
    map_rate(g, g.map_rec.magic_point_rate, true);
    map_rate(g, g.map_rec.hit_point_rate, false);
    if (g.move_count % 10 == 0) timed_effects(g);

    const int r = sub_random_percent(g);
    if (r <= g.map_rec.encounter_chance && !is_on(g.party_turned)) {
        // The monsters are set up first: a map with nothing to send announces nothing.
        sub_start_random_encounter(g);
        if (is_on(g.combat_active)) sub_show_message(g, "Random Encounter");
    }
}

} // namespace duskwend
