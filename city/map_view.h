#pragma once

// The first-person view of the city: up to ten wall faces in three depths, composed from the
// six wall holders onto back.bmp (or the map's own back<N>.bmp) in mainPic.

namespace duskwend {

struct Game;

void sub_draw_view(Game& g);

} // namespace duskwend
