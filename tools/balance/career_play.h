#pragma once
// One party's career, between career.cpp (the campaign, walking and fighting) and town.cpp
// (the temple, the review board, the shops and the inn).

#include "tools/balance/career.h"
#include "tools/balance/judge.h"
#include "tools/balance/router.h"
#include "tools/balance/session.h"
#include "tools/balance/tactics.h"

#include <array>
#include <random>
#include <set>
#include <string>

namespace duskwend {

class Career {
  public:
    Career(const CareerOptions& options, uint64_t seed);
    CareerRecord run();

  private:
    // ---- the campaign (career.cpp) ----
    bool play_stage();
    void grind();
    int grind_map();
    bool map_safe(int map);
    bool finished() const;
    std::optional<Square> next_sight(int map);
    std::optional<Square> next_fight(int map);
    std::vector<Square> fight_squares(int map) const;

    // ---- walking and fighting (career.cpp) ----
    enum class Walk { Arrived, Unreachable, Interrupted, Over };
    // Walks to a square the goal accepts; `interruptible`: stops when, after a fight, the
    // party should see to itself in town first.
    Walk walk_to(const Router::Goal& goal, bool interruptible);
    // Types one key and plays every fight it starts.
    void key(const std::string& k);
    void fight();
    Position position() const;
    bool over() const { return slain_ || stalled_; }
    StageRecord& stage() { return rec_.stages[static_cast<std::size_t>(stage_)]; }
    // One line of the trace, with the keys so far and the party's state.
    void note(const std::string& what);

    // ---- the party (town.cpp) ----
    int64_t crowns() const;
    double mean_level() const;
    int lowest_level() const;
    bool can_advance(int slot);
    int64_t training_cost(int slot) const;
    int64_t healing_price(int slot, bool whole);
    bool badly_diseased(int slot) const;
    bool needs_town();
    bool hurt_now() const;
    bool whole() const; // nobody fallen
    bool rested() const;
    void arrange_party();
    void pool_to(int slot);

    // ---- the town (town.cpp) ----
    // Returns true when anything was done.
    bool town_visit(bool rest);
    bool enter_building(int building, int number);
    void leave_building();
    void visit_temple();
    void visit_review_board();
    bool visit_shops();
    void rest_at_inn();

    // ---- the shops (shopping.cpp) ----
    int64_t reserve();
    void equip_found(int slot);
    void sell_spare(int slot);
    void equip_from_pack(int slot, int pack_slot);

    const CareerOptions& opt_;
    HeadlessGame hg_;
    Game& g_;
    Keyboard kb_;
    Judge judge_;
    Router router_;
    std::mt19937_64 rng_;
    CareerRecord rec_;
    int stage_ = 0;
    bool slain_ = false, stalled_ = false;
    // Sight squares already walked to, each with which of its events held then: a square is
    // seen again once what it shows has changed (a seal broken, a door opened elsewhere).
    using Sight = std::tuple<int, int, int, std::string>;
    Sight sight_at(const Square& s) const;
    std::set<Sight> visited_;
    double last_level_ = 0;
    int fixed_fights_ = 0; // fixed fights met, won or not
    // What the temple last asked, by class, to raise a fallen member; and for a cure.
    std::array<int64_t, 8> temple_price_seen_{1, 1, 1, 1, 1, 1, 1, 1};
    int64_t cure_price_seen_ = 0;
};

} // namespace duskwend
