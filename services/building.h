#pragma once
// What the town's buildings share: a table of each screen's steps, list lines, the choice of
// member and the way out.

#include <span>
#include <string>

namespace duskwend {

struct Game;

// One step of a building's screen: the procedure for its keys, its drawing, and whether the
// drawing acts (a purchase, a healing, an advance), which it then does once per key that
// reached the screen (core/one_time_step.h).
struct BuildingStep {
    int step;
    void (*key)(Game&);
    void (*draw)(Game&);
    bool acts = false;
};
// The building's heading over a clear column. A member who left the party while a sheet was
// open over the building sends the screen back to its first step, the choice of member.
void begin_building(Game& g, const std::string& name);
// The key procedure of the current step; a step the screen does not have starts it again at
// step 0.
void building_key(Game& g, std::span<const BuildingStep> steps);
// Draws the current step of the building at `location` (LOCATION_*); nothing for a step the
// screen does not have.
void draw_building_step(Game& g, int location, std::span<const BuildingStep> steps);

// The list line of entry `index`: "  A." (A for 0) in colour 1, then at x = 25 the text in
// colour 0, ending the line. Menu lines are print_menu_line of core/output.
void print_list_line(Game& g, int index, const std::string& text);

// "Select Character:" and the party's present members as a list, then the way out.
void print_member_choice(Game& g, const std::string& leave);
// The key of that choice: L leaves the building, a present member's letter selects the member
// for the step `next`.
void select_member_key(Game& g, int next);

// Leaving a building: back to the city, one square back out of the door and turned about.
void sub_leave_building(Game& g);

// The member's name without its trailing blanks.
std::string trimmed_name(const Game& g, int member);

// The first step of a building: the choice of the member served, who then goes on to step
// `Next`.
template <int Next> constexpr BuildingStep member_choice_step(int step, void (*draw)(Game&)) {
    return {step, [](auto& g) { select_member_key(g, Next); }, draw};
}
// A step whose drawing acts; after it any key goes back to step `Back`.
template <int Back> constexpr BuildingStep acting_step(int step, void (*draw)(Game&)) {
    return {step, [](auto& g) { g.location_step = Back; }, draw, true};
}

} // namespace duskwend
