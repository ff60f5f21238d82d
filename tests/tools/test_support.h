#pragma once
// Scratch folders and file helpers for the world compiler's tests.

#include "tools/data/content.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace duskwend {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed at the end of the test.
class ScratchDir {
  public:
    ScratchDir() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("duskwend-data-test-" + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

inline std::vector<uint8_t> file_bytes(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

inline std::string file_text(const fs::path& p) {
    const auto bytes = file_bytes(p);
    return {bytes.begin(), bytes.end()};
}

// The line, counted from 1, on which offset `at` of `text` stands.
inline int line_at(const std::string& text, std::size_t at) {
    return 1 +
           static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}

// The line of the first `needle` in the file; a test failure and -1 when it is not there.
inline int line_in_file(const fs::path& p, const std::string& needle) {
    const std::string text = file_text(p);
    const auto at = text.find(needle);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no '" << needle << "' in " << p.string();
        return -1;
    }
    return line_at(text, at);
}

inline void write_text(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

// Runs the world tool with `args`, its error stream going to the file `out`: the exit status
// (-1 when it did not exit) and what it printed there.
inline std::pair<int, std::string> run_data_tool(const std::string& args, const fs::path& out) {
    const std::string cmd = std::string(DUSKWEND_DATA_TOOL) + " " + args + " 2> " + out.string();
    const int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, file_text(out)};
}

inline void copy_content(const fs::path& from, const fs::path& to) {
    fs::copy(from, to, fs::copy_options::recursive);
}

inline const char* const WORLD_FILES[] = {"Item.dat", "Mon.dat",     "Shop.dat",
                                          "Mag.dat",  "MagProg.dat", "Maps.dat"};

} // namespace duskwend
