// What the town's buildings share: headings, list lines, member letters and the way out.
#include "services/services.h"

#include "core/city_map.h"
#include "core/game.h"
#include "core/output.h"

#include <algorithm>

void print_list_line(Game& g, int index, const std::string& text) {
    print_menu_line(g, std::string("  ") + char('A' + index) + ".", text);
}

void sub_leave_building(Game& g) {
    g.current_location = LOCATION_CITY;
    g.location_step = -1;
    step_back_and_turn_about(g); // out of the door the party came in by
}

std::string trimmed_name(const Game& g, int member) {
    return g.party[member].name.trimmed();
}
