#include "core/one_time_step.h"

#include "core/any_key.h"
#include "core/game.h"

namespace duskwend {

namespace {

OneTimeStep& latch_of(Game& g, int screen) {
    return screen == SCREEN_SHEET ? g.sheet_one_time_step : g.one_time_step;
}

} // namespace

bool sub_begin_one_time_step(Game& g, int screen, int step) {
    sub_wait_for_any_key(g); // what a step has done is read, then any key goes on
    OneTimeStep& s = latch_of(g, screen);
    if (s.acted && s.screen == screen && s.step == step) {
        g.Form1.Text.restore_runs(s.text);
        return false;
    }
    s.screen = static_cast<int16_t>(screen);
    s.step = static_cast<int16_t>(step);
    s.acted = false;
    return true;
}

void sub_end_one_time_step(Game& g) {
    sub_end_one_time_step(g, g.one_time_step.screen);
}

void sub_end_one_time_step(Game& g, int screen) {
    OneTimeStep& s = latch_of(g, screen);
    s.acted = true;
    s.text = g.Form1.Text.runs();
}

void sub_key_reached_screen(Game& g) {
    g.one_time_step = OneTimeStep{};
}

void sub_key_reached_sheet(Game& g) {
    g.sheet_one_time_step = OneTimeStep{};
}

} // namespace duskwend
