#include "tools/balance/judge.h"

#include "city/square_events.h"
#include "combat/combat.h"
#include "core/city_map.h"
#include "core/datafiles.h"
#include "core/rules.h"
#include "tools/balance/tactics.h"

namespace duskwend {

namespace {

constexpr int SERIES = 5;

// A square of the map without events, where a won fight leaves the copy in peace.
Square quiet_square(const MapRec& m, int map) {
    for (int x = 0; x < MAP_SIZE; ++x)
        for (int y = 0; y < MAP_SIZE; ++y) {
            bool quiet = true;
            for (const MapEvent& e : m.events)
                if (e[0] != 0 && e[2] == x && e[3] == y) quiet = false;
            if (quiet) return {map, x, y};
        }
    return {map, 0, 0};
}

} // namespace

Judge::Judge(const std::filesystem::path& data_dir, uint64_t seed, int trials)
    : hg_(data_dir, seed), seed_(seed), trials_(trials) {}

std::vector<MapRec> Judge::maps() {
    std::vector<MapRec> out;
    for (int n = 1; map_in_file(hg_.g, n); ++n) {
        sub_load_map(hg_.g, n);
        out.push_back(hg_.g.map_rec);
    }
    return out;
}

std::vector<int> Judge::party_signature(const Game& real) {
    std::vector<int> s;
    for (const PartyMemberRec& p : real.party) {
        if (p.in_use <= 0) continue;
        s.insert(s.end(), {p.class_id, p.level, p.hit_points > 0, p.max_hit_points,
                           p.max_magic_points, p.right_hand[0], p.left_hand[0], p.body});
    }
    return s;
}

void Judge::prepare(const Game& real, const Router& router, int map, bool rest) {
    Game& g = hg_.g;
    g.rng.seed(seed_++);
    g.party = real.party;
    // A night at the inn: the living at full strength, the fallen still fallen.
    for (PartyMemberRec& p : g.party) {
        if (!rest || p.in_use <= 0 || p.hit_points <= 0) continue;
        p.hit_points = p.max_hit_points;
        p.magic_points = p.max_magic_points;
    }
    g.game_flags = real.game_flags;
    g.combat_actions = real.combat_actions;
    g.map_rec = router.map(map);
    g.map_level = static_cast<int16_t>(map);
    const Square q = quiet_square(g.map_rec, map);
    g.party_x = static_cast<int16_t>(q.x);
    g.party_y = static_cast<int16_t>(q.y);
    g.current_location = LOCATION_CITY;
    g.location_step = 0;
    g.sheet_member = 0;
    g.combat_active = 0;
    sub_update_party_stats(g);
}

template <class Trial> double Judge::share(double needed, Trial trial) {
    int good = 0, played = 0;
    for (; played < trials_; ++played) {
        const int left = trials_ - played;
        if (good >= needed * trials_ || good + left < needed * trials_) break;
        good += trial() ? 1 : 0;
    }
    return double(good) / played;
}

double Judge::fixed_fight(const Game& real, const Router& router, const Square& at, double needed,
                          bool as_it_stands) {
    std::vector<int> signature = party_signature(real);
    if (as_it_stands)
        for (const PartyMemberRec& p : real.party)
            if (p.in_use > 0) signature.insert(signature.end(), {p.hit_points, p.magic_points});
    const auto key = std::make_tuple(signature, at.map, at.x, at.y);
    if (const auto it = known_.find(key); it != known_.end()) return it->second;
    Keyboard kb(hg_.g);
    return known_[key] = share(needed, [&] {
               prepare(real, router, at.map, !as_it_stands);
               hg_.g.party_x = static_cast<int16_t>(at.x);
               hg_.g.party_y = static_cast<int16_t>(at.y);
               sub_square_events(hg_.g);
               return hg_.g.combat_active != -1 ||
                      play_fight(hg_.g, kb, true).end == FightResult::End::Won;
           });
}

double Judge::map_safety(const Game& real, const Router& router, int map, double needed) {
    const auto key = std::make_tuple(party_signature(real), map, -1, -1);
    if (const auto it = known_.find(key); it != known_.end()) return it->second;
    Keyboard kb(hg_.g);
    return known_[key] = share(needed, [&] {
               prepare(real, router, map);
               for (int k = 0; k < SERIES; ++k) {
                   sub_start_random_encounter(hg_.g);
                   if (hg_.g.combat_active != -1) break; // a map that sends no monsters
                   const FightResult r = play_fight(hg_.g, kb, false);
                   if (r.end != FightResult::End::Won || r.deaths > 0) return false;
               }
               return true;
           });
}

} // namespace duskwend
