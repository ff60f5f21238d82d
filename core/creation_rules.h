#pragma once
// The attributes of a character being made, kept in Game's new_* values: their race
// adjustments and their maxima by race and class. Character creation spends bonus points within
// the maxima; the review board raises one attribute within the same maxima.

#include "core/class_rules.h"
#include "core/codes.h"
#include "core/records.h"

#include <array>
#include <cstdint>

namespace duskwend {

struct Game;

// What each race adds to the starting attributes and to their maxima.
constexpr AttributeAdjustment RACE_ATTRIBUTES[RACE_COUNT] = {{0, 0, 0, 0, 0, 0, 0, 1},
                                                    {0, 0, 0, 0, -1, 2, 0, 0},
                                                    {-1, 1, 0, 0, 1, -1, 1, 0},
                                                    {-1, 2, 0, 0, 0, 0, 0, 0},
                                                    {0, 1, 0, 0, 1, 0, 1, 1}};

// Attribute k (0 strength .. 7 karma) of the character being made.
int16_t& new_attribute(Game& g, int k);

// The attribute maxima of the new character's race and class; an attribute above its
// maximum is lowered to it and refunds one point.
void sub_clamp_creation_attributes(Game& g);

} // namespace duskwend
