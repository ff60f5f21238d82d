#pragma once
// Scratch folders and file helpers for the world compiler's tests.

#include "tools/data/content.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

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

inline void write_text(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

inline void copy_content(const fs::path& from, const fs::path& to) {
    fs::copy(from, to, fs::copy_options::recursive);
}

inline const char* const WORLD_FILES[] = {"Item.dat", "Mon.dat",     "Shop.dat",
                                          "Mag.dat",  "MagProg.dat", "Maps.dat"};

} // namespace duskwend
