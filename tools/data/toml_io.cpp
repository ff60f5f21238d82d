#include "tools/data/toml_io.h"

#include "tools/data/text_codec.h"

#include <cstdio>
#include <utility>

namespace duskwend {

std::optional<int> code_of(CodeNames names, std::string_view name) {
    for (const auto& n : names)
        if (name == n.name) return n.value;
    return std::nullopt;
}

const char* name_of(CodeNames names, int value) {
    for (const auto& n : names)
        if (n.value == value) return n.name;
    return nullptr;
}

int line_of(const toml::node& n) {
    return static_cast<int>(n.source().begin.line);
}

namespace {

const char* type_word(const toml::node& n) {
    using T = toml::node_type;
    constexpr std::pair<T, const char*> WORDS[] = {{T::string, "a string"},
                                                   {T::integer, "an integer"},
                                                   {T::floating_point, "a number with a fraction"},
                                                   {T::boolean, "true/false"},
                                                   {T::array, "an array"},
                                                   {T::table, "a table"}};
    for (const auto& [type, word] : WORDS)
        if (n.type() == type) return word;
    return "a date or time";
}

std::string name_list(CodeNames names) {
    std::string s;
    for (const auto& n : names) s += (s.empty() ? "\"" : ", \"") + std::string(n.name) + "\"";
    return s;
}

bool read_integer(const toml::node& n, int64_t low, int64_t high, const char* range_name,
                  int64_t& out, const Source& src, const std::string& what) {
    if (!n.is_integer()) {
        src.error(line_of(n), "'" + what + "' should be an integer, not " + type_word(n));
        return false;
    }
    int64_t v = n.as_integer()->get();
    if (v < low || v > high) {
        src.error(line_of(n), "'" + what + "' = " + std::to_string(v) + " is outside the " +
                                  range_name + " range " + std::to_string(low) + ".." +
                                  std::to_string(high));
        return false;
    }
    out = v;
    return true;
}

} // namespace

bool read_value(const toml::node& n, int16_t& out, const Source& src, const std::string& what,
                CodeNames names) {
    if (!names.empty() && n.is_string()) {
        const std::string& s = n.as_string()->get();
        if (auto c = code_of(names, s)) {
            out = static_cast<int16_t>(*c);
            return true;
        }
        src.error(line_of(n), "'" + what + "' = \"" + s + "\" is not one of " + name_list(names));
        return false;
    }
    if (!names.empty() && !n.is_integer()) {
        src.error(line_of(n), "'" + what + "' should be one of " + name_list(names) +
                                  " or an integer, not " + type_word(n));
        return false;
    }
    int64_t v = 0;
    if (!read_integer(n, INT16_MIN, INT16_MAX, "Integer", v, src, what)) return false;
    out = static_cast<int16_t>(v);
    return true;
}

bool read_value(const toml::node& n, int32_t& out, const Source& src, const std::string& what) {
    int64_t v = 0;
    if (!read_integer(n, INT32_MIN, INT32_MAX, "Long", v, src, what)) return false;
    out = static_cast<int32_t>(v);
    return true;
}

std::optional<std::string> read_text(const toml::node& n, std::size_t length, const Source& src,
                                     const std::string& what) {
    if (!n.is_string()) {
        src.error(line_of(n), "'" + what + "' should be a string, not " + type_word(n));
        return std::nullopt;
    }
    return text_in_code_page(n.as_string()->get(), line_of(n), length, src, what);
}

std::optional<std::string> text_in_code_page(const std::string& utf8, int line, std::size_t length,
                                             const Source& src, const std::string& what) {
    std::string bad;
    auto bytes = utf8_to_cp1252(utf8, &bad);
    if (!bytes) {
        src.error(line, "'" + what + "' holds " +
                            (bad == "invalid UTF-8" ? bad : "the character '" + bad + "'") +
                            ", which the game's text cannot store");
        return std::nullopt;
    }
    if (bytes->size() > length) {
        src.error(line, "'" + what + "' is " + std::to_string(bytes->size()) +
                            " characters long; the field holds " + std::to_string(length));
        return std::nullopt;
    }
    return bytes;
}

const toml::node* TableReader::take(std::string_view key) {
    const auto* n = table_.get(key);
    if (n) taken_.emplace(key);
    return n;
}

void TableReader::finish() {
    for (auto&& [k, v] : table_)
        if (!taken_.count(k.str()))
            src_.error(k.source().begin.line ? static_cast<int>(k.source().begin.line) : line_of(v),
                       "unknown field '" + std::string(k.str()) + "'");
}

bool TableReader::integer(std::string_view key, int16_t& out, CodeNames names) {
    const auto* n = take(key);
    return !n || read_value(*n, out, src_, std::string(key), names);
}

bool TableReader::integer(std::string_view key, int32_t& out) {
    const auto* n = take(key);
    return !n || read_value(*n, out, src_, std::string(key));
}

std::string toml_string(std::string_view utf8) {
    std::string s = "\"";
    for (char ch : utf8) {
        auto b = static_cast<unsigned char>(ch);
        if (ch == '"')
            s += "\\\"";
        else if (ch == '\\')
            s += "\\\\";
        else if (b < 0x20 || b == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", b);
            s += buf;
        } else
            s += ch;
    }
    return s + "\"";
}

std::string render(int16_t v) {
    return std::to_string(v);
}
std::string render(int32_t v) {
    return std::to_string(v);
}

std::string toml_stored_text(const std::string& bytes) {
    return toml_string(cp1252_to_utf8(bytes));
}

std::optional<std::string> read_long_text(const toml::node& n, std::size_t length,
                                          const Source& src, const std::string& what) {
    if (!n.is_string()) {
        src.error(line_of(n), "'" + what + "' should be a string, not " + type_word(n));
        return std::nullopt;
    }
    return text_in_code_page(markers_from_lines(n.as_string()->get()), line_of(n), length, src,
                             what);
}

std::string render_long_text(const std::string& stored_trimmed) {
    std::string utf8 = cp1252_to_utf8(stored_trimmed);
    auto lines = lines_from_markers(utf8);
    bool literal_ok = lines && lines->find("'''") == std::string::npos && lines->back() != '\'';
    if (literal_ok)
        for (char ch : *lines) {
            auto b = static_cast<unsigned char>(ch);
            if ((b < 0x20 && ch != '\n') || b == 0x7F) literal_ok = false;
        }
    if (!literal_ok) return toml_string(utf8);
    return "'''\n" + *lines + "\n'''";
}

} // namespace duskwend
