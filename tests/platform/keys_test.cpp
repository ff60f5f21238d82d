// The machine's keys and key scripts as the game receives them.
#include "core/dispatch.h"
#include "core/overlays.h"
#include "platform/keys.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace duskwend {

namespace {

TEST(Keys, MachineKeysBecomeVirtualKeyCodes) {
    EXPECT_EQ(key_from_sdl(SDLK_a, KMOD_NONE), (KeyPress{65, 0}));
    EXPECT_EQ(key_from_sdl(SDLK_z, KMOD_LSHIFT), (KeyPress{90, SHIFT_MASK}));
    EXPECT_EQ(key_from_sdl(SDLK_0, KMOD_NONE), (KeyPress{48, 0}));
    EXPECT_EQ(key_from_sdl(SDLK_9, KMOD_RSHIFT | KMOD_LCTRL),
              (KeyPress{57, SHIFT_MASK | CTRL_MASK}));
    EXPECT_EQ(key_from_sdl(SDLK_KP_7, KMOD_NONE), (KeyPress{55, 0}));
    EXPECT_EQ(key_from_sdl(SDLK_BACKSPACE, KMOD_NONE), (KeyPress{VK_BACK, 0}));
    EXPECT_EQ(key_from_sdl(SDLK_RETURN, KMOD_LALT), (KeyPress{VK_RETURN, ALT_MASK}));
    EXPECT_EQ(key_from_sdl(SDLK_LSHIFT, KMOD_LSHIFT), (KeyPress{VK_SHIFT, SHIFT_MASK}));
    EXPECT_EQ(key_from_sdl(SDLK_CAPSLOCK, KMOD_NONE), (KeyPress{VK_CAPITAL, 0}));
    EXPECT_EQ(key_from_sdl(SDLK_SPACE, KMOD_NONE), (KeyPress{VK_SPACE, 0}));
    EXPECT_EQ(key_from_sdl(SDLK_UP, KMOD_NONE), (KeyPress{VK_UP, 0}));
    // Plus and minus, main row and keypad, arrive as the Right and Left arrows.
    EXPECT_EQ(key_from_sdl(SDLK_EQUALS, KMOD_LSHIFT), (KeyPress{VK_RIGHT, SHIFT_MASK}));
    EXPECT_EQ(key_from_sdl(SDLK_KP_PLUS, KMOD_NONE), (KeyPress{VK_RIGHT, 0}));
    EXPECT_EQ(key_from_sdl(SDLK_MINUS, KMOD_NONE), (KeyPress{VK_LEFT, 0}));
    EXPECT_EQ(key_from_sdl(SDLK_KP_MINUS, KMOD_NONE), (KeyPress{VK_LEFT, 0}));
    for (SDL_Keycode other :
         {SDLK_ESCAPE, SDLK_F3, SDLK_PERIOD, SDLK_SLASH, SDLK_LCTRL, SDLK_DELETE})
        EXPECT_FALSE(key_from_sdl(other, KMOD_NONE)) << SDL_GetKeyName(other);
    // The overlays' keys.
    EXPECT_EQ(key_from_sdl(SDLK_TAB, KMOD_NONE), (KeyPress{VK_TAB, 0}));
    EXPECT_EQ(key_from_sdl(SDLK_F1, KMOD_NONE), (KeyPress{VK_F1, 0}));
    EXPECT_EQ(key_from_sdl(SDLK_F2, KMOD_NONE), (KeyPress{VK_F2, 0}));
    EXPECT_EQ(key_from_sdl(SDLK_F5, KMOD_NONE), (KeyPress{VK_F5, 0}));
}

TEST(Keys, ScriptsTypeAsOnAUsKeyboard) {
    EXPECT_EQ(parse_key_script("aZ0"), (std::vector<KeyPress>{{65, 0}, {90, SHIFT_MASK}, {48, 0}}));
    EXPECT_EQ(parse_key_script("!)"), (std::vector<KeyPress>{{49, SHIFT_MASK}, {48, SHIFT_MASK}}));
    EXPECT_EQ(parse_key_script(" +-"),
              (std::vector<KeyPress>{{VK_SPACE, 0}, {VK_RIGHT, 0}, {VK_LEFT, 0}}));
    EXPECT_EQ(parse_key_script("{up}\n{down}{left}{right}\r\n{enter}{backspace}{shift}{capslock}"),
              (std::vector<KeyPress>{{VK_UP, 0},
                                     {VK_DOWN, 0},
                                     {VK_LEFT, 0},
                                     {VK_RIGHT, 0},
                                     {VK_RETURN, 0},
                                     {VK_BACK, 0},
                                     {VK_SHIFT, 0},
                                     {VK_CAPITAL, 0}}));
    EXPECT_TRUE(parse_key_script("").empty());
    EXPECT_THROW(parse_key_script("{up"), std::invalid_argument);
    EXPECT_THROW(parse_key_script("{Up}"), std::invalid_argument);
    EXPECT_THROW(parse_key_script("a.b"), std::invalid_argument);
    EXPECT_THROW(parse_key_script("\t"), std::invalid_argument);
}

} // namespace

} // namespace duskwend
