#pragma once
// Some screens carry out their action when a step is drawn: a fight's round, a victory's
// payout, a purchase, a healing, an advance, a night at the inn. Such an action runs once per
// key that reached the screen; a repaint without a key (a character sheet opened and closed
// over it, a window expose) shows again what the action printed and does not act again.
//
// In a draw procedure:
//     if (!sub_begin_one_time_step(g, SCREEN_SHOP, step)) return; // already acted: text shown
//     ... act and print ...
//     sub_end_one_time_step(g);

#include <cstdint>

struct Game;

// The screen layers that own one-time steps: the locations (LOCATION_*) and the fight.
constexpr int SCREEN_COMBAT = 100;

// True when the step's action is to run now. False when it already ran since the last key
// that reached the screen; the text column then shows what it printed, and the caller stops.
bool sub_begin_one_time_step(Game& g, int screen, int step);
// Remembers what the step printed, so that a repaint shows it again without acting.
void sub_end_one_time_step(Game& g);
// A key has reached a location's or the fight's key procedure: the next acting step may act.
void sub_key_reached_screen(Game& g);
