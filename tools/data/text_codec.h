#pragma once
// Line markers of long texts, as sources write them. The code page itself: core/text_encoding.h.

#include "core/text_encoding.h"

#include <optional>
#include <string>
#include <string_view>

namespace duskwend {

// Long texts and spell descriptions hold the game's line markers "\n" (new line) and "\N" (new
// line and an empty line). In a source a line break stands for "\n" and an empty line for "\N";
// markers may also be typed as they are stored.
std::string markers_from_lines(std::string_view source);
// The inverse for the decompiler; nullopt when the text cannot be written with line breaks so
// that markers_from_lines gives it back exactly.
std::optional<std::string> lines_from_markers(std::string_view stored);

} // namespace duskwend
