#include "tools/data/content.h"

#include "tools/data/map_source.h"
#include "tools/data/tables.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace duskwend {

namespace fs = std::filesystem;

namespace {

struct ParsedFile {
    toml::table root;
    std::vector<std::string> lines;
};

std::optional<ParsedFile> parse_text(const std::string& text, const std::string& name,
                                     Diagnostics& diags) {
    ParsedFile f;
    std::istringstream lines(text);
    for (std::string l; std::getline(lines, l);) f.lines.push_back(l);
    try {
        f.root = toml::parse(text, name);
    } catch (const toml::parse_error& e) {
        diags.error(name, static_cast<int>(e.source().begin.line), std::string(e.description()));
        return std::nullopt;
    }
    return f;
}

std::optional<ParsedFile> parse_file(const fs::path& path, const std::string& name,
                                     Diagnostics& diags) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        diags.error(name, 0, "cannot read the file");
        return std::nullopt;
    }
    std::stringstream buf;
    buf << in.rdbuf();
    return parse_text(buf.str(), name, diags);
}

// By Reference::To, in its order.
const char* reference_word(Reference::To to) {
    constexpr const char* WORDS[] = {"item", "monster", "spell", "shop", "map"};
    const auto k = static_cast<std::size_t>(to);
    return k < std::size(WORDS) ? WORDS[k] : "";
}

std::size_t count_of(const World& w, Reference::To to) {
    switch (to) {
    case Reference::To::item:
        return w.items.size();
    case Reference::To::monster:
        return w.monsters.size();
    case Reference::To::spell:
        return w.spells.size();
    case Reference::To::shop:
        return w.shops.size();
    case Reference::To::map:
        return w.maps.size();
    }
    return 0;
}

// What the game itself expects of every world: the default roster's equipment, and a guild
// hall door on map 1 to start the party from.
void check_world_contract(const World& w, const fs::path& dir, Diagnostics& diags) {
    const std::string items = (dir / ITEMS_SOURCE).string();
    for (int n : {1, 2, 3, 9, 10, 12, 13})
        if (static_cast<std::size_t>(n) > w.items.size())
            diags.error(items, 0,
                        "item " + std::to_string(n) +
                            " is missing; the two starting characters carry items 1, 2, 3, 9, "
                            "10, 12 and 13",
                        true);
    if (w.maps.empty()) return;
    bool door = false;
    for (const auto& e : w.maps[0].events)
        if (e[0] == 2 && e[4] == 0) door = true;
    if (!door)
        diags.error((dir / MAPS_FOLDER).string(), 0,
                    "map 1 has no guild hall door; the party starts one square north of it", true);
}

} // namespace

World load_content(const fs::path& dir, Diagnostics& diags, std::vector<MapOrigin>* map_files_out) {
    World w;
    std::vector<Reference> refs;
    using Reader = void (*)(const toml::table&, const Source&, World&, std::vector<Reference>&);
    const std::pair<const char*, Reader> lists[] = {{ITEMS_SOURCE, read_item_source},
                                                    {MONSTERS_SOURCE, read_monster_source},
                                                    {SPELLS_SOURCE, read_spell_source},
                                                    {SHOPS_SOURCE, read_shop_source},
                                                    {PROGRESSION_SOURCE, read_progression_source}};
    for (const auto& [file, reader] : lists) {
        std::string name = (dir / file).string();
        if (auto f = parse_file(dir / file, name, diags))
            reader(f->root, Source{name, &diags}, w, refs);
    }

    std::map<int, std::pair<MapRec, std::string>> maps;
    std::map<int, MapLines> map_lines;
    std::map<int, std::string> map_names;
    std::vector<fs::path> map_files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir / MAPS_FOLDER, ec))
        if (entry.path().extension() == ".toml") map_files.push_back(entry.path());
    if (ec) diags.error((dir / MAPS_FOLDER).string(), 0, "cannot read the maps folder");
    std::sort(map_files.begin(), map_files.end());
    for (const auto& path : map_files) {
        std::string name = path.string();
        auto f = parse_file(path, name, diags);
        if (!f) continue;
        MapRec m;
        int number = 0;
        MapLines lines;
        std::string map_name;
        read_map_source(f->root, Source{name, &diags}, f->lines, m, number, refs, &lines,
                        &map_name);
        if (number == 0) continue;
        if (auto it = maps.find(number); it != maps.end()) {
            diags.error(name, 0,
                        "map " + std::to_string(number) + " is already given by " +
                            it->second.second);
            continue;
        }
        maps.emplace(number, std::pair{m, name});
        map_lines.emplace(number, std::move(lines));
        map_names.emplace(number, std::move(map_name));
    }
    for (const auto& [number, m] : maps) {
        if (number != static_cast<int>(w.maps.size()) + 1) {
            diags.error(m.second, 0,
                        "map " + std::to_string(w.maps.size() + 1) +
                            " is missing; maps are numbered 1, 2, 3... without gaps");
            break;
        }
        w.maps.push_back(m.first);
        w.map_names.push_back(map_names[number]);
        if (map_files_out) map_files_out->push_back({m.second, map_lines[number]});
    }
    if (maps.empty() && !ec) diags.error((dir / MAPS_FOLDER).string(), 0, "there is no map 1");

    for (const auto& r : refs) {
        std::size_t count = count_of(w, r.to);
        if (r.value < 1 || static_cast<std::size_t>(r.value) > count)
            diags.error(r.file, r.line,
                        "'" + r.what + "' names " + reference_word(r.to) + " " +
                            std::to_string(r.value) + ", which does not exist (" +
                            reference_word(r.to) + "s 1.." + std::to_string(count) + ")",
                        true);
    }
    check_world_contract(w, dir, diags);
    return w;
}

CampaignSource read_campaign_source(const std::string& text, const std::string& file,
                                    Diagnostics& diags) {
    CampaignSource c;
    c.file = file;
    auto f = parse_text(text, c.file, diags);
    if (!f) return c;
    const Source src{c.file, &diags};
    TableReader top(f->root, src, 1);
    const toml::node* stages = top.take("stage");
    top.finish();
    const auto* arr = stages ? stages->as_array() : nullptr;
    if (stages && !arr) {
        src.error(line_of(*stages), "'stage' should be a list of [[stage]] tables");
        return c;
    }
    if (!arr || arr->empty()) {
        src.error(1, "the campaign needs at least one [[stage]]");
        return c;
    }
    for (const auto& n : *arr) {
        const auto* t = n.as_table();
        if (!t) {
            src.error(line_of(n), "'stage' should be a list of [[stage]] tables");
            continue;
        }
        StageSource stage;
        stage.line = line_of(n);
        TableReader r(*t, src, stage.line);
        if (const auto* name = r.take("name")) {
            if (auto v = name->value<std::string>())
                stage.name = *v;
            else
                src.error(line_of(*name), "'name' should be a string");
        }
        int16_t map = 0, level = 0;
        r.integer("map", map);
        r.integer("level", level);
        r.finish();
        if (stage.name.empty()) src.error(stage.line, "the stage needs a 'name'");
        if (map == 0) src.error(stage.line, "the stage needs a 'map'");
        if (level < 0 || level > 100)
            src.error(stage.line, "the stage's 'level' should be 1 to 100 (or left out)");
        stage.map = map;
        stage.level = level;
        c.stages.push_back(stage);
    }
    return c;
}

CampaignSource load_campaign_file(const fs::path& path, Diagnostics& diags) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        diags.error(path.string(), 0, "cannot read the file");
        return {path.string(), {}};
    }
    std::stringstream buf;
    buf << in.rdbuf();
    return read_campaign_source(buf.str(), path.string(), diags);
}

CampaignSource load_campaign_source(const fs::path& dir, Diagnostics& diags) {
    std::error_code ec;
    if (!fs::exists(dir / CAMPAIGN_SOURCE, ec)) return {(dir / CAMPAIGN_SOURCE).string(), {}};
    return load_campaign_file(dir / CAMPAIGN_SOURCE, diags);
}

std::string stage_map_problem(const StageSource& stage, std::size_t map_count) {
    if (stage.map >= 1 && static_cast<std::size_t>(stage.map) <= map_count) return {};
    return "stage '" + stage.name + "' (map " + std::to_string(stage.map) +
           ") names a map that does not exist (maps 1.." + std::to_string(map_count) + ")";
}

std::string write_content(const World& w, const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir / MAPS_FOLDER, ec);
    if (ec) return "cannot create " + (dir / MAPS_FOLDER).string() + ": " + ec.message();
    std::vector<std::pair<fs::path, std::string>> files = {
        {dir / ITEMS_SOURCE, item_source(w)},
        {dir / MONSTERS_SOURCE, monster_source(w)},
        {dir / SPELLS_SOURCE, spell_source(w)},
        {dir / SHOPS_SOURCE, shop_source(w)},
        {dir / PROGRESSION_SOURCE, progression_source(w)}};
    for (std::size_t i = 0; i < w.maps.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%02zu.toml", i + 1);
        files.emplace_back(dir / MAPS_FOLDER / name,
                           map_source(w.maps[i], static_cast<int>(i + 1)));
    }
    for (const auto& [path, text] : files) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!(out << text) || !out.flush()) return "cannot write " + path.string();
    }
    return {};
}

} // namespace duskwend
