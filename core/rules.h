#pragma once
// Rules shared by several screens: dice and formulas, roster/party/pack housekeeping, and the
// party's derived statistics.

#include <cstdint>

namespace duskwend {

struct Game;
struct PartyMemberRec;

// Dice, percentages and shared formulas.
double sub_random(Game& g); // uniform 0 <= r < 1
int16_t sub_roll_dice(Game& g, int n, int s, int b);
int16_t sub_random_percent(Game& g);
int16_t sub_attribute_factor(int v);
int32_t sub_experience_needed(Game& g, int slot);
int16_t sub_roll_level_gains(Game& g, int which, int slot);
int16_t sub_haggle_price(Game& g, int16_t& price, int slot);
// The same price computed wide, for bases beyond the Integer range (a temple's healing); it
// leaves the base alone.
double sub_haggled_price(const Game& g, double price, int slot);

// Roster, party and pack housekeeping.
void sub_sort_roster(Game& g);
int sub_count_party_members(const Game& g); // party slots 0..7 with in_use > 0
void sub_compact_party(Game& g);
void sub_swap_party_members(Game& g, int a, int b);
void sub_tidy_pack(Game& g, int m);
int16_t sub_find_empty_pack_slot(Game& g, int m);
void sub_pool_crowns(Game& g, int target);
// Puts `quantity` of a found item (treasure of a square or of a fight) into the member's pack:
// onto the first of slots 0..9 that holds it or is empty. An item new to the pack is known
// when a roll falls within the finder's level, identify skill and the map's difficulty.
// Returns the slot, or -1 when the pack is full and the item is lost.
int sub_pack_found_item(Game& g, PartyMemberRec& p, int item, int quantity);
int16_t sub_attribute_trend(Game& g, int k, int m);
void sub_lowest_spell_level(Game& g, int m);
int16_t sub_step_spell_level(Game& g, int m, int direction);

// A member in the party with hit points left.
bool alive(const PartyMemberRec& m);

// Party member statistics: current values from base values, equipment and effects.
void sub_update_party_stats(Game& g);

} // namespace duskwend
