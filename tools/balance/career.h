#pragma once
// The career simulator: new parties of four play the campaign through the game's own
// screens and rules, with the policies of a plain, careful player, and every key they type is
// counted.

#include "tools/balance/campaign.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace duskwend {

struct CareerOptions {
    std::filesystem::path data_dir;
    Campaign campaign;
    // A party that has typed this many keys without finishing has stalled.
    long key_limit = 150000;
    // A fixed fight is tried once the rested party wins it this often in trial fights.
    double ready_share = 0.75;
    // A map is walked once this share of five of its random encounters in a row, met
    // rested, ends with nobody fallen.
    double safe_share = 0.9;
    // Trial fights behind each judgement.
    int judging_trials = 12;
    // When set, what the party does is written here, one line each.
    std::FILE* trace = nullptr;
};

struct FixedFightRecord {
    int map = 0, x = 0, y = 0;
    int attempts = 0;
    bool won = false;
    double level = 0;   // the party's mean level at the first attempt
    std::string what;   // "4 Cultists, 2 Giant Spiders"
    bool final = false; // the last fight of the last stage's map: the campaign's end
};

struct StageRecord {
    bool reached = false;
    bool won = false;     // every fixed fight of the stage won
    bool through = false; // the party moved on (or finished, on the last stage)
    bool slain = false;   // the whole party fell on this stage
    int fights = 0;       // fights won while on this stage
    int deaths = 0;       // members who fell
    double level = 0;     // mean member level when the stage ended for the party
    long crowns = 0;      // crowns gained on the stage (fights, treasures, sales)
    long keys = 0;
    std::vector<FixedFightRecord> fixed;
};

struct CareerRecord {
    std::vector<StageRecord> stages;
    bool completed = false;
    std::string end; // "finished", "slain" or "stalled"
    // Won fights until every member had paid for level 2; -1 when that never happened.
    int fights_to_first_training = -1;
    // Entry L: won fights until every member had level L (-1: never); entries 0 and 1 unused.
    std::vector<int> fights_to_level;
    int fights = 0;
    long keys = 0;
    // What the party did in town: levels paid for, things bought, nights at the inn, members
    // raised or cured at the temple.
    int advances = 0, purchases = 0, nights = 0, raises = 0;
    // The party's mean level after each won fight and each advance.
    struct Point {
        int fights;
        double level;
    };
    std::vector<Point> curve;
    std::vector<int> stage_start_fights; // won fights when each reached stage began
};

// Plays one new party through the campaign; throws when the world cannot be read or the new
// party cannot be made.
CareerRecord play_career(const CareerOptions& options, uint64_t seed);

} // namespace duskwend
