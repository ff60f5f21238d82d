#pragma once
// What a run leaves behind for a reader: the printed text and the game state.

#include "core/game.h"

#include <nlohmann/json.hpp>

#include <string>

namespace duskwend {

// The picture areas' contents: "[mainPic] name", then "[Text]" and "[SideText]" with one
// line "<y> <x> <colour> <bold> <text>" per printed run.
std::string text_dump(const Game& g);

// Every shared global by name; records as objects keyed by field name.
nlohmann::ordered_json state_dump(const Game& g);

// Writes text to a file, or to stdout for "-"; false when it cannot be written.
bool write_output(const std::string& path, const std::string& text);

} // namespace duskwend
