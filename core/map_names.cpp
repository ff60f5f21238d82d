#include "core/map_names.h"

#include <fstream>

namespace duskwend {

std::string map_names_text(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t k = 0; k < names.size(); ++k)
        if (!names[k].empty()) text += std::to_string(k + 1) + " " + names[k] + "\n";
    return text;
}

std::string read_map_name(const std::filesystem::path& data_dir, int map) {
    std::ifstream in(data_dir / MAP_NAMES_FILE, std::ios::binary);
    const std::string number = std::to_string(map) + " ";
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(number, 0) != 0) continue;
        std::string name = line.substr(number.size());
        if (!name.empty() && name.back() == '\r') name.pop_back();
        return name.size() <= MAP_NAME_LENGTH ? name : "";
    }
    return "";
}

} // namespace duskwend
