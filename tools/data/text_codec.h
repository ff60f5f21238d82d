#pragma once
// Texts in the data files are single-byte Windows-1252; content sources are UTF-8.

#include <optional>
#include <string>
#include <string_view>

// Every byte 0x00..0xFF has a character, so decoding never fails. The five bytes the code page
// leaves undefined come back as the C1 control characters of the same number.
std::string cp1252_to_utf8(std::string_view bytes);

// nullopt when the text is not valid UTF-8 or holds a character the code page cannot store;
// `bad` then names the offending character (or "invalid UTF-8").
std::optional<std::string> utf8_to_cp1252(std::string_view utf8, std::string* bad = nullptr);

// Long texts and spell descriptions hold the game's line markers "\n" (new line) and "\N" (new
// line and an empty line). In a source a line break stands for "\n" and an empty line for "\N";
// markers may also be typed as they are stored.
std::string markers_from_lines(std::string_view source);
// The inverse for the decompiler; nullopt when the text cannot be written with line breaks so
// that markers_from_lines gives it back exactly.
std::optional<std::string> lines_from_markers(std::string_view stored);
