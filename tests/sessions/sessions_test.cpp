// Whole sessions typed through the real program, headless, against a small world the test
// writes: each tests/sessions/<name>.keys is typed with seed 1 and its text dump compared
// with <name>.expected. Where a <name>.state.expected is present, the state dump is compared
// with it too, at the places it names (crowns and hit points that no final screen shows).
// Run with DUSKWEND_UPDATE_SESSIONS=1 to write the expectations anew after a deliberate change
// (a state expectation keeps its places and takes the new values), then read the difference
// before committing it.
#include "support/fixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>

namespace duskwend {

namespace fs = std::filesystem;
using fixture::read_text;

namespace {

const fs::path SESSIONS = fs::path(DUSKWEND_SOURCE_DIR) / "tests" / "sessions";

std::vector<std::string> session_names() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(SESSIONS))
        if (e.path().extension() == ".keys") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Session : public ::testing::TestWithParam<std::string> {};

using nlohmann::json;

bool updating() {
    return std::getenv("DUSKWEND_UPDATE_SESSIONS") != nullptr;
}

void expect_dump(const fs::path& dump, const fs::path& expected_file) {
    const std::string actual = read_text(dump);
    if (updating()) std::ofstream(expected_file, std::ios::binary) << actual;
    EXPECT_EQ(actual, read_text(expected_file)) << expected_file;
}

// The state at the places the expectation names: an object keeps the expected keys only, an
// array keeps all its elements, each shaped like the expected element of its index (or like
// the last one, for elements beyond those listed).
json shaped(const json& actual, const json& shape) {
    if (shape.is_object() && actual.is_object()) {
        json out = json::object();
        for (const auto& [key, value] : shape.items())
            out[key] = actual.contains(key) ? shaped(actual[key], value) : json();
        return out;
    }
    if (shape.is_array() && actual.is_array() && !shape.empty()) {
        json out = json::array();
        for (std::size_t k = 0; k < actual.size(); ++k)
            out.push_back(shaped(actual[k], shape[std::min(k, shape.size() - 1)]));
        return out;
    }
    return actual;
}

// One line per object member or array of objects; other arrays stay on one line.
std::string printed(const json& j, const std::string& indent = "") {
    const bool nested = j.is_object() || (j.is_array() && !j.empty() && j[0].is_object());
    if (!nested) return j.dump();
    const std::string inner = indent + "  ";
    std::string out = j.is_object() ? "{" : "[";
    bool first = true;
    for (auto it = j.begin(); it != j.end(); ++it) {
        out += (first ? "\n" : ",\n") + inner;
        if (j.is_object()) out += json(it.key()).dump() + ": ";
        out += printed(*it, inner);
        first = false;
    }
    return out + "\n" + indent + (j.is_object() ? "}" : "]");
}

void expect_state(const fs::path& dump, const fs::path& expected_file) {
    const json expected = json::parse(read_text(expected_file), nullptr, false);
    ASSERT_FALSE(expected.is_discarded()) << expected_file << " is not JSON";
    const json actual = shaped(json::parse(read_text(dump)), expected);
    if (updating()) {
        std::ofstream(expected_file, std::ios::binary) << printed(actual) << "\n";
        return;
    }
    EXPECT_EQ(actual, expected) << expected_file << ":\n" << printed(actual);
}

TEST_P(Session, DumpsMatchTheExpectations) {
    fixture::SmallWorldDir dir("session");
    const fs::path keys = SESSIONS / (GetParam() + ".keys");
    const fs::path dump = dir.path / "dump.txt", state = dir.path / "state.json";
    const std::string command = std::string("'") + DUSKWEND_BINARY +
                                "' --headless --seed 1 --data-dir '" + dir.path.string() +
                                "' --keys-file '" + keys.string() + "' --dump-text '" +
                                dump.string() + "' --dump-state '" + state.string() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    expect_dump(dump, SESSIONS / (GetParam() + ".expected"));
    const fs::path state_file = SESSIONS / (GetParam() + ".state.expected");
    if (fs::exists(state_file)) expect_state(state, state_file);
}

INSTANTIATE_TEST_SUITE_P(Sessions, Session, ::testing::ValuesIn(session_names()),
                         [](const auto& info) { return info.param; });

} // namespace

} // namespace duskwend
