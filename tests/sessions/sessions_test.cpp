// Whole sessions typed through the real program, headless, against a small world the test
// writes: each tests/sessions/<name>.keys is typed with seed 1 and its text dump compared
// with <name>.expected. Run with DUSKWEND_UPDATE_SESSIONS=1 to write the expectations anew
// after a deliberate change, then read the difference before committing it.
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

const fs::path SESSIONS = fs::path(DUSKWEND_SOURCE_DIR) / "tests" / "sessions";

std::string read_text(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> session_names() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(SESSIONS))
        if (e.path().extension() == ".keys") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Session : public ::testing::TestWithParam<std::string> {};

TEST_P(Session, TextDumpMatchesTheExpectation) {
    fixture::TempDir dir("session");
    fixture::write_small_world(dir.path);
    const fs::path keys = SESSIONS / (GetParam() + ".keys");
    const fs::path dump = dir.path / "dump.txt";
    const std::string command = std::string("'") + DUSKWEND_BINARY +
                                "' --headless --seed 1 --data-dir '" + dir.path.string() +
                                "' --keys-file '" + keys.string() + "' --dump-text '" +
                                dump.string() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    const std::string actual = read_text(dump);
    const fs::path expected_file = SESSIONS / (GetParam() + ".expected");
    if (std::getenv("DUSKWEND_UPDATE_SESSIONS"))
        std::ofstream(expected_file, std::ios::binary) << actual;
    EXPECT_EQ(actual, read_text(expected_file));
}

INSTANTIATE_TEST_SUITE_P(Sessions, Session, ::testing::ValuesIn(session_names()),
                         [](const auto& info) { return info.param; });

} // namespace
