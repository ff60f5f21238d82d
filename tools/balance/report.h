#pragma once
// What many careers add up to: a table per stage, the same as JSON, and a picture of the
// median party's level against its fights.

#include "tools/balance/campaign.h"
#include "tools/balance/career.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace duskwend {

struct FixedFightSummary {
    std::string what;
    int map = 0, x = 0, y = 0;
    int tried = 0;           // parties that fought it
    double won = 0;          // share of those that won it in the end
    double median_level = 0; // the party's mean level at its first try
    double attempts = 0;     // tries per party that tried
    bool final = false;      // the campaign's final fight
};

struct StageSummary {
    std::string name;
    int map = 0;
    int reached = 0;    // parties that reached the stage
    double won = 0;     // share of those that won all its fixed fights
    double slain = 0;   // share of those slain there
    double through = 0; // share of all parties that got through it
    double deaths = 0;  // members fallen per party that reached it
    double median_level = 0, median_fights = 0, median_crowns = 0, median_keys = 0;
    std::vector<FixedFightSummary> fixed;
};

struct CareerSummary {
    int trials = 0;
    double completed = 0;
    // Median won fights until every member had paid for level 2; -1 when most never did.
    double fights_to_first_training = -1;
    double median_keys = 0;   // keys of a party that finished
    double median_fights = 0; // won fights of a party that finished
    int finished = 0, slain = 0, stalled = 0;
    // The campaign's final fight: the last fight of the last stage's map.
    std::string final_fight;
    int final_fought = 0;
    double final_won = 0;
    // Won fights until every member had level L (median of the parties that got there).
    struct LevelFigure {
        int level = 0, parties = 0;
        double median_fights = 0;
    };
    std::vector<LevelFigure> fights_to_level;
    std::vector<StageSummary> stages;
};

CareerSummary summarise(const Campaign& campaign, const std::vector<CareerRecord>& careers);
void print_summary(const CareerSummary& s, std::FILE* out);
nlohmann::json summary_json(const CareerSummary& s);

// The career whose won fights are the median of those that finished (of all, when none did).
const CareerRecord* median_career(const std::vector<CareerRecord>& careers);
// Level against won fights, each stage's start marked; throws when the file cannot be written.
void draw_career_plot(const Campaign& campaign, const CareerRecord& career,
                      const std::filesystem::path& png, const std::filesystem::path& font);

} // namespace duskwend
