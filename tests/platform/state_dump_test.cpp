// The state dump walks Game's field lists: every member of Game is listed as dumped or as
// skipped, and every dumped member reaches the dump under its own name and nowhere else.
#include "platform/dumps.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>

namespace duskwend {

namespace {

// A header without its comments and access labels.
std::string declarations(const std::string& file) {
    std::ifstream in(file);
    std::string text{std::istreambuf_iterator<char>(in), {}};
    text = std::regex_replace(text, std::regex(R"(//[^\n]*|/\*[\s\S]*?\*/)"), "");
    return std::regex_replace(text, std::regex(R"(\b(public|private|protected)\s*:(?!:))"), "");
}

// The data members declared in `struct name { ... }`, as the compiler sees them: function
// declarations and bodies and nested type definitions are left out, and every declarator of a
// declaration counts ("int16_t party_x = 0, party_y = 0").
std::vector<std::string> declared_members(const std::string& text, const std::string& name) {
    std::smatch m;
    if (!std::regex_search(text, m, std::regex("\\b(struct|class)\\s+" + name + "\\s*\\{")))
        return {};
    std::vector<std::string> statements(1), names;
    int depth = 0;
    for (std::size_t i = std::size_t(m.position(0) + m.length(0)); i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' && depth++ == 0) statements.back() += "{}";
        if (c == '}' && --depth < 0) break;
        // A function's body ends its declaration; a nested type's or initialiser's does not.
        if (c == '}' && depth == 0 && statements.back().find('(') != std::string::npos)
            statements.emplace_back();
        if (depth > 0 || c == '{' || c == '}') continue;
        if (c == ';')
            statements.emplace_back();
        else
            statements.back() += c;
    }
    // "int (*name)(int)" declares name.
    const std::regex function_pointer(R"(\(\s*\*\s*(\w+)\s*\)\s*\([^)]*\))");
    const std::regex nested_type(R"(^\s*(struct|class|union|enum(\s+class)?)\s+\w+\s*\{\})");
    for (std::string s : statements) {
        s = std::regex_replace(s, nested_type, "");
        s = std::regex_replace(s, function_pointer, " $1");
        if (std::regex_search(
                s, std::regex(R"(^\s*(static|using|friend|typedef|template)\b|\boperator\b)")))
            continue;
        // Declarators are split at commas outside <...>, (...) and initialisers.
        std::vector<std::string> declarators(1);
        int nesting = 0;
        bool function = false;
        for (char c : s) {
            if (c == '(' && nesting == 0 && declarators.back().find('=') == std::string::npos)
                function = true;
            nesting += (c == '<' || c == '(') - (c == '>' || c == ')');
            if (c == ',' && nesting == 0)
                declarators.emplace_back();
            else
                declarators.back() += c;
        }
        if (function) continue;
        for (std::string d : declarators) {
            d = d.substr(0, d.find_first_of("={["));
            static const std::regex identifier(R"(\w+)");
            std::sregex_iterator word(d.begin(), d.end(), identifier), end;
            std::string last;
            for (; word != end; ++word) last = word->str();
            if (!last.empty()) names.push_back(last);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Every name a field list gives, dumped or skipped.
struct Names {
    std::vector<std::string> names;
    template <class T> void operator()(const char* n, const T&) { names.emplace_back(n); }
    void skip(const char* n) { names.emplace_back(n); }
};
template <class T> std::vector<std::string> listed(const T& t) {
    Names v;
    visit_fields(t, v);
    std::sort(v.names.begin(), v.names.end());
    return v.names;
}

TEST(StateDump, EveryMemberOfGameIsDumpedOrSkippedByName) {
    const std::string header = declarations(std::string(DUSKWEND_SOURCE_DIR) + "/core/game.h");
    Game g;
    // Every struct of the header; nothing: skipped whole by Game's list.
    const std::map<std::string, std::optional<std::vector<std::string>>> lists = {
        {"Game", listed(g)},
        {"MonsterGroupRec", listed(g.monster_groups[0])},
        {"OneTimeStep", listed(g.one_time_step)},
        {"SheetUnderneath", listed(g.sheet_underneath)},
        {"Overlays", listed(g.overlays)},
        {"PictureCache", std::nullopt},
    };
    std::set<std::string> structs;
    const std::regex struct_name(R"(\b(?:struct|class)\s+(\w+)\s*\{)");
    for (std::sregex_iterator s(header.begin(), header.end(), struct_name), end; s != end; ++s)
        structs.insert((*s)[1]);
    for (const auto& s : structs) {
        ASSERT_TRUE(lists.count(s)) << "struct " << s << " of core/game.h has no field list here";
        if (!lists.at(s)) continue;
        const std::vector<std::string> declared = declared_members(header, s);
        std::vector<std::string> unlisted, undeclared;
        std::ranges::set_difference(declared, *lists.at(s), std::back_inserter(unlisted));
        std::ranges::set_difference(*lists.at(s), declared, std::back_inserter(undeclared));
        EXPECT_EQ(unlisted, std::vector<std::string>{}) << s << ": neither dumped nor skipped";
        EXPECT_EQ(undeclared, std::vector<std::string>{}) << s << ": listed but not declared";
    }
    EXPECT_EQ(structs.size(), lists.size());
}

// A change to a field of any type the field lists hold: a number, a text, a record, or the
// last element of an array (a list grows by one, a map by one key).
template <class T> void mutate(T& f) {
    if constexpr (std::is_same_v<T, bool>)
        f = !f;
    else if constexpr (std::is_arithmetic_v<T>)
        f = static_cast<T>(f + 1);
    else if constexpr (HasFieldList<T>)
        visit_fields(f, [](const char*, auto& e) { mutate(e); });
    else if constexpr (requires { f.push_back({}); }) {
        typename T::value_type e{};
        mutate(e);
        f.push_back(e);
    } else if constexpr (requires { f.back(); })
        mutate(f.back());
    else if constexpr (requires { f[typename T::key_type{}]; })
        mutate(f[{}]);
    else
        f = "x";
}

// Changes each dumped field in turn: its key of the dump must change, and nothing else.
struct EachFieldReachesTheDump {
    Game& g;
    nlohmann::ordered_json& dump; // the dump before the change
    std::string path;
    void skip(const char*) {}
    template <class T> void operator()(const char* name, T& field) {
        const std::string at = path + "/" + name;
        if constexpr (HasFieldList<T>) {
            visit_fields(field, EachFieldReachesTheDump{g, dump, at});
        } else {
            const nlohmann::ordered_json::json_pointer key(at);
            ASSERT_TRUE(dump.contains(key)) << at;
            mutate(field);
            nlohmann::ordered_json after = state_dump(g);
            EXPECT_NE(dump.at(key), after.at(key)) << at << " does not reach the dump";
            dump.at(key) = after.at(key); // what the change should have made of the dump
            EXPECT_TRUE(dump == after) << at << " changes another key";
            dump = std::move(after);
        }
    }
};

TEST(StateDump, EveryDumpedFieldReachesItsOwnKey) {
    Game g;
    nlohmann::ordered_json dump = state_dump(g);
    visit_fields(g, EachFieldReachesTheDump{g, dump, ""});
}

} // namespace

} // namespace duskwend
