// The end of a round and of the fight: the round itself is fought when its step is drawn, the
// next key decides between another round, defeat and victory; victory pays out once. Fleeing
// from the encounter screen ends the fight early or costs the party a round.
#include "combat/combat.h"
#include "combat/round.h"

#include "core/city_map.h"
#include "core/datafiles.h"
#include "core/game.h"
#include "core/map_events.h"
#include "core/numbers.h"
#include "core/one_time_step.h"
#include "core/output.h"
#include "core/pictures.h"
#include "core/rules.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace duskwend {

namespace {

std::vector<int> survivors(const Game& g) {
    std::vector<int> s;
    for (int slot = 0; slot < PARTY_SIZE; ++slot)
        if (alive(g.party[slot])) s.push_back(slot);
    return s;
}

bool on_party_square(const Game& g, const MapEvent& e) {
    return e[EVENT_X] == g.party_x && e[EVENT_Y] == g.party_y;
}

// Shares are rounded half to even and never below one.
int64_t share(int64_t total, int64_t survivors) {
    return std::max<int64_t>(1, int64_t(std::nearbyint(double(total) / double(survivors))));
}

void draw_defeat(Game& g) {
    load_main_picture(g, "skull.bmp");
    if (!sub_begin_one_time_step(g, SCREEN_COMBAT, COMBAT_DEFEAT)) return;
    g.message_line = -1;
    for (int k = 0; k < 3; ++k) sub_show_message(g, "");
    sub_show_message(g, "The party has been slain!!!!!");
    sub_end_one_time_step(g);
}

void set_fixed_fight_flags(Game& g) {
    for (const auto& e : g.map_rec.events) {
        if (e[EVENT_KIND] != EVENT_SWITCH || !on_party_square(g, e) ||
            e[EVENT_P2] != SWITCH_FIGHT_WON)
            continue;
        if (!event_condition_holds(e, g.game_flags)) continue;
        const int flag = e[EVENT_P1];
        if (flag >= 0 && flag < GAME_FLAG_COUNT) g.game_flags[flag] = e[EVENT_P3];
    }
}

void find_treasure(Game& g, const std::vector<int>& found_by) {
    for (const int16_t item : g.treasure_items) {
        if (!item_exists(g, item) || found_by.empty()) continue;
        const int n = int(found_by.size());
        const int pick = std::min(n - 1, int(n * sub_random(g)));
        PartyMemberRec& p = g.party[found_by[pick]];
        const int slot = sub_pack_found_item(g, p, item, 1);
        if (slot < 0) continue; // a full pack: the item is lost
        sub_show_message(g, "");
        sub_read_item(g, item);
        if (p.pack[slot][PACK_IDENTIFIED] == 1)
            sub_show_message(g, p.name.trimmed() + " finds 1 " + g.item_rec.name.trimmed() + ".");
        else
            sub_show_message(g, p.name.trimmed() + " finds something.");
    }
}

void draw_victory(Game& g) {
    load_main_picture(g, "Won.bmp");
    if (!sub_begin_one_time_step(g, SCREEN_COMBAT, COMBAT_VICTORY)) return;
    g.message_line = -1;
    sub_show_message(g, "");
    sub_show_message(g, "The party has won the fight.");
    sub_show_message(g, "");
    sub_show_message(g, "");

    int64_t experience = 0, crowns = 0;
    for (const MonsterGroupRec& group : g.monster_groups) {
        if (group.monster <= 0) continue;
        experience += group.experience;
        crowns += group.crowns;
    }
    // The survivors stand at the front after the round; they are the finders too.
    const std::vector<int> found_by = survivors(g);
    if (!found_by.empty()) {
        const int64_t s = int64_t(found_by.size());
        const int64_t e = share(experience, s);
        const int64_t c = crowns > 0 ? share(crowns, s) : 0;
        std::string text =
            "Each surviving character will receive" + str_form(e) + " experience point" + plural(e);
        if (c > 0) text += " and" + str_form(c) + " imperial crown" + plural(c);
        sub_show_message(g, text + ".");
        for (int slot : found_by) {
            PartyMemberRec& p = g.party[slot];
            p.experience = to_long(double(p.experience) + double(e));
            p.crowns = to_long(double(p.crowns) + double(c));
        }
    }
    // Berserk rage and hiding last until the end of the fight; other effects run on.
    for (PartyMemberRec& p : g.party)
        for (auto& e : p.effects)
            if (e[EFFECT_DURATION] == -2) e = {0, 0, 0};
    set_fixed_fight_flags(g);
    find_treasure(g, found_by);
    sub_end_one_time_step(g);
}

} // namespace

void sub_combat_end_key(Game& g) {
    switch (g.combat_step) {
    case COMBAT_ROUND: {
        int o = std::any_of(g.monster_groups.begin(), g.monster_groups.end(),
                            [](const MonsterGroupRec& m) { return m.count > 0; })
                    ? 1
                    : 0;
        if (!survivors(g).empty()) o += 2;
        if (o == 2) {
            g.combat_step = COMBAT_VICTORY;
        } else if (o == 3) {
            g.combat_member = 0;
            g.combat_step = COMBAT_ENCOUNTER;
        } else {
            g.combat_step = COMBAT_DEFEAT;
        }
        break;
    }
    case COMBAT_DEFEAT:
        g.combat_active = 0;
        g.current_location = LOCATION_GUILD_HALL;
        g.location_step = 0;
        load_main_picture(g, "tavern.bmp");
        break;
    case COMBAT_VICTORY:
        g.combat_active = 0;
        load_main_picture(g, "back.bmp");
        g.message_line = -1;
        sub_show_message(g, "");
        break;
    default:
        break;
    }
}

void sub_draw_combat_end(Game& g) {
    switch (g.combat_step) {
    case COMBAT_ROUND:
        if (!sub_begin_one_time_step(g, SCREEN_COMBAT, COMBAT_ROUND)) return;
        sub_combat_round(g);
        sub_end_one_time_step(g);
        break;
    case COMBAT_DEFEAT:
        draw_defeat(g);
        break;
    case COMBAT_VICTORY:
        draw_victory(g);
        break;
    default:
        break;
    }
}

// The fastest living member sets the pace: 50 in 100, and 5 more for every point of speed
// above 10. Caught, the party takes a round without acting; escaped from a fight that stands
// on its square, it steps back off the square and turns about, as out of a building's door.
void sub_combat_flee(Game& g) {
    int fastest = 0;
    bool any = false;
    for (const PartyMemberRec& p : g.party) {
        if (!alive(p)) continue;
        fastest = any ? std::max<int>(fastest, p.speed) : p.speed;
        any = true;
    }
    const int chance = 50 + 5 * (fastest - 10);
    if (!(sub_random_percent(g) < chance)) {
        g.flee_failed = 1;
        g.combat_step = COMBAT_ROUND;
        return;
    }
    g.message_line = -1;
    sub_show_message(g, "The party flees.");
    g.combat_active = 0;
    load_main_picture(g, "back.bmp");
    const bool fixed_fight =
        std::any_of(g.map_rec.events.begin(), g.map_rec.events.end(), [&](const auto& e) {
            return e[EVENT_KIND] == EVENT_FIGHT && on_party_square(g, e) &&
                   event_condition_holds(e, g.game_flags);
        });
    if (fixed_fight) step_back_and_turn_about(g);
}

} // namespace duskwend
