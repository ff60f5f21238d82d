#pragma once
// What sets the eight classes apart, one row per class. Every rule that differs by class reads
// the member's row here instead of testing the class number.

#include "core/codes.h"
#include "core/records.h"

#include <array>

namespace duskwend {

// A number that grows with the level: per_level x level + constant.
struct LevelTerm {
    int per_level, constant;
    constexpr int at(int level) const { return per_level * level + constant; }
};

// Hit points or mana: F(attribute) x per_level on each new level; at creation F(attribute) x
// per_level + at_creation (F = the attribute factor / 100).
struct Growth {
    double per_level, at_creation;
};

using AttributeAdjustment = std::array<int, ATTRIBUTE_COUNT>; // strength .. karma

// Every row states the fields without a default; the others default to "nothing special".
struct ClassRules {
    const char* name;

    // A fight.
    LevelTerm initiative;   // added to the member's initiative
    int levels_per_attack;  // attacks per round: level / this, rounded up, at least one
    LevelTerm attack_bonus; // added to every attack roll
    LevelTerm armour;       // added to the armour class, before the speed and dexterity factors
    // Monster types (bit 1 << type) this class knows how to fight: its attack rolls and damage
    // and its armour against them count 1.1 times.
    int favoured_foes = 0;
    // Level + karma in a hundred: the hits of an attack do (level / 4 + 2) times the damage.
    bool critical_hits = false;
    bool may_hide = false;  // Hide in Shadows in a fight
    bool berserker = false; // Berserker Rage in a fight, and a hit may send the member berserk
    // From this level on, diseases do not take; 0: never immune.
    int disease_immunity_level = 0;
    // The backstab factor (level - 1) / backstab_levels + 2, shown on the sheet with the thief
    // skills; 0: the class has neither. Only a class with backstab_in_fights strikes from the
    // shadows with it: every other class, a Merchant too, does 1.5 times the damage.
    int backstab_levels = 0;
    bool backstab_in_fights = false;

    // Magic and growth.
    int mana_attribute; // the attribute index mana grows with (intelligence or piety)
    // The share of the mana attribute added to a cast's chance of success; that much of the
    // attribute is also the chance in a hundred of a tenth more amount and duration. 0: none.
    double spell_skill = 0;
    Growth hit_points;        // grows with vitality
    Growth mana;              // grows with the mana attribute; per_level 0: the class has no mana
    double experience_factor; // experience a level needs, against a Fighter's
    int trained_attribute;    // the attribute index that review board rolls 9 to 12 raise

    // Creation.
    AttributeAdjustment start_attributes{};   // added to the starting 8s
    AttributeAdjustment maximum_attributes{}; // added to the maximum of 18
    int bonus_points;
    std::array<int, 6> resistances{}; // added to the starting resistances, by element
    // Bonus points for the thief skills (0: the class skips that step), and what the skills
    // start at, against intelligence, dexterity, their half sum, dexterity and the half sum.
    int thief_skill_points = 0;
    std::array<int, 5> thief_skill_offsets{};

    // Trade: buys at 0.9 of the price and sells for 1.1 of the offer.
    bool haggler = false;
};

// The row of a class; a number outside 0..7 gets a row that adds nothing and allows nothing,
// with no name.
const ClassRules& class_rules(int class_id);

// Does the class fight this monster type better?
bool favours(const ClassRules& rules, int monster_type);

} // namespace duskwend
