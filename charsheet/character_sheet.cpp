#include "core/screens.h"

// The character sheet. Not yet built.
void sub_character_sheet_key(Game&) {}
void sub_draw_character_sheet(Game&) {}
