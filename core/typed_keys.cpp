#include "core/typed_keys.h"

#include "core/game.h"

namespace duskwend {

int key_letter(const std::string& key) {
    return key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z' ? key[0] - 'A' : -1;
}

int key_digit(const std::string& key) {
    return key.size() == 1 && key[0] >= '0' && key[0] <= '9' ? key[0] - '0' : -1;
}

int key_number(const std::string& key) {
    const int d = key_digit(key);
    return d < 0 ? 0 : d == 0 ? 10 : d;
}

int key_pack_slot(const std::string& key) {
    return key_number(key) - 1;
}

int typed_letter(const Game& g, int count) {
    const int i = key_letter(g.input_line);
    return i < count ? i : -1;
}

int typed_member(const Game& g) {
    const int i = typed_letter(g, 7);
    return i >= 0 && g.party[i].in_use > 0 ? i : -1;
}

} // namespace duskwend
