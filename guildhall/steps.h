#pragma once
// The guild hall's steps kept in files of their own, for the guild hall's key and draw
// procedures.

namespace duskwend {

struct Game;

// Character creation (guildhall/creation.cpp).
void creation_key(Game& g);
void draw_creation(Game& g);
void sub_compute_creation_resistances(Game& g);

// The inn (guildhall/inn.cpp).
void inn_key(Game& g);
void draw_inn(Game& g);

} // namespace duskwend
