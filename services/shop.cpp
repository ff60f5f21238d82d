#include "core/screens.h"

// The equipment shop. Not yet open.
void sub_shop_key(Game&) {}
void sub_draw_shop(Game&) {}
