#include "combat/combat.h"

// Spell casting. Not yet built.
void sub_cast_spell_outside_combat(Game&) {}
void sub_cast_spell_in_combat(Game&) {}
