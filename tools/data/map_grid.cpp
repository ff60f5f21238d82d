#include "tools/data/map_grid.h"

#include <charconv>
#include <cstdio>
#include <sstream>

namespace duskwend {

namespace {

constexpr int MARGIN = 3;
constexpr int WIDTH = 2 * MAP_SIZE + 1; // drawing characters per line
constexpr const char* SIDE_NAMES[] = {"north", "east", "south", "west"};

char wall_char(int type, bool vertical) {
    if (type == 0) return ' ';
    if (type == 1) return vertical ? '|' : '-';
    return static_cast<char>('0' + type);
}

int wall_type(char ch, bool vertical) {
    if (ch == ' ') return 0;
    if (ch == (vertical ? '|' : '-')) return 1;
    if (ch >= '0' && ch <= '7') return ch - '0';
    return -1;
}

int16_t& at(Table<MAP_SIZE, MAP_SIZE>& g, int x, int y) {
    return g[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
}
int16_t at(const Table<MAP_SIZE, MAP_SIZE>& g, int x, int y) {
    return g[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
}

bool parse_square(const std::string& s, std::size_t& pos, int& x, int& y) {
    auto read = [&](int& v) {
        auto r = std::from_chars(s.data() + pos, s.data() + s.size(), v);
        if (r.ec != std::errc()) return false;
        pos = static_cast<std::size_t>(r.ptr - s.data());
        return true;
    };
    if (!read(x) || pos >= s.size() || s[pos] != ',') return false;
    ++pos;
    return read(y);
}

} // namespace

int side_type(int16_t square, int side) {
    int b = 1 << side;
    return ((square & b) ? 1 : 0) | ((square & (b << 4)) ? 2 : 0) | ((square & (b << 8)) ? 4 : 0);
}

void set_side_type(int16_t& square, int side, int type) {
    int b = 1 << side;
    int v = square & ~(b | (b << 4) | (b << 8));
    if (type & 1) v |= b;
    if (type & 2) v |= b << 4;
    if (type & 4) v |= b << 8;
    square = static_cast<int16_t>(v);
}

std::string draw_grid(const Table<MAP_SIZE, MAP_SIZE>& g, const Table<MAP_SIZE, MAP_SIZE>& marks) {
    std::string out;
    std::string tens(MARGIN + WIDTH, ' '), ones(MARGIN + WIDTH, ' ');
    tens[0] = ones[0] = '#';
    for (int x = 0; x < MAP_SIZE; ++x) {
        std::size_t col = static_cast<std::size_t>(MARGIN + 2 * x + 1);
        if (x >= 10) tens[col] = static_cast<char>('0' + x / 10);
        ones[col] = static_cast<char>('0' + x % 10);
    }
    auto trim = [](std::string s) { return s.erase(s.find_last_not_of(' ') + 1); };
    out += trim(tens) + "\n" + trim(ones) + "\n";
    for (int y = 0; y <= MAP_SIZE; ++y) {
        std::string border(MARGIN, ' ');
        for (int x = 0; x < MAP_SIZE; ++x) {
            int t =
                y < MAP_SIZE ? side_type(at(g, x, y), NORTH) : side_type(at(g, x, y - 1), SOUTH);
            if (y > 0 && y < MAP_SIZE) t = side_type(at(g, x, y - 1), SOUTH);
            border += '+';
            border += wall_char(t, false);
        }
        out += border + "+\n";
        if (y == MAP_SIZE) break;
        char label[8];
        std::snprintf(label, sizeof label, "%2d ", y);
        std::string row = label;
        for (int x = 0; x <= MAP_SIZE; ++x) {
            int t = x == 0 ? side_type(at(g, 0, y), WEST) : side_type(at(g, x - 1, y), EAST);
            row += wall_char(t, true);
            if (x < MAP_SIZE) row += static_cast<char>(at(marks, x, y));
        }
        out += row + "\n";
    }
    return out;
}

std::vector<std::string> one_sided_sides(const Table<MAP_SIZE, MAP_SIZE>& g) {
    std::vector<std::string> out;
    auto note = [&](int x, int y, int side, int type) {
        out.push_back(std::to_string(x) + "," + std::to_string(y) + " " + SIDE_NAMES[side] + " " +
                      std::to_string(type));
    };
    for (int y = 0; y < MAP_SIZE; ++y)
        for (int x = 0; x < MAP_SIZE; ++x) {
            // The drawing shows the side of the square above and to the left.
            if (y > 0 && side_type(at(g, x, y), NORTH) != side_type(at(g, x, y - 1), SOUTH))
                note(x, y, NORTH, side_type(at(g, x, y), NORTH));
            if (x > 0 && side_type(at(g, x, y), WEST) != side_type(at(g, x - 1, y), EAST))
                note(x, y, WEST, side_type(at(g, x, y), WEST));
        }
    return out;
}

std::vector<std::string> raw_square_values(const Table<MAP_SIZE, MAP_SIZE>& g) {
    std::vector<std::string> out;
    for (int y = 0; y < MAP_SIZE; ++y)
        for (int x = 0; x < MAP_SIZE; ++x)
            if (at(g, x, y) & 0xF000) {
                char buf[32];
                std::snprintf(buf, sizeof buf, "%d,%d 0x%04X", x, y,
                              static_cast<unsigned>(static_cast<uint16_t>(at(g, x, y))));
                out.push_back(buf);
            }
    return out;
}

bool parse_grid(const std::string& drawing, int first_line, Table<MAP_SIZE, MAP_SIZE>& g,
                const Source& src) {
    std::vector<std::pair<int, std::string>> lines;
    std::istringstream in(drawing);
    std::string l;
    for (int n = first_line; std::getline(in, l); ++n) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        if (!l.empty() && l[0] == '#') continue; // rulers and notes
        if (l.find_first_not_of(' ') == std::string::npos && lines.size() == 2 * MAP_SIZE + 1)
            continue; // blank lines after the drawing
        lines.emplace_back(n, l);
    }
    if (lines.size() != 2 * MAP_SIZE + 1) {
        src.error(first_line, "the grid drawing has " + std::to_string(lines.size()) +
                                  " lines; it needs " + std::to_string(2 * MAP_SIZE + 1) +
                                  " (a border line above and below each of the 33 rows)");
        return false;
    }
    g = {};
    bool ok = true;
    auto bad = [&](int line, std::size_t col, const std::string& what) {
        src.error(line, "column " + std::to_string(col + 1) + ": " + what);
        ok = false;
    };
    for (int j = 0; j < 2 * MAP_SIZE + 1; ++j) {
        auto& [line, text] = lines[static_cast<std::size_t>(j)];
        std::string s = text;
        s.erase(s.find_last_not_of(' ') + 1);
        if (s.size() > MARGIN + WIDTH) {
            bad(line, MARGIN + WIDTH,
                "the line is longer than the drawing (" + std::to_string(MARGIN + WIDTH) +
                    " characters)");
            continue;
        }
        s.resize(MARGIN + WIDTH, ' ');
        bool border = j % 2 == 0;
        int y = j / 2;
        for (int x = 0; x <= MAP_SIZE; ++x) {
            std::size_t col = static_cast<std::size_t>(MARGIN + 2 * x);
            if (border) {
                if (s[col] != '+') bad(line, col, "expected '+' at a corner");
                if (x == MAP_SIZE) continue;
                int t = wall_type(s[col + 1], false);
                if (t < 0) {
                    bad(line, col + 1,
                        std::string("'") + s[col + 1] +
                            "' is not a wall; use ' ', '-' or a type 0..7");
                    continue;
                }
                if (y > 0) set_side_type(at(g, x, y - 1), SOUTH, t);
                if (y < MAP_SIZE) set_side_type(at(g, x, y), NORTH, t);
            } else {
                int t = wall_type(s[col], true);
                if (t < 0) {
                    bad(line, col,
                        std::string("'") + s[col] + "' is not a wall; use ' ', '|' or a type 0..7");
                    continue;
                }
                if (x > 0) set_side_type(at(g, x - 1, y), EAST, t);
                if (x < MAP_SIZE) set_side_type(at(g, x, y), WEST, t);
            }
        }
    }
    return ok;
}

bool apply_one_sided(const std::string& entry, int line, Table<MAP_SIZE, MAP_SIZE>& g,
                     const Source& src) {
    std::size_t pos = 0;
    int x = 0, y = 0;
    std::istringstream rest;
    std::string side_word;
    int type = -1;
    if (parse_square(entry, pos, x, y)) {
        rest.str(entry.substr(pos));
        rest >> side_word >> type;
    }
    int side = -1;
    for (int k = 0; k < 4; ++k)
        if (side_word == SIDE_NAMES[k]) side = k;
    std::string extra;
    if (side < 0 || type < 0 || type > 7 || (rest >> extra) || x < 0 || x >= MAP_SIZE || y < 0 ||
        y >= MAP_SIZE) {
        src.error(line, "one_sided entry \"" + entry +
                            "\" should read \"x,y side type\" with x and y 0..32, side north, "
                            "east, south or west, and type 0..7");
        return false;
    }
    set_side_type(at(g, x, y), side, type);
    return true;
}

bool apply_raw_square(const std::string& entry, int line, Table<MAP_SIZE, MAP_SIZE>& g,
                      const Source& src) {
    std::size_t pos = 0;
    int x = 0, y = 0;
    unsigned long value = 0x10000;
    if (parse_square(entry, pos, x, y) && pos + 3 < entry.size() && entry[pos] == ' ' &&
        entry.compare(pos + 1, 2, "0x") == 0) {
        char* end = nullptr;
        value = std::strtoul(entry.c_str() + pos + 3, &end, 16);
        if (*end != '\0') value = 0x10000;
    }
    if (value > 0xFFFF || x < 0 || x >= MAP_SIZE || y < 0 || y >= MAP_SIZE) {
        src.error(line, "raw_squares entry \"" + entry +
                            "\" should read \"x,y 0xVALUE\" with x and y 0..32 and a value up "
                            "to 0xFFFF");
        return false;
    }
    at(g, x, y) = static_cast<int16_t>(static_cast<uint16_t>(value));
    return true;
}

} // namespace duskwend
