#include "tools/balance/campaign.h"

#include "tools/data/content.h"

#include <stdexcept>

namespace duskwend {

namespace {

// The campaign as the data tool reads it, or its first mistake as "file:line: what".
Campaign from_source(const CampaignSource& source, const Diagnostics& diags, int map_count) {
    if (!diags.ok()) throw std::runtime_error(diags.list().front().str());
    Campaign c;
    for (const StageSource& s : source.stages) {
        if (map_count > 0)
            if (const std::string wrong = stage_map_problem(s, static_cast<std::size_t>(map_count));
                !wrong.empty())
                throw std::runtime_error(Diagnostic{source.file, s.line, wrong, true}.str());
        CampaignStage stage{s.name, s.map, s.level};
        // Left out, the level is one more than the stage before asks (2 for the first).
        if (stage.level == 0) stage.level = c.stages.empty() ? 2 : c.stages.back().level + 1;
        c.stages.push_back(stage);
    }
    return c;
}

} // namespace

Campaign parse_campaign(const std::string& text, const std::string& file, int map_count) {
    Diagnostics diags;
    const CampaignSource source = read_campaign_source(text, file, diags);
    return from_source(source, diags, map_count);
}

Campaign load_campaign(const std::filesystem::path& file, int map_count) {
    Diagnostics diags;
    const CampaignSource source = load_campaign_file(file, diags);
    return from_source(source, diags, map_count);
}

} // namespace duskwend
