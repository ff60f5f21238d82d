#include "core/game.h"
#include "core/screens.h"

// The character sheet. Its pages are not built yet; X already closes it, so a digit typed
// by mistake does not hold the keys for ever.
void sub_character_sheet_key(Game& g) {
    if (g.input_line == "X") {
        g.sheet_member = 0;
        g.sheet_step = 0;
    }
}

void sub_draw_character_sheet(Game&) {}
