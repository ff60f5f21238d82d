#pragma once
// The rewards the world's economy was tuned with, by monster level, so that a monster added
// later pays as its level asks. Experience doubles nearly level by level (a level's training
// needs twice the experience of the one before), slowing above level 10, where a group's
// experience, a 16-bit number, would overflow; crowns grow with the square of the level, as
// the review board's fee does.

#include "core/records.h"

#include <array>
#include <cstdio>
#include <filesystem>

namespace duskwend {

struct Game;

// What one monster of a level is worth on average: experience (base plus per hit point times
// its average hit points) and crowns.
struct LevelReward {
    int experience;
    int crowns;
};
LevelReward level_reward(int level);

// Crowns dice [count, sides, bonus] that average `crowns`.
std::array<int, 3> crowns_dice_for(int crowns);

// What the tuning gives one monster: its crowns dice, experience base and experience per hit
// point (lowered when its hit points alone would pay more than half of what the level asks).
struct TunedMonster {
    std::array<int, 3> crowns_dice;
    int experience_base;
    int experience_per_hit_point;
};
TunedMonster tuned_monster(const MonsterRec& m);

// Lists every monster of the game's world with its level, its crowns dice and experience
// base, and what the tuning gives for its level; a "*" marks the monsters that differ.
void print_economy(Game& g, std::FILE* out);

// Sets `crowns_dice` and `experience_base` (and a lowered `experience_per_hit_point`) of every
// [[monster]] of a monsters.toml source to
// what the tuning gives for its level, leaving every other line as it is (the n-th [[monster]]
// is monster n of `g`'s world, compiled from that source). Returns the monsters changed;
// throws std::runtime_error naming the file when it cannot be read or written.
int write_economy(Game& g, const std::filesystem::path& monsters_toml);

} // namespace duskwend
