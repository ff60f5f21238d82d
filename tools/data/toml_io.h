#pragma once
// Reading record fields from TOML tables with file:line diagnostics, and writing them back as
// TOML text. The generic parts walk a record's field list (visit_fields), so every field of
// every record, the unused ones included, has a source form.

#include "core/records.h"
#include "tools/data/diagnostics.h"

#include <toml++/toml.h>

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace duskwend {

// A code with a name in the sources ("two-handed" for item kind 2).
struct NamedCode {
    int value;
    const char* name;
};
using CodeNames = std::span<const NamedCode>;

std::optional<int> code_of(CodeNames names, std::string_view name);
const char* name_of(CodeNames names, int value); // nullptr when the code has no name

int line_of(const toml::node& n);

// One source file being read.
struct Source {
    std::string file;
    Diagnostics* diags;
    void error(int line, std::string message) const {
        diags->error(file, line, std::move(message));
    }
    void problem(int line, std::string message) const {
        diags->error(file, line, std::move(message), true);
    }
};

// Reads the keys of one table; keys nobody asked for are reported by finish().
class TableReader {
  public:
    TableReader(const toml::table& table, const Source& src, int line)
        : table_(table), src_(src), line_(line) {}

    const toml::node* take(std::string_view key);
    bool has(std::string_view key) const { return table_.contains(key); }
    int line() const { return line_; }
    const Source& source() const { return src_; }
    void finish();

    // Each returns false (after reporting) when the key is present but unusable; a missing key
    // leaves the target alone and returns true.
    bool integer(std::string_view key, int16_t& out, CodeNames names = {});
    bool integer(std::string_view key, int32_t& out);
    template <std::size_t N> bool text(std::string_view key, FixedText<N>& out);

    // Every field of rec not listed in `done`, read in the generic form.
    template <class Rec> void rest(Rec& rec, const std::set<std::string>& done);

  private:
    const toml::table& table_;
    const Source& src_;
    int line_;
    std::set<std::string, std::less<>> taken_;
};

// Generic value readers; `what` names the field in messages.
bool read_value(const toml::node& n, int16_t& out, const Source& src, const std::string& what,
                CodeNames names = {});
bool read_value(const toml::node& n, int32_t& out, const Source& src, const std::string& what);
// The text of a string node in the code page, at most `length` characters.
std::optional<std::string> read_text(const toml::node& n, std::size_t length, const Source& src,
                                     const std::string& what);
std::optional<std::string> text_in_code_page(const std::string& utf8, int line, std::size_t length,
                                             const Source& src, const std::string& what);
template <std::size_t N>
bool read_value(const toml::node& n, FixedText<N>& out, const Source& src,
                const std::string& what) {
    auto t = read_text(n, N, src, what);
    if (t) out = *t;
    return t.has_value();
}
template <class T, std::size_t N>
bool read_value(const toml::node& n, std::array<T, N>& out, const Source& src,
                const std::string& what) {
    const auto* arr = n.as_array();
    if (!arr) {
        src.error(line_of(n), "'" + what + "' should be an array");
        return false;
    }
    if (arr->size() > N) {
        src.error(line_of(n), "'" + what + "' has " + std::to_string(arr->size()) +
                                  " elements; it holds at most " + std::to_string(N));
        return false;
    }
    bool ok = true;
    for (std::size_t k = 0; k < arr->size(); ++k)
        ok = read_value((*arr)[k], out[k], src, what + "[" + std::to_string(k) + "]") && ok;
    return ok;
}

template <std::size_t N> bool TableReader::text(std::string_view key, FixedText<N>& out) {
    const auto* n = take(key);
    return !n || read_value(*n, out, src_, std::string(key));
}

template <class Rec> void TableReader::rest(Rec& rec, const std::set<std::string>& done) {
    visit_fields(rec, [&](const char* name, auto& field) {
        if (done.count(name)) return;
        if (const auto* n = take(name)) read_value(*n, field, src_, name);
    });
}

// ---- writing ----

// A TOML string: a basic string with escapes, so any byte of a field survives.
std::string toml_string(std::string_view utf8);
// A text field as stored, without its trailing blanks, in TOML.
std::string toml_stored_text(const std::string& bytes);
template <std::size_t N> std::string toml_text(const FixedText<N>& t) {
    return toml_stored_text(t.trimmed());
}

std::string render(int16_t v);
std::string render(int32_t v);
template <std::size_t N> std::string render(const FixedText<N>& t) {
    return toml_text(t);
}
template <class T, std::size_t N> std::string render(const std::array<T, N>& a) {
    std::size_t used = N;
    while (used > 0 && render(a[used - 1]) == render(T{})) --used;
    std::string s = "[";
    for (std::size_t k = 0; k < used; ++k) s += (k ? ", " : "") + render(a[k]);
    return s + "]";
}

// Lines "name = value" for every field of rec not in `done` whose value differs from the same
// field of `base` (a zero record for entries, the default header for headers).
template <class Rec>
std::string render_rest(const Rec& rec, const Rec& base, const std::set<std::string>& done) {
    std::vector<std::pair<std::string, std::string>> fields;
    visit_fields(rec, [&](const char* name, const auto& f) {
        if (!done.count(name)) fields.emplace_back(name, render(f));
    });
    std::string out;
    std::vector<std::string> base_values;
    visit_fields(base, [&](const char* name, const auto& f) {
        if (!done.count(name)) base_values.push_back(render(f));
    });
    for (std::size_t k = 0; k < fields.size(); ++k)
        if (fields[k].second != base_values[k])
            out += fields[k].first + " = " + fields[k].second + "\n";
    return out;
}

// Long texts (map texts, spell descriptions): a line break in the source stands for the marker
// "\n" and an empty line for "\N" (see text_codec.h).
std::optional<std::string> read_long_text(const toml::node& n, std::size_t length,
                                          const Source& src, const std::string& what);
// A '''multi-line''' literal when the text reads back exactly that way, else a plain string.
std::string render_long_text(const std::string& stored_trimmed);

} // namespace duskwend
