#include "tools/balance/career_play.h"

#include "core/datafiles.h"
#include "core/rules.h"

#include <algorithm>
#include <stdexcept>

namespace duskwend {

namespace {

constexpr int EVENT_PICTURE = 3, EVENT_MESSAGE = 4, EVENT_TEXT = 7;
constexpr int SWITCH_STEPPED_ON = 2;

const char* const MOVE_KEYS[] = {"{up}", "{left}", "{right}", "{down}"};

// Events a party walks to: signs, pictures, long texts, treasures and switches underfoot.
bool is_sight(const MapEvent& e) {
    return e[0] == EVENT_PICTURE || e[0] == EVENT_MESSAGE || e[0] == EVENT_TEXT ||
           e[0] == EVENT_TREASURE || (e[0] == EVENT_SWITCH && e[5] == SWITCH_STEPPED_ON);
}

} // namespace

Career::Career(const CareerOptions& options, uint64_t seed)
    : opt_(options), hg_(options.data_dir, seed), g_(hg_.g), kb_(hg_.g),
      judge_(options.data_dir, seed * 7919 + 17, options.judging_trials), router_(judge_.maps()),
      rng_(seed) {}

CareerRecord Career::run() {
    kb_.type(NEW_PARTY_KEYS);
    if (g_.current_location != LOCATION_CITY || sub_count_party_members(g_) != 4)
        throw std::runtime_error("the new party did not reach the city");
    const std::size_t n = opt_.campaign.stages.size();
    rec_.stages.resize(n);
    last_level_ = mean_level();
    rec_.curve.push_back({0, last_level_});
    for (stage_ = 0; stage_ < static_cast<int>(n) && !over(); ++stage_) {
        stage().reached = true;
        rec_.stage_start_fights.push_back(rec_.fights);
        note("stage " + opt_.campaign.stages[static_cast<std::size_t>(stage_)].name);
        const long keys_before = kb_.keys();
        const bool through = play_stage();
        StageRecord& s = stage();
        s.keys = kb_.keys() - keys_before;
        s.level = mean_level();
        s.through = through;
        s.won =
            std::all_of(s.fixed.begin(), s.fixed.end(), [](auto& f) { return f.won; }) &&
            next_fight(opt_.campaign.stages[static_cast<std::size_t>(stage_)].map) == std::nullopt;
        if (!through) break;
    }
    rec_.completed = std::all_of(rec_.stages.begin(), rec_.stages.end(),
                                 [](const StageRecord& s) { return s.through; });
    rec_.end = rec_.completed ? "finished" : slain_ ? "slain" : "stalled";
    rec_.keys = kb_.keys();
    return rec_;
}

// ---------------------------------------------------------------------------------------
// A stage: see to the party, walk to what there is to see, fight the fixed fights once the
// party is ready for them, and meet random encounters where it is safe until it is.

bool Career::play_stage() {
    const CampaignStage& st = opt_.campaign.stages[static_cast<std::size_t>(stage_)];
    const bool last = stage_ + 1 == static_cast<int>(opt_.campaign.stages.size());
    long last_keys = -1;
    int idle = 0;
    while (!over()) {
        // A party that decides again and again without typing a key has stalled.
        idle = kb_.keys() == last_keys ? idle + 1 : 0;
        last_keys = kb_.keys();
        if (kb_.keys() > opt_.key_limit || idle > 1000) {
            stalled_ = true;
            break;
        }
        if (needs_town() && town_visit(false)) continue;
        arrange_party();
        // A map whose random encounters are too much for the party is left for later, unless
        // there is nowhere safer to grow.
        if (!map_safe(st.map) && grind_map() != st.map) {
            grind();
            continue;
        }
        if (const auto sight = next_sight(st.map)) {
            const Square s = *sight;
            if (walk_to([&](const Square& q) { return q == s; }, true) == Walk::Arrived)
                visited_.insert(sight_at(s));
            continue;
        }
        if (const auto fight_at = next_fight(st.map)) {
            const double wins = judge_.fixed_fight(g_, router_, *fight_at, opt_.ready_share);
            note("fixed fight at (" + std::to_string(fight_at->x) + "," +
                 std::to_string(fight_at->y) + ") judged " + std::to_string(wins));
            // A fixed fight waits for a whole party, and one that wins it in trial fights.
            if (wins < opt_.ready_share || !whole()) {
                grind();
                continue;
            }
            // Not rested, it rests first unless it would win as it stands just as surely.
            if (!rested() &&
                judge_.fixed_fight(g_, router_, *fight_at, opt_.ready_share, true) <
                    opt_.ready_share &&
                town_visit(true))
                continue;
            const Square f = *fight_at;
            // Standing on its square already (a fight won there was a random one), a turn
            // wakes it: the square's events run after every key.
            if (position().at == f) {
                key("{left}");
                continue;
            }
            walk_to([&](const Square& q) { return q == f; }, true);
            continue;
        }
        // With the last stage's fights won (the final among them), the campaign is finished.
        // Otherwise the party moves on whole, with its fights won and every member at the
        // stage's level, or ready for the next stage's map.
        if (last && finished()) return true;
        if (!whole()) {
            grind();
            continue;
        }
        if (!last && lowest_level() >= st.level) return true;
        if (last) {
            grind();
            continue;
        }
        const int next_map = opt_.campaign.stages[static_cast<std::size_t>(stage_ + 1)].map;
        if (map_safe(next_map)) {
            note("moves on: map " + std::to_string(next_map) + " judged " +
                 std::to_string(judge_.map_safety(g_, router_, next_map, opt_.safe_share)));
            return true;
        }
        grind();
    }
    return false;
}

// A campaign whose last map holds no fixed fight ends once every member has the stage's level.
bool Career::finished() const {
    const CampaignStage& last = opt_.campaign.stages.back();
    const auto& events = router_.map(last.map).events;
    if (std::none_of(events.begin(), events.end(),
                     [](const MapEvent& e) { return e[0] == EVENT_FIGHT; }))
        return lowest_level() >= last.level;
    const auto& fixed = rec_.stages.back().fixed;
    return std::any_of(fixed.begin(), fixed.end(), [](const auto& f) { return f.final && f.won; });
}

bool Career::map_safe(int map) {
    return judge_.map_safety(g_, router_, map, opt_.safe_share) >= opt_.safe_share;
}

// The furthest map of the campaign so far whose random encounters the party can take.
int Career::grind_map() {
    for (int s = stage_; s > 0; --s) {
        const int map = opt_.campaign.stages[static_cast<std::size_t>(s)].map;
        if (map_safe(map)) return map;
    }
    return opt_.campaign.stages.front().map;
}

// One walk to a square of the grinding map chosen at random: the random encounters on the
// way are the point.
void Career::grind() {
    const std::vector<Square> squares = router_.reachable(position(), grind_map(), g_.game_flags);
    if (squares.empty()) {
        stalled_ = true;
        return;
    }
    const Square s =
        squares[std::uniform_int_distribution<std::size_t>(0, squares.size() - 1)(rng_)];
    note("grind towards map " + std::to_string(s.map) + " (" + std::to_string(s.x) + "," +
         std::to_string(s.y) + "), judged " +
         std::to_string(judge_.map_safety(g_, router_, s.map, opt_.safe_share)));
    walk_to([&](const Square& q) { return q == s; }, true);
}

Career::Sight Career::sight_at(const Square& s) const {
    std::string holds;
    for (const MapEvent& e : router_.map(s.map).events)
        if (e[0] != 0 && e[2] == s.x && e[3] == s.y)
            holds += event_condition_holds(e, g_.game_flags) ? '1' : '0';
    return {s.map, s.x, s.y, holds};
}

std::optional<Square> Career::next_sight(int map) {
    std::set<Sight> wanted;
    const std::vector<Square> fights = fight_squares(map);
    for (const MapEvent& e : router_.map(map).events) {
        const Square at{map, e[2], e[3]};
        if (is_sight(e) && event_condition_holds(e, g_.game_flags) &&
            std::find(fights.begin(), fights.end(), at) == fights.end() &&
            !visited_.count(sight_at(at)))
            wanted.insert(sight_at(at));
    }
    if (wanted.empty()) return std::nullopt;
    std::set<std::tuple<int, int, int>> squares;
    for (const Sight& w : wanted) squares.insert({std::get<0>(w), std::get<1>(w), std::get<2>(w)});
    const auto goal = [&](const Square& q) { return squares.count({q.map, q.x, q.y}) > 0; };
    const auto r = router_.route(position(), goal, g_.game_flags);
    if (!r) {
        // Nothing of it can be reached now: not looked for again while it shows the same.
        visited_.insert(wanted.begin(), wanted.end());
        return std::nullopt;
    }
    return r->goal;
}

std::vector<Square> Career::fight_squares(int map) const {
    std::vector<Square> out;
    for (const MapEvent& e : router_.map(map).events)
        if (e[0] == EVENT_FIGHT && event_condition_holds(e, g_.game_flags) &&
            std::find(out.begin(), out.end(), Square{map, e[2], e[3]}) == out.end())
            out.push_back({map, e[2], e[3]});
    return out;
}

std::optional<Square> Career::next_fight(int map) {
    const std::vector<Square> squares = fight_squares(map);
    if (squares.empty()) return std::nullopt;
    const auto goal = [&](const Square& q) {
        return std::find(squares.begin(), squares.end(), q) != squares.end();
    };
    const auto r = router_.route(position(), goal, g_.game_flags);
    if (!r) return std::nullopt;
    return r->goal;
}

// ---------------------------------------------------------------------------------------
// Walking and fighting

void Career::note(const std::string& what) {
    if (opt_.trace == nullptr) return;
    std::string party;
    for (const PartyMemberRec& p : g_.party)
        if (p.in_use > 0)
            party += " " + std::to_string(p.level) + ":" + std::to_string(p.hit_points) + "/" +
                     std::to_string(p.max_hit_points) + ":" + std::to_string(p.experience) +
                     "xp:" + std::to_string(p.crowns) + "c";
    std::fprintf(opt_.trace, "%7ld keys %4d fights  map %d (%d,%d) |%s | %s\n", kb_.keys(),
                 rec_.fights, g_.map_level, g_.party_x, g_.party_y, party.c_str(), what.c_str());
}

Position Career::position() const {
    return {{g_.map_level, g_.party_x, g_.party_y}, g_.party_facing & 3};
}

Career::Walk Career::walk_to(const Router::Goal& goal, bool interruptible) {
    // Every leg is planned afresh when the walk does not go as planned: a fight, a trap, a
    // teleport the plan did not know of.
    for (int legs = 0; legs < 50; ++legs) {
        if (over()) return Walk::Over;
        if (g_.current_location != LOCATION_CITY) return Walk::Arrived; // through a door
        if (goal(position().at)) return Walk::Arrived;
        const auto r = router_.route(position(), goal, g_.game_flags);
        if (!r) return Walk::Unreachable;
        for (std::size_t k = 0; k < r->moves.size(); ++k) {
            const int fights_before = rec_.fights, fixed_before = fixed_fights_;
            key(MOVE_KEYS[static_cast<int>(r->moves[k])]);
            if (over()) return Walk::Over;
            if (g_.current_location != LOCATION_CITY) return Walk::Arrived;
            // A fixed fight, won or fled, ends the walk: what next is decided afresh.
            if (fixed_fights_ != fixed_before) return Walk::Interrupted;
            if (interruptible && rec_.fights != fights_before && needs_town())
                return Walk::Interrupted;
            if (!(position() == r->after[k])) break;
            if (k + 1 == r->moves.size()) return Walk::Arrived;
        }
    }
    return Walk::Unreachable;
}

void Career::key(const std::string& k) {
    const int64_t before = crowns();
    kb_.type(k);
    while (g_.combat_active == -1 && !over()) fight();
    const int64_t after = crowns();
    if (after > before) stage().crowns += after - before;
    // The party is slain: the guild hall with nobody standing.
    if (g_.current_location == LOCATION_GUILD_HALL &&
        std::none_of(g_.party.begin(), g_.party.end(),
                     [](const PartyMemberRec& p) { return p.in_use > 0 && p.hit_points > 0; })) {
        slain_ = true;
        stage().slain = true;
    }
    const double level = mean_level();
    if (level != last_level_) {
        last_level_ = level;
        rec_.curve.push_back({rec_.fights, level});
    }
    for (int l = static_cast<int>(rec_.fights_to_level.size()); l <= lowest_level(); ++l)
        rec_.fights_to_level.push_back(l < 2 ? -1 : rec_.fights);
    if (rec_.fights_to_level.size() > 2) rec_.fights_to_first_training = rec_.fights_to_level[2];
    if (kb_.keys() > opt_.key_limit) stalled_ = true;
}

// The fight of a map event is the one whose monsters the events of the party's square name.
void Career::fight() {
    const Square here = position().at;
    bool fixed = false;
    std::string what;
    for (const MapEvent& e : router_.map(here.map).events) {
        if (e[0] != EVENT_FIGHT || e[2] != here.x || e[3] != here.y) continue;
        if (!event_condition_holds(e, g_.game_flags)) continue;
        for (const MonsterGroupRec& m : g_.monster_groups)
            if (m.monster == e[4]) fixed = true;
        sub_read_monster(g_, e[4]);
        what += (what.empty() ? "" : ", ") + std::to_string(e[5]) + " " +
                (e[5] == 1 ? g_.monster_rec.name : g_.monster_rec.plural_name).trimmed();
    }
    FixedFightRecord* record = nullptr;
    if (fixed) {
        auto& list = stage().fixed;
        auto it = std::find_if(list.begin(), list.end(), [&](const FixedFightRecord& f) {
            return f.map == here.map && f.x == here.x && f.y == here.y;
        });
        if (it == list.end()) {
            // The campaign's final fight: the last of the last stage's map.
            const auto& last = opt_.campaign.stages.back();
            bool final = false;
            for (const MapEvent& e : router_.map(last.map).events)
                if (e[0] == EVENT_FIGHT)
                    final = here.map == last.map && e[2] == here.x && e[3] == here.y;
            list.push_back({here.map, here.x, here.y, 0, false, mean_level(), what, final});
            it = list.end() - 1;
        }
        record = &*it;
    }
    const FightResult r = play_fight(g_, kb_, fixed);
    if (r.stuck) stalled_ = true;
    if (fixed) ++fixed_fights_;
    stage().deaths += r.deaths;
    if (record != nullptr) {
        ++record->attempts;
        record->won = record->won || r.end == FightResult::End::Won;
    }
    note(std::string(fixed ? "fixed fight " + what : "random fight") + ": " +
         (r.end == FightResult::End::Won    ? "won"
          : r.end == FightResult::End::Lost ? "lost"
                                            : "fled") +
         " in " + std::to_string(r.rounds) + " rounds, " + std::to_string(r.deaths) + " fell");
    if (r.end == FightResult::End::Won) {
        ++rec_.fights;
        ++stage().fights;
        rec_.curve.push_back({rec_.fights, mean_level()});
    }
}

CareerRecord play_career(const CareerOptions& options, uint64_t seed) {
    Career career(options, seed);
    return career.run();
}

} // namespace duskwend
