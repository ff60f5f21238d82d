#include "core/game.h"

namespace duskwend {

Game::Game() : host(&default_host_) {}

void Game::set_font(const FontMetrics* f) {
    Form1.Text.font = f;
    Form1.SideText.font = f;
}

} // namespace duskwend
