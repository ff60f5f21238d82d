#pragma once
// The content folder as a whole: loading every source with its checks, and writing a world
// back out as sources.

#include "tools/data/diagnostics.h"
#include "tools/data/map_source.h"
#include "tools/data/world.h"

#include <filesystem>
#include <string>

namespace duskwend {

// The files of a content folder.
inline constexpr const char* ITEMS_SOURCE = "items.toml";
inline constexpr const char* MONSTERS_SOURCE = "monsters.toml";
inline constexpr const char* SPELLS_SOURCE = "spells.toml";
inline constexpr const char* SHOPS_SOURCE = "shops.toml";
inline constexpr const char* PROGRESSION_SOURCE = "spell_progression.toml";
inline constexpr const char* MAPS_FOLDER = "maps";

// Reads and checks everything; the world is complete only when diags has no errors (or only
// consistency problems, which --lenient accepts).
// `map_files`, when given, receives the source file and lines of map n at index n - 1.
struct MapOrigin {
    std::string file;
    MapLines lines;
};
World load_content(const std::filesystem::path& dir, Diagnostics& diags,
                   std::vector<MapOrigin>* map_files = nullptr);

// The campaign: its stages in the order a party plays them, each on one map, as
// campaign.toml in the content folder lists them. The tools read it; the game never does. A
// content folder without the file has no campaign.
struct StageSource {
    std::string name;
    int map = 0;
    int level = 0; // the level to reach before moving on (0: not given)
    int line = 0;
};
struct CampaignSource {
    std::string file;
    std::vector<StageSource> stages;
};
inline constexpr const char* CAMPAIGN_SOURCE = "campaign.toml";
CampaignSource load_campaign_source(const std::filesystem::path& dir, Diagnostics& diags);
// The same for a campaign file of any name (one that cannot be read is an error), and for its
// text; a campaign without a [[stage]] is an error.
CampaignSource load_campaign_file(const std::filesystem::path& file, Diagnostics& diags);
CampaignSource read_campaign_source(const std::string& text, const std::string& file,
                                    Diagnostics& diags);
// What is wrong with a stage's map in a world of `map_count` maps, or nothing.
std::string stage_map_problem(const StageSource& stage, std::size_t map_count);

// Writes the sources of a world into dir. Returns an empty string or what went wrong.
std::string write_content(const World& world, const std::filesystem::path& dir);

} // namespace duskwend
