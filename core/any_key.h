#pragma once

// Whether the game waits for "any key": a step that has acted and shows its result (a
// purchase, a round, a save), a refusal, a verdict, a description. The window marks such a
// wait with a blinking triangle; nothing of it enters the text, the dumps or a screenshot.

namespace duskwend {

struct Game;

// Said by a draw procedure of a step that any key ends. Every one-time step is such a step
// (core/one_time_step.h says so itself); the render dispatcher forgets it before each draw.
void sub_wait_for_any_key(Game& g);
// The step shown waits for any key, or an overlay is shown that any key closes; false while
// keys are off (a round being told) and once the game is quitting.
bool sub_waits_for_any_key(const Game& g);

} // namespace duskwend
