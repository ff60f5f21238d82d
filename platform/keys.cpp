#include "platform/keys.h"

#include "core/dispatch.h"
#include "core/overlays.h"

#include <SDL.h>

#include <cctype>
#include <map>
#include <stdexcept>
#include <utility>

namespace duskwend {

std::optional<KeyPress> key_from_sdl(int32_t k, uint16_t mod) {
    int shift = 0;
    if (mod & KMOD_SHIFT) shift |= SHIFT_MASK;
    if (mod & KMOD_CTRL) shift |= CTRL_MASK;
    if (mod & KMOD_ALT) shift |= ALT_MASK;
    const auto press = [&](int code) { return KeyPress{static_cast<int16_t>(code), shift}; };

    if (k >= SDLK_a && k <= SDLK_z) return press('A' + (k - SDLK_a));
    if (k >= SDLK_0 && k <= SDLK_9) return press('0' + (k - SDLK_0));
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return press('1' + (k - SDLK_KP_1));
    if (k == SDLK_KP_0) return press('0');
    // The editing keys, and the overlays' keys (caught before the key line).
    static const std::map<SDL_Keycode, int> NAMED = {
        {SDLK_BACKSPACE, VK_BACK}, {SDLK_RETURN, VK_RETURN}, {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_LSHIFT, VK_SHIFT},   {SDLK_RSHIFT, VK_SHIFT},  {SDLK_CAPSLOCK, VK_CAPITAL},
        {SDLK_SPACE, VK_SPACE},    {SDLK_TAB, VK_TAB},       {SDLK_F1, VK_F1},
        {SDLK_F2, VK_F2},          {SDLK_F5, VK_F5},         {SDLK_F6, VK_F6}};
    // The arrows, and the keys that work as Left and Right: the menus print "+." and "-.", and
    // the plus key is the one that carries "=" on the main row.
    static const std::map<SDL_Keycode, int> ARROWS = {
        {SDLK_LEFT, VK_LEFT},     {SDLK_UP, VK_UP},      {SDLK_RIGHT, VK_RIGHT},
        {SDLK_DOWN, VK_DOWN},     {SDLK_PLUS, VK_RIGHT}, {SDLK_EQUALS, VK_RIGHT},
        {SDLK_KP_PLUS, VK_RIGHT}, {SDLK_MINUS, VK_LEFT}, {SDLK_KP_MINUS, VK_LEFT}};
    for (const auto* keys : {&NAMED, &ARROWS})
        if (const auto key = keys->find(k); key != keys->end()) return press(key->second);
    return std::nullopt;
}

namespace {

const std::map<std::string, int16_t>& named_keys() {
    static const std::map<std::string, int16_t> named = {
        {"up", VK_UP},        {"down", VK_DOWN},      {"left", VK_LEFT},   {"right", VK_RIGHT},
        {"enter", VK_RETURN}, {"backspace", VK_BACK}, {"shift", VK_SHIFT}, {"capslock", VK_CAPITAL},
        {"tab", VK_TAB},      {"f1", VK_F1},          {"f2", VK_F2},       {"f5", VK_F5},
        {"f6", VK_F6}};
    return named;
}

const std::string shifted_digits = ")!@#$%^&*(";

} // namespace

std::vector<KeyPress> parse_key_script(const std::string& script) {
    return read_key_script(script).keys;
}

std::optional<uint64_t> seed_from_digits(const std::string& digits) {
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    uint64_t n = 0;
    for (char c : digits) {
        const uint64_t d = static_cast<uint64_t>(c - '0');
        if (n > (UINT64_MAX - d) / 10) return std::nullopt;
        n = n * 10 + d;
    }
    return n;
}

KeyScript read_key_script(const std::string& script) {
    const auto& named = named_keys();
    KeyScript result;
    std::vector<KeyPress>& keys = result.keys;
    for (std::size_t i = 0; i < script.size(); ++i) {
        const char c = script[i];
        if (c == '\n' || c == '\r') continue;
        if (c >= 'a' && c <= 'z') {
            keys.push_back({static_cast<int16_t>(c - 'a' + 'A'), 0});
        } else if (c >= 'A' && c <= 'Z') {
            keys.push_back({static_cast<int16_t>(c), SHIFT_MASK});
        } else if (c >= '0' && c <= '9') {
            keys.push_back({static_cast<int16_t>(c), 0});
        } else if (auto d = shifted_digits.find(c); d != std::string::npos) {
            keys.push_back({static_cast<int16_t>('0' + d), SHIFT_MASK});
        } else if (c == ' ') {
            keys.push_back({VK_SPACE, 0});
        } else if (c == '+') {
            keys.push_back({VK_RIGHT, 0});
        } else if (c == '-') {
            keys.push_back({VK_LEFT, 0});
        } else if (c == '{') {
            const auto end = script.find('}', i);
            const std::string name =
                end == std::string::npos ? "" : script.substr(i + 1, end - i - 1);
            if (name.rfind("seed ", 0) == 0) {
                result.seed = seed_from_digits(name.substr(5));
                if (!result.seed)
                    throw std::invalid_argument(
                        "the seed {" + name + "} at position " + std::to_string(i + 1) +
                        " is not a whole number from 0 to " + std::to_string(UINT64_MAX));
                i = end;
                continue;
            }
            const auto it = named.find(name);
            if (it == named.end())
                throw std::invalid_argument("unknown key {" + name + "} at position " +
                                            std::to_string(i + 1));
            keys.push_back({it->second, 0});
            i = end;
        } else {
            throw std::invalid_argument(std::string("no key types '") + c + "' (position " +
                                        std::to_string(i + 1) + ")");
        }
    }
    return result;
}

std::string key_script_text(const KeyPress& key) {
    // The key line adds 32 to a key only for Shift alone; with Ctrl or Alt the key is plain.
    const bool shifted = key.shift == SHIFT_MASK;
    const int c = key.code;
    if (c >= 'A' && c <= 'Z') return std::string(1, static_cast<char>(shifted ? c : c - 'A' + 'a'));
    if (c >= '0' && c <= '9')
        return std::string(1, shifted ? shifted_digits[c - '0'] : static_cast<char>(c));
    if (c == VK_SPACE) return " ";
    // Shift and Enter put a minus on the key line, as the minus key does.
    if (c == VK_RETURN && shifted) return "-";
    for (const auto& [name, code] : named_keys())
        if (code == c) return "{" + name + "}";
    return "";
}

} // namespace duskwend
