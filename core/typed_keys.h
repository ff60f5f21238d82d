#pragma once
// The key that reached a screen, read as a choice: a letter of a list, a digit, a party member,
// a pack slot. The key line holds the one character of that key ("A", "7", "+", "U", "\r").

#include <string>

namespace duskwend {

struct Game;

// "A".."Z" as 0..25; -1 for any other key.
int key_letter(const std::string& key);
// "0".."9" as 0..9; -1 for any other key.
int key_digit(const std::string& key);
// A digit key as a place in a list of ten: "1".."9" as 1..9, "0" as 10; 0 for other keys.
int key_number(const std::string& key);
// The pack slot a digit key chooses: "1".."9" slots 0..8, "0" slot 9; -1 for other keys.
int key_pack_slot(const std::string& key);

// The letter typed as an index from "A" = 0, when it is one of the first `count` letters;
// otherwise -1.
int typed_letter(const Game& g, int count = 26);
// The party member typed: A..G naming a present member, or -1. The letters reach the first
// seven party positions.
int typed_member(const Game& g);

} // namespace duskwend
