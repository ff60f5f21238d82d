#pragma once
// Start-up, the key-line editor and the two dispatchers. The dispatchers reach the screens
// through the slots of Game::screens (core/screens.h): core/ names no screen.

#include <cstdint>

namespace duskwend {

struct Game;

// Modifier mask of a key: summed.
constexpr int SHIFT_MASK = 1, CTRL_MASK = 2, ALT_MASK = 4;

// Virtual-key codes the game knows.
constexpr int16_t VK_BACK = 8, VK_RETURN = 13, VK_SHIFT = 16, VK_CAPITAL = 20, VK_SPACE = 32,
                  VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40;

// The window has opened: show the tavern, start the game, draw the guild hall. Throws
// std::logic_error when the screens were never handed to the game (screens/register_screens).
void Form_Load(Game& g);
// One key: key_code is a virtual-key code, shift the modifier mask. key_code is set to 0 for
// every key the game handled.
void Form_KeyDown(Game& g, int16_t& key_code, int shift);

void sub_initialise(Game& g);
void sub_set_default_roster(Game& g);
void sub_dispatch_input(Game& g);
void sub_render_screen(Game& g);

} // namespace duskwend
