#pragma once
// The attributes of a character being made, kept in Game's new_* values: their race
// adjustments and their maxima by race and class. Character creation spends bonus points within
// the maxima; the review board raises one attribute within the same maxima.

#include "core/records.h"

#include <array>
#include <cstdint>

struct Game;

using AttributeAdjustment = std::array<int, ATTRIBUTE_COUNT>; // strength .. karma

// What each race adds to the starting attributes and to their maxima.
constexpr AttributeAdjustment RACE_ATTRIBUTES[5] = {{0, 0, 0, 0, 0, 0, 0, 1},
                                                    {0, 0, 0, 0, -1, 2, 0, 0},
                                                    {-1, 1, 0, 0, 1, -1, 1, 0},
                                                    {-1, 2, 0, 0, 0, 0, 0, 0},
                                                    {0, 1, 0, 0, 1, 0, 1, 1}};

inline bool valid_class(int c) {
    return c >= 0 && c < 8;
}
inline bool valid_race(int r) {
    return r >= 0 && r < 5;
}

// Attribute k (0 strength .. 7 karma) of the character being made.
int16_t& new_attribute(Game& g, int k);

// The attribute maxima of the new character's race and class; an attribute above its
// maximum is lowered to it and refunds one point.
void sub_clamp_creation_attributes(Game& g);
