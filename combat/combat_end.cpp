#include "combat/combat.h"

// The end of a round and of the fight. Not yet built.
void sub_combat_end_key(Game&) {}
void sub_draw_combat_end(Game&) {}
void sub_combat_flee(Game&) {}
