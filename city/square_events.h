#pragma once

// The events of the party's square: doors, teleports, pictures, messages, switches, long
// texts and treasure, run after every drawing of the city.

namespace duskwend {

struct Game;

void sub_square_events(Game& g);

} // namespace duskwend
