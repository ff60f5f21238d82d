#pragma once
// Scratch folders for the fuzz targets that read files from a Data folder.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <unistd.h>

namespace duskwend {

namespace fuzz {

// A folder of this process's own, made once.
inline const std::filesystem::path& scratch(const std::string& name) {
    static const std::filesystem::path dir = [&] {
        auto d = std::filesystem::temp_directory_path() /
                 ("duskwend-fuzz-" + name + "-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

inline void write(const std::filesystem::path& file, std::span<const uint8_t> bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

inline std::string read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::span<const uint8_t> bytes_of(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

} // namespace fuzz

} // namespace duskwend
