#pragma once
// The pieces of a combat round and of spell casting, for the round itself, the end of the
// fight and the tests.

#include "core/datafiles.h"

#include <array>
#include <cstdint>

namespace duskwend {

struct Game;

// Initiatives of the party slots for one round (0 for an empty slot).
using PartyInitiative = std::array<int, PARTY_SIZE>;

// The round (combat/round.cpp).
void sub_party_member_attacks(Game& g, int slot);
int sub_monster_defence(Game& g, int group, int member);
void sub_monster_attacks(Game& g, int group, int member);
// A party slot 0..2; MONSTER_TARGET_OWN_GROUP + m for member m of the monster's own group (a
// confused monster); MONSTER_TARGET_NONE when the monster does nothing this turn.
int sub_choose_monster_target(Game& g, int group, int member);
constexpr int MONSTER_TARGET_OWN_GROUP = 10, MONSTER_TARGET_NONE = -10;
void sub_combat_upkeep(Game& g);
void sub_move_dead_members_back(Game& g);

// The effect columns of the round: an effect (kind, strength) applied to one value.
// `level` is the monster's or member's level (kind 4, hidden).
int effect_on_initiative(int value, int kind, int strength);
int effect_on_monster_defence(int value, int kind, int strength);
int effect_on_monster_attack(int value, int kind, int strength, int level);
int effect_on_party_attack(int value, int kind, int strength, int level);

// Does the member carry an active effect of this kind?
bool member_has_effect(const Game& g, int slot, int kind);
// The first effect slot 0..10 whose duration is 0, or -1.
int free_effect_slot(const Game& g, int slot);

// Spells (combat/spells.cpp).
int sub_spell_success_chance(Game& g, int caster);
int sub_spell_amount(Game& g);
int sub_spell_duration(Game& g);
int sub_spell_caster_bonus(Game& g, int value);
void sub_place_spell_effect(Game& g, int effect, int target, int amount, int duration);
void sub_place_combat_spell_effect(Game& g, int effect, int target, int member, int amount,
                                   int duration);

} // namespace duskwend
