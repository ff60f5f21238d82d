#include "core/map_names.h"

#include "core/file_access.h"

namespace duskwend {

namespace {

// A line per map: its number (at most five digits), a blank, its name and a line break (with
// room for a carriage return), for every map a world can have.
constexpr std::size_t MAP_NAMES_SIZE_LIMIT = 32767 * (5 + 1 + MAP_NAME_LENGTH + 2);

} // namespace

std::string map_names_text(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t k = 0; k < names.size(); ++k)
        if (!names[k].empty()) text += std::to_string(k + 1) + " " + names[k] + "\n";
    return text;
}

std::string read_map_name(const std::filesystem::path& data_dir, int map) {
    const FileRead file = read_regular_file(data_dir / MAP_NAMES_FILE, MAP_NAMES_SIZE_LIMIT);
    if (!file.is_ok()) return "";
    const std::string number = std::to_string(map) + " ";
    for (std::size_t at = 0; at < file.bytes.size();) {
        const std::size_t end = std::min(file.bytes.find('\n', at), file.bytes.size());
        if (file.bytes.compare(at, number.size(), number) == 0) {
            std::string name = file.bytes.substr(at + number.size(), end - at - number.size());
            if (!name.empty() && name.back() == '\r') name.pop_back();
            return name.size() <= MAP_NAME_LENGTH ? name : "";
        }
        at = end + 1;
    }
    return "";
}

} // namespace duskwend
