#pragma once
// The game's texts are single-byte Windows-1252; the world outside speaks UTF-8.

#include <string>
#include <string_view>

std::string cp1252_to_utf8(std::string_view text);
// Characters that Windows-1252 cannot hold become '?'.
std::string utf8_to_cp1252(std::string_view text);
