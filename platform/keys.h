#pragma once
// Turning the machine's keys into the virtual-key codes and Shift/Ctrl/Alt mask the game
// takes, and key scripts into the same.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace duskwend {

struct KeyPress {
    int16_t code = 0; // virtual-key code
    int shift = 0;    // 1 Shift, 2 Ctrl, 4 Alt, summed
    bool operator==(const KeyPress&) const = default;
};

// An SDL key (keycode and modifier state) as the game sees it; nothing for keys the game
// does not take. The plus and minus keys arrive as the Right and Left arrows.
std::optional<KeyPress> key_from_sdl(int32_t sdl_keycode, uint16_t sdl_modifiers);

// Parses a key script; throws std::invalid_argument naming the position of a bad key.
std::vector<KeyPress> parse_key_script(const std::string& script);

// A key script with the seed a recording started from: "{seed N}" anywhere in the script.
struct KeyScript {
    std::vector<KeyPress> keys;
    std::optional<uint64_t> seed;
};
KeyScript read_key_script(const std::string& script);

// The seed written as decimal digits, when it is one a 64-bit seed can hold (0 to 2^64 - 1).
std::optional<uint64_t> seed_from_digits(const std::string& digits);

// One key as key-script text that types the same key ("a", "A", "{enter}", "{f1}").
std::string key_script_text(const KeyPress& key);

} // namespace duskwend
