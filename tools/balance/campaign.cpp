#include "tools/balance/campaign.h"

#include <toml++/toml.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace duskwend {

namespace {

[[noreturn]] void fail(const std::string& file, int line, const std::string& what) {
    throw std::runtime_error(file + ":" + std::to_string(line) + ": " + what);
}

int line_of(const toml::node& n) {
    return static_cast<int>(n.source().begin.line);
}

} // namespace

Campaign parse_campaign(const std::string& text, const std::string& file, int map_count) {
    toml::table root;
    try {
        root = toml::parse(text, file);
    } catch (const toml::parse_error& e) {
        fail(file, static_cast<int>(e.source().begin.line), std::string(e.description()));
    }
    Campaign c;
    for (const auto& [key, node] : root)
        if (key.str() != "stage")
            fail(file, line_of(node), "unknown key '" + std::string(key) + "'");
    const toml::array* stages = root["stage"].as_array();
    if (stages == nullptr || stages->empty())
        fail(file, 1, "the campaign needs at least one [[stage]]");
    for (const toml::node& n : *stages) {
        const toml::table* t = n.as_table();
        const int line = line_of(n);
        if (t == nullptr) fail(file, line, "a stage must be a table");
        CampaignStage s;
        for (const auto& [key, value] : *t) {
            const std::string k(key.str());
            if (k == "name") {
                const auto name = value.value<std::string>();
                if (!name || name->empty()) fail(file, line_of(value), "name must be a text");
                s.name = *name;
            } else if (k == "map" || k == "level") {
                const auto v = value.value<int64_t>();
                if (!v || *v < 1 || *v > 100)
                    fail(file, line_of(value), k + " must be a number from 1 to 100");
                (k == "map" ? s.map : s.level) = static_cast<int>(*v);
            } else {
                fail(file, line_of(value), "unknown key '" + k + "' in a stage");
            }
        }
        if (s.name.empty()) fail(file, line, "the stage has no name");
        if (s.map == 0) fail(file, line, "the stage has no map");
        if (map_count > 0 && s.map > map_count)
            fail(file, line,
                 "map " + std::to_string(s.map) + " is not in the world (it has " +
                     std::to_string(map_count) + " maps)");
        if (s.level == 0) s.level = c.stages.empty() ? 2 : c.stages.back().level + 1;
        c.stages.push_back(s);
    }
    return c;
}

Campaign load_campaign(const std::filesystem::path& file, int map_count) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error(file.string() + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return parse_campaign(text.str(), file.string(), map_count);
}

} // namespace duskwend
