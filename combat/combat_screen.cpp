#include "core/screens.h"

// Combat. Not yet built.
void sub_combat_key(Game&) {}
void sub_draw_combat(Game&) {}
