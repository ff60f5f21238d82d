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

namespace duskwend {

class Judge {
  public:
    Judge(const std::filesystem::path& data_dir, uint64_t seed, int trials);

    // The maps of the world, read as the game reads them.
    std::vector<MapRec> maps();

    // The share of trials in which the rested party (`as_it_stands`: the party with the hit and
    // magic points it has now) wins the fight that stands on `at`. The trials stop once their
    // share is sure to fall short of `needed`, or sure to reach it.
    double fixed_fight(const Game& real, const Router& router, const Square& at, double needed,
                       bool as_it_stands = false);
    // The share of trials in which the rested party meets five of the map's random encounters
    // in a row without anyone falling; the trials stop as for fixed_fight.
    double map_safety(const Game& real, const Router& router, int map, double needed);

  private:
    void prepare(const Game& real, const Router& router, int map, bool rest = true);
    // Plays up to trials_ trials, each true when it went well, stopping once the share of
    // good ones is sure to reach `needed` or sure to fall short of it.
    template <class Trial> double share(double needed, Trial trial);
    // What the party brings to a fight: levels, equipment and maximum hit points.
    static std::vector<int> party_signature(const Game& real);
    HeadlessGame hg_;
    uint64_t seed_;
    int trials_;
    std::map<std::tuple<std::vector<int>, int, int, int>, double> known_;
};

} // namespace duskwend
