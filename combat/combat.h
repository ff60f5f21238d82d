#pragma once
// Fights: how they start, the choice of actions, the round, spells, and how they end.

#include <string>

namespace duskwend {

struct Game;

// The combat screen's key and draw procedures (combat/combat_screen.cpp).
void sub_combat_key(Game& g);
void sub_draw_combat(Game& g);

// Starting a fight and choosing actions (combat/encounter.cpp, combat/combat_screen.cpp).
void sub_start_random_encounter(Game& g);
// Called once per group of a fixed fight, group = 0, 1, 2, ...; event is the map event 0..100.
void sub_start_event_encounter(Game& g, int event, int group);
void sub_compact_monster_groups(Game& g);
// The first slot among slot + 1 .. 6 that is in use and alive, or MAX_PARTY when there is none.
int sub_next_able_member(Game& g, int slot);
void sub_check_combat_item(Game& g, int slot, int item);
// Whether the member in this party slot is choosing an action now: the sheet then lets the
// member change weapons and armour.
bool sub_combat_member_choosing(const Game& g, int slot);
// The member choosing changed weapons or armour on the sheet: that takes the member's
// action, which becomes Defend, and the next member chooses.
void sub_combat_equipment_changed(Game& g);

// The round (combat/round.cpp).
void sub_combat_round(Game& g);

// The end of a round and of the fight (combat/combat_end.cpp): the keys and the drawing of
// COMBAT_ROUND, COMBAT_DEFEAT and COMBAT_VICTORY (any other step is left alone), and fleeing
// from the encounter screen.
void sub_combat_end_key(Game& g);
void sub_draw_combat_end(Game& g);
void sub_combat_flee(Game& g);

// Spells (combat/spells.cpp). Inputs in g.cast_spell, g.cast_caster, g.cast_target; results
// in g.cast_done and g.cast_result.
void sub_cast_spell_outside_combat(Game& g);
void sub_cast_spell_in_combat(Game& g);

} // namespace duskwend
