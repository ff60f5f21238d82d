#include "core/screens.h"

// The review board. Not yet open.
void sub_review_board_key(Game&) {}
void sub_draw_review_board(Game&) {}
