// What the town's buildings share: headings, list lines, member letters and the way out.
#include "services/services.h"

#include "city/city_map.h"
#include "core/game.h"
#include "core/output.h"

#include <algorithm>

void print_building_heading(Game& g, const std::string& name) {
    PictureArea& t = g.Form1.Text;
    t.Cls();
    t.bold = true;
    t.CurrentY = 0;
    t.CurrentX = 100 - t.TextWidth(name) / 2;
    t.print_line(name);
    t.bold = false;
    t.print_line();
    t.print_line();
}

void print_list_line(Game& g, int index, const std::string& text) {
    print_menu_line(g, std::string("  ") + char('A' + index) + ".", text);
}

int typed_letter(const Game& g, int count) {
    if (g.input_line.size() != 1) return -1;
    const int i = g.input_line[0] - 'A';
    return i >= 0 && i < count ? i : -1;
}

int typed_member(const Game& g) {
    const int i = typed_letter(g, 7);
    return i >= 0 && g.party[i].in_use > 0 ? i : -1;
}

void sub_leave_building(Game& g) {
    g.current_location = LOCATION_CITY;
    g.location_step = -1;
    // One square back the way the party came in; a door on the grid's edge still leaves the
    // party on the grid.
    const Step ahead = facing_ahead(g.party_facing);
    g.party_x = static_cast<int16_t>(std::clamp(g.party_x - ahead.dx, 0, MAP_SIZE - 1));
    g.party_y = static_cast<int16_t>(std::clamp(g.party_y - ahead.dy, 0, MAP_SIZE - 1));
    const int f = (g.party_facing & 3) + 2;
    g.party_facing = static_cast<int16_t>(f > 3 ? f - 4 : f);
}

std::string trimmed_name(const Game& g, int member) {
    return g.party[member].name.trimmed();
}
