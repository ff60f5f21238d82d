#pragma once

// The layer above the screen folders: it hands every screen's key and draw procedures to the
// dispatchers of core/, which name no screen themselves. The platform, the tools and the tests'
// started games call it before the first key.

namespace duskwend {

struct Game;

void register_screens(Game& g);

} // namespace duskwend
