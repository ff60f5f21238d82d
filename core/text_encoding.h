#pragma once
// The game's texts are single-byte Windows-1252; the world outside (the screen's font, dumps,
// content sources) speaks UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace duskwend {

// Every byte 0x00..0xFF has a character, so decoding never fails. The five bytes the code page
// leaves undefined come back as the C1 control characters of the same number.
std::string cp1252_to_utf8(std::string_view bytes);

// nullopt when the text is not valid UTF-8 or holds a character the code page cannot store;
// `bad` then names the offending character (or "invalid UTF-8").
std::optional<std::string> utf8_to_cp1252(std::string_view utf8, std::string* bad = nullptr);

} // namespace duskwend
