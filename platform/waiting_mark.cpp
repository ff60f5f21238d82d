#include "platform/waiting_mark.h"

namespace duskwend {

namespace {

constexpr int MARK_WIDTH = 9, MARK_HEIGHT = 5;
constexpr uint32_t MARK_COLOUR = 0x000080; // the menus' key letters

} // namespace

SDL_Rect waiting_mark_area(const PictureArea& text) {
    return {text.left + text.width - MARK_WIDTH - 5, text.top + text.height - MARK_HEIGHT - 5,
            MARK_WIDTH, MARK_HEIGHT};
}

bool waiting_mark_shown_at(uint64_t ticks) {
    return (ticks / WAITING_MARK_BLINK_MS) % 2 == 0;
}

void draw_waiting_mark(SDL_Surface* frame, const PictureArea& text, int scale) {
    if (!frame) return;
    const SDL_Rect at = waiting_mark_area(text);
    const uint32_t colour = SDL_MapRGB(frame->format, (MARK_COLOUR >> 16) & 0xFF,
                                       (MARK_COLOUR >> 8) & 0xFF, MARK_COLOUR & 0xFF);
    // A triangle pointing down: each row two pixels narrower than the one above.
    for (int row = 0; row < MARK_HEIGHT; ++row) {
        const SDL_Rect line{(at.x + row) * scale, (at.y + row) * scale,
                            (MARK_WIDTH - 2 * row) * scale, scale};
        SDL_FillRect(frame, &line, colour);
    }
}

} // namespace duskwend
