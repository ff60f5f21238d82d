#include "core/any_key.h"

#include "core/game.h"
#include "core/overlays.h"

namespace duskwend {

void sub_wait_for_any_key(Game& g) {
    g.waits_for_any_key = true;
}

bool sub_waits_for_any_key(const Game& g) {
    if (!is_on(g.keys_enabled) || is_on(g.quit_requested)) return false;
    switch (g.overlays.shown) {
    case OVERLAY_NONE:
        return g.waits_for_any_key;
    case OVERLAY_AUTOMAP:
    case OVERLAY_KEY_HELP:
    case OVERLAY_NOTICE:
        return true;
    default:
        return false; // the log closes on F2 or X only
    }
}

} // namespace duskwend
