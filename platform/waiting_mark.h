#pragma once
// The mark the window draws over the frame while the game waits for any key: a small
// triangle in the lower right of the text column, shown and hidden in turn. It is the
// window's alone: the text model, the dumps and --screenshot never carry it.

#include "core/output_model.h"

#include <SDL.h>

#include <cstdint>

namespace duskwend {

// Shown for one period, hidden for the next.
constexpr uint32_t WAITING_MARK_BLINK_MS = 530;

// The mark's place in the window, in the frame's own pixels (490 × 355): the lower right of
// the text column.
SDL_Rect waiting_mark_area(const PictureArea& text);

// Whether the mark is in its shown half at this many milliseconds.
bool waiting_mark_shown_at(uint64_t ticks);

// Draws the mark onto a frame composed at `scale` pixels per frame pixel.
void draw_waiting_mark(SDL_Surface* frame, const PictureArea& text, int scale);

} // namespace duskwend
