#include "core/screens.h"

// The temples. Not yet open.
void sub_temple_key(Game&) {}
void sub_draw_temple(Game&) {}
