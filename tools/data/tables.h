#pragma once
// The list files of the world (items, monsters, spells, shops, spell progression): reading
// their TOML sources into records and writing records back as sources.

#include "tools/data/toml_io.h"
#include "tools/data/world.h"

#include <string>
#include <vector>

namespace duskwend {

// A number in a source that must name an existing entry; checked once everything is read.
struct Reference {
    enum class To { item, monster, spell, shop, map };
    To to;
    int value;
    std::string file;
    int line;
    std::string what;
};

// The class names used by usable_by and the spell progression.
extern const std::array<NamedCode, CLASS_COUNT> CLASS_NAMES;

void read_item_source(const toml::table& root, const Source& src, World& w,
                      std::vector<Reference>& refs);
void read_monster_source(const toml::table& root, const Source& src, World& w,
                         std::vector<Reference>& refs);
void read_spell_source(const toml::table& root, const Source& src, World& w,
                       std::vector<Reference>& refs);
void read_shop_source(const toml::table& root, const Source& src, World& w,
                      std::vector<Reference>& refs);
void read_progression_source(const toml::table& root, const Source& src, World& w,
                             std::vector<Reference>& refs);

std::string item_source(const World& w);
std::string monster_source(const World& w);
std::string spell_source(const World& w);
std::string shop_source(const World& w);
std::string progression_source(const World& w);

} // namespace duskwend
