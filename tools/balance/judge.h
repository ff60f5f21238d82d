#pragma once
// A player's judgement of what the party can take on, made by trying it on a copy: the party
// as it stands, rested, fights a fixed fight (as a party that looked in and stepped back
// would judge it) or a map's random encounters, many times, in a game of its own. Nothing of
// the played game changes.

#include "tools/balance/router.h"
#include "tools/balance/session.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <tuple>

class Judge {
  public:
    Judge(const std::filesystem::path& data_dir, uint64_t seed, int trials);

    // The maps of the world, read as the game reads them.
    std::vector<MapRec> maps();

    // The share of trials in which the rested party wins the fight that stands on `at`.
    double fixed_fight(const Game& real, const Router& router, const Square& at);
    // The share of trials in which the rested party meets five of the map's random encounters
    // in a row without anyone falling.
    double map_safety(const Game& real, const Router& router, int map);

  private:
    void prepare(const Game& real, const Router& router, int map);
    // What the party brings to a fight: levels, equipment and maximum hit points.
    static std::vector<int> party_signature(const Game& real);
    HeadlessGame hg_;
    uint64_t seed_;
    int trials_;
    std::map<std::tuple<std::vector<int>, int, int, int>, double> known_;
};
