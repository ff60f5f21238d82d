// The key that reached a screen, read as a letter, a digit, a list place or a party member.
#include "core/game.h"
#include "core/typed_keys.h"

#include <gtest/gtest.h>

#include <vector>

namespace duskwend {

namespace {

TEST(TypedKeys, LettersDigitsAndPackSlots) {
    struct Case {
        std::string key;
        int letter, digit, number, pack_slot;
    };
    const std::vector<Case> cases = {
        {"A", 0, -1, 0, -1}, {"G", 6, -1, 0, -1},   {"Z", 25, -1, 0, -1},  {"a", -1, -1, 0, -1},
        {"1", -1, 1, 1, 0},  {"9", -1, 9, 9, 8},    {"0", -1, 0, 10, 9},   {"+", -1, -1, 0, -1},
        {"", -1, -1, 0, -1}, {"AB", -1, -1, 0, -1}, {"12", -1, -1, 0, -1}, {"\r", -1, -1, 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(key_letter(c.key), c.letter) << '"' << c.key << '"';
        EXPECT_EQ(key_digit(c.key), c.digit) << '"' << c.key << '"';
        EXPECT_EQ(key_number(c.key), c.number) << '"' << c.key << '"';
        EXPECT_EQ(key_pack_slot(c.key), c.pack_slot) << '"' << c.key << '"';
    }
}

TEST(TypedKeys, ALetterBeyondTheListOrAnAbsentMemberIsNoChoice) {
    Game g;
    g.party[0].in_use = 1;
    g.party[2].in_use = 1;
    g.party[7].in_use = 1; // the eighth slot has no letter
    const auto typed = [&](const std::string& key, int count) {
        g.input_line = key;
        return std::pair{typed_letter(g, count), typed_member(g)};
    };
    EXPECT_EQ(typed("A", 3), std::pair(0, 0));
    EXPECT_EQ(typed("B", 3), std::pair(1, -1)) << "no member at B";
    EXPECT_EQ(typed("C", 3), std::pair(2, 2));
    EXPECT_EQ(typed("D", 3), std::pair(-1, -1));
    EXPECT_EQ(typed("H", 26), std::pair(7, -1));
    EXPECT_EQ(typed("c", 26), std::pair(-1, -1));
}

} // namespace

} // namespace duskwend
