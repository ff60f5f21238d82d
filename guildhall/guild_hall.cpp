#include "core/screens.h"

// The guild hall: roster, party, creation, save and load, the inn. Not yet open.
void sub_guild_hall_key(Game&) {}
void sub_draw_guild_hall(Game&) {}
