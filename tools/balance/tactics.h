#pragma once
// How the simulated party fights: simple tactics a player would use, played through the
// fight's own screens and rules.
//
// Every member in the front four attacks the front group. A Cleric heals a member below half
// his hit points (the whole party when two or more are), otherwise may smite; a Mage casts the
// strongest damage spell he has the mana for when the fight is worth it. When two members have
// fallen, or the fight has lasted forty rounds, the party flees.

#include <vector>

namespace duskwend {

struct Game;
class Keyboard;

struct FightResult {
    enum class End { Won, Lost, Fled } end = End::Won;
    int rounds = 0;
    int deaths = 0;     // members who fell in the fight
    bool stuck = false; // the fight did not end within a few thousand keys
};

// Fights the fight on the screen to its end. `fixed`: a fight of a map event, always worth
// the mana. The keys of the action menus are counted as a player types them; the fight's own
// keys (Quick Attack, Begin Combat, the keys after each round) are typed.
FightResult play_fight(Game& g, Keyboard& kb, bool fixed);

// The average a spell's dice give a caster of `level`.
double spell_average(Game& g, int spell, int level);

} // namespace duskwend
