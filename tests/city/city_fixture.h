#pragma once
// A started game standing in a city the test builds: its own maps, a party of its own, and
// passing time switched off so only the city itself acts.

#include "core/dispatch.h"
#include "core/game.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace duskwend {

namespace city_test {

// The bits of one side (N 1, E 2, S 4, W 8) for wall type t.
inline int16_t side_of_type(int side, int t) {
    return int16_t(((t & 1) ? side : 0) | ((t & 2) ? side << 4 : 0) | ((t & 4) ? side << 8 : 0));
}

// kind, x, y, four parameters, condition flag, test, value.
inline std::array<int16_t, MAP_EVENT_FIELDS> event(int kind, int x, int y, int p1 = 0, int p2 = 0,
                                                   int p3 = 0, int p4 = 0, int flag = 0,
                                                   int test = 0, int value = 0) {
    return {int16_t(kind), 0,           int16_t(x),    int16_t(y),    int16_t(p1),   int16_t(p2),
            int16_t(p3),   int16_t(p4), int16_t(flag), int16_t(test), int16_t(value)};
}

inline std::vector<MapRec> maps_of(int count) {
    return std::vector<MapRec>(std::size_t(count));
}

class CityTest : public fixture::WorldTest {
  protected:
    CityTest() : WorldTest("city") {}

    // Puts a party of `members` into the city at (x, y); `host` may serve the pictures.
    Game& start(const std::vector<MapRec>& maps, int x, int y, int facing = 0, int members = 2,
                Host* host = nullptr) {
        fixture::write_slots(dir.path / MAP_FILE, maps, MAP_SLOT);
        Game& g = start_game();
        if (host) g.host = host;
        g.screens.map_turn_events = [](Game&) {};
        const char* names[] = {"Corvath", "Tallow", "Mirel", "Osk"};
        for (int m = 0; m < members; ++m) {
            g.party[m].in_use = 1;
            g.party[m].name = names[m];
            g.party[m].level = 1;
            g.party[m].crowns = 100;
        }
        g.current_location = LOCATION_CITY;
        g.location_step = -1;
        g.map_level = 1;
        g.party_x = int16_t(x), g.party_y = int16_t(y), g.party_facing = int16_t(facing);
        g.message_line = -1;
        sub_render_screen(g);
        return g;
    }

    Game& game() { return started->g; }
    void type(const std::string& keys) { fixture::type(started->g, keys); }

    // The message lines without trailing blanks, up to the last one that is not empty.
    std::vector<std::string> messages() const {
        std::vector<std::string> lines;
        for (int k = 0; k <= MESSAGE_LAST_LINE; ++k) {
            std::string s = started->g.message_lines[k];
            lines.push_back(s.erase(s.find_last_not_of(' ') + 1));
        }
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        return lines;
    }
};

} // namespace city_test

} // namespace duskwend
