#pragma once
// Some screens carry out their action when a step is drawn: a fight's round, a victory's
// payout, a purchase, a healing, an advance, a night at the inn; then any key goes on (the
// window marks the wait, core/any_key.h). Such an action runs once per
// key that reached the screen; a repaint without a key (a character sheet opened and closed
// over it, a window expose) shows again what the action printed and does not act again.
//
// In a draw procedure:
//     if (!sub_begin_one_time_step(g, SCREEN_SHOP, step)) return; // already acted: text shown
//     ... act and print ...
//     sub_end_one_time_step(g);

#include <cstdint>

namespace duskwend {

struct Game;

// The screen layers that own one-time steps: the locations (LOCATION_*), the fight, and the
// character sheet. The sheet keeps a latch of its own: it is drawn over a location or a fight
// whose latch must survive it, or closing the sheet would act the step underneath again.
constexpr int SCREEN_COMBAT = 100, SCREEN_SHEET = 101;

// True when the step's action is to run now. False when it already ran since the last key
// that reached the screen; the text column then shows what it printed, and the caller stops.
bool sub_begin_one_time_step(Game& g, int screen, int step);
// Remembers what the step printed, so that a repaint shows it again without acting. The
// first form ends a location's or the fight's step, the second the step of the given screen.
void sub_end_one_time_step(Game& g);
void sub_end_one_time_step(Game& g, int screen);
// A key has reached a location's or the fight's key procedure: the next acting step may act.
void sub_key_reached_screen(Game& g);
// A key has reached the character sheet's key procedure: the sheet's next acting step may act.
void sub_key_reached_sheet(Game& g);

} // namespace duskwend
