#pragma once

// The city screen's key and draw procedures and the turn events every key on the map brings.

namespace duskwend {

struct Game;

int sub_city_key(Game& g); // non-zero: the map's turn events follow
void sub_draw_city(Game& g);
void sub_map_turn_events(Game& g);

} // namespace duskwend
