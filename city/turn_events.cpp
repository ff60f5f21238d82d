#include "core/screens.h"

// What passing time does on the map. Not yet built.
void sub_map_turn_events(Game&) {}
