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
    // Every member should have this level before the party moves on to the next stage; on the
    // last stage, the level its final fight is meant for.
    int level = 0;
};

struct Campaign {
    std::vector<CampaignStage> stages;
};

// Reads a campaign file with the data tool's reader (tools/data/content.h). Its first mistake
// throws std::runtime_error with "file:line: what is wrong"; so does a stage whose map is not
// in a world of `map_count` maps (0: not checked).
Campaign load_campaign(const std::filesystem::path& file, int map_count = 0);
Campaign parse_campaign(const std::string& text, const std::string& file_name, int map_count = 0);

} // namespace duskwend
