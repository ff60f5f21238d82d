#pragma once
// The campaign a party plays: its stages in order, each on one map, read from
// content/campaign.toml.

#include <filesystem>
#include <string>
#include <vector>

namespace duskwend {

struct CampaignStage {
    std::string name;
    int map = 0;
    // Every member should have this level before the party moves on to the next stage (on
    // the last stage: before the campaign counts as finished).
    int level = 0;
};

struct Campaign {
    std::vector<CampaignStage> stages;
};

// Reads a campaign file. A file that cannot be read or a stage without a usable name or map
// throws std::runtime_error with "file:line: what is wrong". `map_count` is the number of maps
// the world holds (0: not checked).
Campaign load_campaign(const std::filesystem::path& file, int map_count = 0);
Campaign parse_campaign(const std::string& text, const std::string& file_name, int map_count = 0);

} // namespace duskwend
