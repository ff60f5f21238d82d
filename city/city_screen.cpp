#include "core/screens.h"

// The city screen: view, walking and party order. Not yet open.
int sub_city_key(Game&) { return -1; }
void sub_draw_city(Game&) {}
