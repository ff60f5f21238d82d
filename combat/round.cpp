#include "combat/combat.h"

// The round. Not yet built.
void sub_combat_round(Game&) {}
