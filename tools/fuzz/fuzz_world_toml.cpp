// The world compiler's TOML readers: the first byte picks the list (items, monsters, spells,
// shops, spell progression) or a map; the rest is the source.
#include "tools/data/map_source.h"
#include "tools/data/tables.h"

#include <cstddef>
#include <cstdint>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace duskwend;
    if (size < 1) return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    toml::table root;
    try {
        root = toml::parse(std::string_view(text), std::string_view("fuzz.toml"));
    } catch (const toml::parse_error&) {
        return 0;
    }
    Diagnostics diags;
    const Source src{"fuzz.toml", &diags};
    World w;
    std::vector<Reference> refs;
    constexpr void (*READERS[])(const toml::table&, const Source&, World&,
                                std::vector<Reference>&) = {read_item_source, read_monster_source,
                                                            read_spell_source, read_shop_source,
                                                            read_progression_source};
    if (const int which = data[0] % 6; which < 5) {
        READERS[which](root, src, w, refs);
    } else {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        MapRec map;
        int number = 0;
        read_map_source(root, src, lines, map, number, refs);
        // What was read is written back as a source.
        if (diags.ok()) (void)map_source(map, number);
        return 0;
    }
    if (diags.ok()) {
        (void)item_source(w);
        (void)monster_source(w);
        (void)spell_source(w);
        (void)shop_source(w);
        (void)progression_source(w);
    }
    return 0;
}
