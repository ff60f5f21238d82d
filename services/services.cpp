// What the town's buildings share: step tables, list lines, member letters and the way out.
#include "services/building.h"

#include "core/city_map.h"
#include "core/game.h"
#include "core/one_time_step.h"
#include "core/output.h"
#include "core/typed_keys.h"

#include <algorithm>

namespace duskwend {

namespace {

const BuildingStep* current_step(const Game& g, std::span<const BuildingStep> steps) {
    const auto s = std::ranges::find(steps, g.location_step, &BuildingStep::step);
    return s == steps.end() ? nullptr : &*s;
}

} // namespace

void begin_building(Game& g, const std::string& name) {
    print_screen_heading(g, name, 2);
    if (g.location_step != 0 && g.party[g.selected_member & PARTY_SLOT_MASK].in_use <= 0)
        g.location_step = 0;
}

void building_key(Game& g, std::span<const BuildingStep> steps) {
    if (const BuildingStep* s = current_step(g, steps))
        s->key(g);
    else
        g.location_step = 0;
}

void draw_building_step(Game& g, int location, std::span<const BuildingStep> steps) {
    const BuildingStep* s = current_step(g, steps);
    if (!s || (s->acts && !sub_begin_one_time_step(g, location, s->step))) return;
    s->draw(g);
    if (s->acts) sub_end_one_time_step(g);
}

void print_list_line(Game& g, int index, const std::string& text) {
    print_menu_line(g, std::string("  ") + char('A' + index) + ".", text);
}

void print_member_choice(Game& g, const std::string& leave) {
    text(g).print_line(" Select Character:");
    for (int k = 0; k < PARTY_SIZE; ++k)
        if (g.party[k].in_use > 0) print_list_line(g, k, g.party[k].name);
    print_menu_line(g, "  L.", leave);
}

void select_member_key(Game& g, int next) {
    const int m = typed_member(g);
    if (g.input_line == "L") {
        sub_leave_building(g);
    } else if (m >= 0) {
        g.selected_member = static_cast<int16_t>(m);
        g.location_step = static_cast<int16_t>(next);
    }
}

void sub_leave_building(Game& g) {
    g.current_location = LOCATION_CITY;
    g.location_step = -1;
    step_back_and_turn_about(g); // out of the door the party came in by
}

std::string trimmed_name(const Game& g, int member) {
    return g.party[member].name.trimmed();
}

} // namespace duskwend
