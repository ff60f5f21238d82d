#include "core/one_time_step.h"

#include "core/game.h"

bool sub_begin_one_time_step(Game& g, int screen, int step) {
    OneTimeStep& s = g.one_time_step;
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
    g.one_time_step.acted = true;
    g.one_time_step.text = g.Form1.Text.runs();
}

void sub_key_reached_screen(Game& g) {
    g.one_time_step = OneTimeStep{};
}
