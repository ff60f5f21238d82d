#include "core/text_encoding.h"

#include <array>
#include <cstdint>

namespace duskwend {

namespace {

// Characters of bytes 0x80..0x9F; the rest of the page equals Unicode.
constexpr std::array<char32_t, 32> HIGH = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void put_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::optional<char32_t> next_utf8(std::string_view s, std::size_t& i) {
    auto b = static_cast<uint8_t>(s[i++]);
    if (b < 0x80) return b;
    int more = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (more < 0 || b >= 0xF8) return std::nullopt;
    char32_t c = b & (0x3F >> more);
    for (int k = 0; k < more; ++k) {
        if (i >= s.size()) return std::nullopt;
        auto t = static_cast<uint8_t>(s[i++]);
        if ((t & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (t & 0x3F);
    }
    return c;
}

} // namespace

std::string cp1252_to_utf8(std::string_view bytes) {
    std::string out;
    for (char ch : bytes) {
        auto b = static_cast<uint8_t>(ch);
        put_utf8(out, b >= 0x80 && b < 0xA0 ? HIGH[b - 0x80] : char32_t{b});
    }
    return out;
}

std::optional<std::string> utf8_to_cp1252(std::string_view utf8, std::string* bad) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t start = i;
        auto c = next_utf8(utf8, i);
        if (!c) {
            if (bad) *bad = "invalid UTF-8";
            return std::nullopt;
        }
        if (*c < 0x80 || (*c >= 0xA0 && *c <= 0xFF)) {
            out += static_cast<char>(*c);
            continue;
        }
        bool found = false;
        for (std::size_t k = 0; k < HIGH.size() && !found; ++k)
            if (HIGH[k] == *c) {
                out += static_cast<char>(0x80 + k);
                found = true;
            }
        if (!found) {
            if (bad) *bad = std::string(utf8.substr(start, i - start));
            return std::nullopt;
        }
    }
    return out;
}

} // namespace duskwend
