#include "combat/combat.h"
#include "core/game.h"
#include "core/screens.h"

// The combat screen. The choice of actions is not yet built; the round and the end of the
// fight are drawn and keyed by combat/combat_end.cpp.
void sub_combat_key(Game& g) {
    if (g.combat_step >= COMBAT_ROUND && g.combat_step <= COMBAT_VICTORY) sub_combat_end_key(g);
}

void sub_draw_combat(Game& g) {
    if (g.combat_step >= COMBAT_ROUND && g.combat_step <= COMBAT_VICTORY) sub_draw_combat_end(g);
}
