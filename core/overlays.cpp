#include "core/overlays.h"

#include "core/city_map.h"
#include "core/dispatch.h"
#include "core/file_access.h"
#include "core/game.h"
#include "core/map_names.h"
#include "core/numbers.h"
#include "core/save_slots.h"
#include "core/version.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <utility>

namespace duskwend {

namespace fs = std::filesystem;

namespace {

constexpr double MESSAGE_SPEEDS[] = {0.5, 0.25, 0.1, 1.0};
constexpr int LOG_LINES_SHOWN = MESSAGE_LAST_LINE; // line 0 is the log's heading

// The automap: the squares seen (and the party's) at the largest whole scale that fits the
// picture area, from 4 pixels (the whole map) to 16; walls, doors and what was seen of events
// in the colours of the legend, which are colours of the text's own palette.
constexpr int SMALLEST_CELL = 4, LARGEST_CELL = 16;
constexpr uint32_t UNSEEN = 0x1E1916, FLOOR = 0xE6D8B8, BACKGROUND = 0x2A2320;
constexpr int PARTY_COLOUR = 0, EVENT_COLOUR = 3;
// Walls by type: 1 stone, 2 brick, 3 timber, 4 hedge, 5 iron gate, 6 door, 7 arch.
constexpr int WALL_COLOURS[8] = {0, 8, 4, 6, 2, 1, 12, 13};
const char* const WALL_NAMES[8] = {"",      "stone",     "brick", "timber",
                                   "hedge", "iron gate", "door",  "arch or dark door"};
const char* const FACINGS[4] = {"north", "east", "south", "west"};

// The maps an automap may hold: those of the world (all a map number can name before the
// world is opened).
int automap_maps(const Game& g) {
    return g.data_files.map_count > 0 ? g.data_files.map_count : MAX_MAPS;
}

std::vector<uint8_t>& seen_of(Game& g, int map) {
    auto& squares = g.overlays.automap[static_cast<int16_t>(map)];
    squares.resize(std::size_t(MAP_SIZE) * MAP_SIZE, 0);
    return squares;
}

void fill(Bitmap& b, int x, int y, int w, int h, uint32_t rgb) {
    for (int j = std::max(0, y); j < std::min(b.height, y + h); ++j)
        for (int i = std::max(0, x); i < std::min(b.width, x + w); ++i) b.at(i, j) = rgb;
}

// Keeps what the overlay covers, to give it back unchanged.
void cover(Game& g, int16_t which) {
    auto& o = g.overlays;
    const PictureArea& t = g.Form1.Text;
    o.text_under = t.runs();
    o.text_cursor_x = t.CurrentX;
    o.text_cursor_y = t.CurrentY;
    o.text_colour = t.fore_colour;
    o.text_bold = t.bold;
    o.picture_under = g.Form1.mainPic.image;
    o.picture_name_under = g.Form1.mainPic.picture_name;
    o.shown = which;
}

void uncover(Game& g) {
    auto& o = g.overlays;
    PictureArea& t = g.Form1.Text;
    t.restore_runs(std::move(o.text_under));
    t.CurrentX = o.text_cursor_x;
    t.CurrentY = o.text_cursor_y;
    t.fore_colour = o.text_colour;
    t.bold = o.text_bold;
    g.Form1.mainPic.image = std::move(o.picture_under);
    g.Form1.mainPic.picture_name = std::move(o.picture_name_under);
    o.text_under.clear();
    o.picture_under = Bitmap();
    o.picture_name_under.clear();
    o.shown = OVERLAY_NONE;
    o.log_scroll = 0;
    o.slot_command = 0;
    o.slot_status.clear();
    // A game loaded from a slot: the screen underneath shows the new one (acting steps show
    // what they printed, as after any repaint).
    if (o.slot_loaded) sub_render_screen(g);
    o.slot_loaded = false;
    g.host->repaint(g);
}

void heading(PictureArea& t, const std::string& text) {
    t.Cls();
    t.CurrentX = 0;
    t.CurrentY = 0;
    t.fore_colour = 1;
    t.bold = true;
    t.print_line(text);
    t.bold = false;
    t.fore_colour = 0;
}

// The squares the map shows: those seen and the party's, one square around them.
struct MapBox {
    int left = 0, top = 0, width = MAP_SIZE, height = MAP_SIZE;
};

MapBox box_of(const std::vector<uint8_t>& seen, int party_x, int party_y) {
    int x0 = MAP_SIZE, y0 = MAP_SIZE, x1 = -1, y1 = -1;
    const auto take = [&](int x, int y) {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    };
    for (int x = 0; x < MAP_SIZE; ++x)
        for (int y = 0; y < MAP_SIZE; ++y)
            if (seen[std::size_t(x) * MAP_SIZE + y]) take(x, y);
    if (inside_grid(party_x, party_y)) take(party_x, party_y);
    if (x1 < 0) return {};
    x0 = std::max(0, x0 - 1), y0 = std::max(0, y0 - 1);
    x1 = std::min(MAP_SIZE - 1, x1 + 1), y1 = std::min(MAP_SIZE - 1, y1 + 1);
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

// An arrow filling a square of `cell` pixels at (px, py), its point on the side faced.
void draw_arrow(Bitmap& pic, int px, int py, int cell, int facing, uint32_t rgb) {
    for (int along = 0; along < cell; ++along) {
        // Rows from the point (along = 0) to the base widen by one pixel on each side.
        const int half = std::min(along, cell / 2);
        for (int across = cell / 2 - half; across <= (cell - 1) / 2 + half; ++across) {
            int x = 0, y = 0;
            switch (facing & 3) {
            case 0:
                x = across, y = along;
                break;
            case 1:
                x = cell - 1 - along, y = across;
                break;
            case 2:
                x = across, y = cell - 1 - along;
                break;
            default:
                x = along, y = across;
                break;
            }
            fill(pic, px + x, py + y, 1, 1, rgb);
        }
    }
}

std::string map_title(const Game& g, int map) {
    const std::string name = read_map_name(g.data_files.dir, map);
    return name.empty() ? "Map " + std::to_string(map) : name;
}

// A legend line: its swatch (a stretch of wall, a dot, an arrow) and its text in its colour.
void legend_line(PictureArea& t, int colour, const std::string& swatch, const std::string& text) {
    t.fore_colour = colour;
    t.bold = true;
    t.print(swatch);
    t.bold = false;
    t.CurrentX = 20;
    t.print_line(text);
    t.fore_colour = 0;
}

void draw_automap(Game& g) {
    Bitmap& pic = g.Form1.mainPic.image;
    pic = Bitmap(MainPicture::width, MainPicture::height, BACKGROUND);
    g.Form1.mainPic.picture_name = "automap";
    PictureArea& t = g.Form1.Text;
    const int map = g.map_level;
    const bool in_city = g.current_location == LOCATION_CITY && map >= 1;
    if (map < 1) {
        heading(t, "Map");
        t.print_line("No map has been walked yet.");
        t.print_line();
        t.print_line("Tab or any key closes the map.");
        return;
    }
    heading(t, map_title(g, map));
    const std::vector<uint8_t>& seen = seen_of(g, map);
    const MapBox box = box_of(seen, in_city ? g.party_x : -1, in_city ? g.party_y : -1);
    const int cell =
        std::clamp(std::min(MainPicture::width / box.width, MainPicture::height / box.height),
                   SMALLEST_CELL, LARGEST_CELL);
    const int left = (MainPicture::width - box.width * cell) / 2,
              top = (MainPicture::height - box.height * cell) / 2;
    const int wall = cell >= 8 ? 2 : 1;
    // Only the shown map's walls and events are known; another map's squares show as floor.
    const bool known = g.map_level == map;
    for (int x = box.left; x < box.left + box.width; ++x)
        for (int y = box.top; y < box.top + box.height; ++y) {
            const int px = left + (x - box.left) * cell, py = top + (y - box.top) * cell;
            if (!seen[std::size_t(x) * MAP_SIZE + y]) {
                fill(pic, px, py, cell, cell, UNSEEN);
                continue;
            }
            fill(pic, px, py, cell, cell, FLOOR);
            if (!known) continue;
            const int16_t v = g.map_rec.grid[x][y];
            const int n = wall_type(v, SIDE_NORTH), e = wall_type(v, SIDE_EAST),
                      s = wall_type(v, SIDE_SOUTH), w = wall_type(v, SIDE_WEST);
            if (n) fill(pic, px, py, cell, wall, QBColor(WALL_COLOURS[n]));
            if (s) fill(pic, px, py + cell - wall, cell, wall, QBColor(WALL_COLOURS[s]));
            if (w) fill(pic, px, py, wall, cell, QBColor(WALL_COLOURS[w]));
            if (e) fill(pic, px + cell - wall, py, wall, cell, QBColor(WALL_COLOURS[e]));
        }
    // A dot on every seen square that holds an event.
    if (known)
        for (const auto& e : g.map_rec.events) {
            const int x = e[2], y = e[3];
            if (e[0] <= 0 || !inside_grid(x, y) || !seen[std::size_t(x) * MAP_SIZE + y]) continue;
            if (x < box.left || x >= box.left + box.width || y < box.top ||
                y >= box.top + box.height)
                continue;
            const int dot = std::max(2, cell / 3);
            fill(pic, left + (x - box.left) * cell + (cell - dot) / 2,
                 top + (y - box.top) * cell + (cell - dot) / 2, dot, dot, QBColor(EVENT_COLOUR));
        }
    if (in_city && inside_grid(g.party_x, g.party_y)) {
        const int inset = cell >= 8 ? 1 : 0;
        draw_arrow(pic, left + (g.party_x - box.left) * cell + inset,
                   top + (g.party_y - box.top) * cell + inset, cell - 2 * inset, g.party_facing,
                   QBColor(PARTY_COLOUR));
        t.print_line("X " + std::to_string(g.party_x) + "  Y " + std::to_string(g.party_y) +
                     "  facing " + FACINGS[g.party_facing & 3]);
    }
    t.print_line();
    // The swatches are characters of the game's code page: an em dash, a bullet, a "»".
    for (int type = 1; type <= 7; ++type)
        legend_line(t, WALL_COLOURS[type], "\x97", WALL_NAMES[type]);
    legend_line(t, EVENT_COLOUR, " \x95", "something seen here");
    legend_line(t, PARTY_COLOUR, " \xBB", "the party, pointing where it faces");
    t.print_line();
    t.print_line("Tab or any key closes the map.");
}

void draw_key_help(Game& g) {
    PictureArea& t = g.Form1.Text;
    heading(t, "Keys");
    const auto line = [&](const std::string& s) { t.print_line(s); };
    if (g.sheet_member > 0) {
        line("The sheet's letters choose; X closes it.");
    } else if (is_on(g.combat_active)) {
        line("The fight's letters choose an action.");
        line("1 - 7  a member's sheet (while choosing)");
    } else if (g.current_location == LOCATION_CITY) {
        line("Up  step forward");
        line("Left or -  turn left");
        line("Right or +  turn right");
        line("Down  turn around");
        line("N  party order (A - G, X to exit)");
        line("1 - 7  a member's sheet");
    } else {
        line("The letters the menu shows choose.");
        line("Enter ends a name; Backspace rubs out.");
        line("1 - 7  a member's sheet");
    }
    line("");
    line("Tab  map of the squares seen");
    line("F1  this help");
    line("F2  message log (arrows scroll)");
    line("F5  message speed, now " + message_speed_text(g.message_delay));
    line("F6  save slots (at the guild hall)");
    line("Alt+Enter  full screen");
    line("");
    line("Any key closes this help.");
    line("");
    line(std::string("Duskwend ") + GAME_VERSION);
}

void draw_message_log(Game& g) {
    PictureArea& t = g.Form1.Text;
    const auto& log = g.overlays.message_log;
    heading(t, "Messages (arrows scroll, F2 or X closes)");
    const int size = static_cast<int>(log.size());
    const int last = size - g.overlays.log_scroll; // one past the newest line shown
    for (int k = std::max(0, last - LOG_LINES_SHOWN); k < last; ++k) t.print_line(log[k]);
}

void redraw(Game& g) {
    switch (g.overlays.shown) {
    case OVERLAY_AUTOMAP:
        draw_automap(g);
        break;
    case OVERLAY_KEY_HELP:
        draw_key_help(g);
        break;
    case OVERLAY_MESSAGE_LOG:
        draw_message_log(g);
        break;
    case OVERLAY_SAVE_SLOTS:
        sub_draw_save_slots(g);
        break;
    case OVERLAY_NOTICE:
        heading(g.Form1.Text, "Save slots are kept at the guild hall.");
        break;
    default:
        return;
    }
    g.host->repaint(g);
}

void scroll_log(Game& g, int by) {
    const int most = std::max(0, static_cast<int>(g.overlays.message_log.size()) - LOG_LINES_SHOWN);
    g.overlays.log_scroll = static_cast<int16_t>(std::clamp(g.overlays.log_scroll + by, 0, most));
}

} // namespace

bool sub_overlay_key(Game& g, int16_t key_code, int /*shift*/) {
    auto& o = g.overlays;
    if (o.shown != OVERLAY_NONE) {
        if (key_code == VK_SHIFT || key_code == VK_CAPITAL) return true;
        if (o.shown == OVERLAY_MESSAGE_LOG) {
            if (key_code == VK_UP)
                scroll_log(g, 1);
            else if (key_code == VK_DOWN)
                scroll_log(g, -1);
            else if (key_code == VK_LEFT)
                scroll_log(g, LOG_LINES_SHOWN);
            else if (key_code == VK_RIGHT)
                scroll_log(g, -LOG_LINES_SHOWN);
            if (key_code == VK_F2 || key_code == 'X')
                uncover(g);
            else
                redraw(g);
        } else if (o.shown == OVERLAY_SAVE_SLOTS) {
            if (sub_save_slots_key(g, key_code))
                uncover(g);
            else
                redraw(g);
        } else {
            uncover(g);
        }
        return true;
    }
    if (key_code == VK_F5) {
        g.message_delay = next_message_speed(g.message_delay);
        g.overlays.title = "Duskwend - messages " + message_speed_text(g.message_delay);
        g.host->set_title(g, g.overlays.title);
        write_settings_delay(g.data_files.save_folder(), g.message_delay);
        return true;
    }
    // Games are saved at the guild hall, and so are their slots.
    const bool at_guild_hall =
        g.current_location == LOCATION_GUILD_HALL && !is_on(g.combat_active) && g.sheet_member == 0;
    const std::pair<int16_t, int16_t> OPENED_BY[] = {
        {VK_TAB, OVERLAY_AUTOMAP},
        {VK_F1, OVERLAY_KEY_HELP},
        {VK_F2, OVERLAY_MESSAGE_LOG},
        {VK_F6, at_guild_hall ? OVERLAY_SAVE_SLOTS : OVERLAY_NOTICE}};
    for (const auto& [key, overlay] : OPENED_BY) {
        if (key_code != key) continue;
        cover(g, overlay);
        redraw(g);
        return true;
    }
    return false;
}

void sub_automap_note(Game& g) {
    if (g.current_location != LOCATION_CITY || g.map_level < 1 || g.map_level > automap_maps(g))
        return;
    std::vector<uint8_t>& seen = seen_of(g, g.map_level);
    const Step a = facing_ahead(g.party_facing), r = facing_right(g.party_facing);
    // The party's square and the nine squares the view draws walls of.
    for (int f = 0; f <= 2; ++f)
        for (int s = -1; s <= 1; ++s) {
            const int x = g.party_x + f * a.dx + s * r.dx, y = g.party_y + f * a.dy + s * r.dy;
            if (inside_grid(x, y)) seen[std::size_t(x) * MAP_SIZE + y] = 1;
        }
}

void sub_log_message_line(Game& g, const std::string& line) {
    auto& log = g.overlays.message_log;
    std::string s = line;
    while (!s.empty() && s.back() == ' ') s.pop_back();
    // A line repeated at once is kept once with a count: "The smithy is shut. (×7)" (the
    // times sign is 0xD7 in the game's code page).
    const std::string counted = s + " (\xD7";
    if (!s.empty() && !log.empty()) {
        std::string& last = log.back();
        if (last == s) {
            last = counted + "2)";
            return;
        }
        const std::string count =
            last.compare(0, counted.size(), counted) == 0 ? last.substr(counted.size()) : "";
        if (count.size() >= 2 && count.size() <= 8 && count.back() == ')' &&
            count.find_first_not_of("0123456789") == count.size() - 1) {
            last = counted + std::to_string(std::stoi(count) + 1) + ")";
            return;
        }
    }
    log.push_back(std::move(s));
    while (log.size() > MESSAGE_LOG_SIZE) log.pop_front();
}

double next_message_speed(double current) {
    constexpr int n = sizeof MESSAGE_SPEEDS / sizeof MESSAGE_SPEEDS[0];
    for (int k = 0; k < n; ++k)
        if (current == MESSAGE_SPEEDS[k]) return MESSAGE_SPEEDS[(k + 1) % n];
    return MESSAGE_SPEEDS[0];
}

std::string message_speed_text(double seconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g s", seconds);
    return buffer;
}

// The file: a first line "duskwend-automap 1", then per map a line "map N" and 33 lines of
// 33 characters ('#' seen, '.' not) from north to south, and a last line "end".
bool sub_save_automap(const Game& g) {
    std::string text = "duskwend-automap 1\n";
    for (const auto& [map, seen] : g.overlays.automap) {
        if (std::find(seen.begin(), seen.end(), 1) == seen.end() || map > automap_maps(g)) continue;
        text += "map " + std::to_string(map) + "\n";
        for (int y = 0; y < MAP_SIZE; ++y) {
            for (int x = 0; x < MAP_SIZE; ++x)
                text += seen[std::size_t(x) * MAP_SIZE + y] ? '#' : '.';
            text += '\n';
        }
    }
    text += "end\n";
    return write_atomically(g.data_files.save_folder() / AUTOMAP_FILE, text);
}

std::size_t automap_size_limit(int maps) {
    const std::size_t per_map =
        std::string("map 32767\n").size() + std::size_t(MAP_SIZE + 1) * MAP_SIZE;
    return std::string("duskwend-automap 1\nend\n").size() +
           std::size_t(std::max(maps, 0)) * per_map;
}

void sub_load_automap(Game& g) {
    g.overlays.automap.clear();
    const fs::path path = g.data_files.save_folder() / AUTOMAP_FILE;
    const FileRead file = read_regular_file(path, automap_size_limit(automap_maps(g)));
    if (!file.message.empty()) report_file_problem(file.message);
    if (file.is_ok()) g.overlays.automap = parse_automap(file.bytes, automap_maps(g));
}

std::map<int16_t, std::vector<uint8_t>> parse_automap(std::string_view text, int maps) {
    std::size_t at = 0;
    // The next line without its line break; a file that ends without one is cut short.
    const auto next_line = [&](std::string_view& line) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) return false;
        line = text.substr(at, end - at);
        at = end + 1;
        return true;
    };
    std::map<int16_t, std::vector<uint8_t>> automap;
    std::string_view line;
    if (!next_line(line) || line != "duskwend-automap 1") return {};
    while (next_line(line)) {
        if (line == "end") return at == text.size() ? automap : decltype(automap){};
        // "map N": N a map of the world, each map once.
        const std::string_view number = line.substr(std::min<std::size_t>(4, line.size()));
        if (line.substr(0, 4) != "map " || number.empty() || number.size() > 5 ||
            number.find_first_not_of("0123456789") != std::string_view::npos)
            return {};
        const int map = std::stoi(std::string(number));
        if (map < 1 || map > maps || automap.count(static_cast<int16_t>(map))) return {};
        std::vector<uint8_t> seen(std::size_t(MAP_SIZE) * MAP_SIZE, 0);
        for (int y = 0; y < MAP_SIZE; ++y) {
            if (!next_line(line) || line.size() != std::size_t(MAP_SIZE)) return {};
            for (int x = 0; x < MAP_SIZE; ++x) {
                if (line[x] != '#' && line[x] != '.') return {};
                seen[std::size_t(x) * MAP_SIZE + y] = line[x] == '#';
            }
        }
        automap[static_cast<int16_t>(map)] = std::move(seen);
    }
    // No "end": a file cut short is damaged; every map stays empty.
    return {};
}

std::optional<double> read_settings_delay(const fs::path& save_dir) {
    const auto value = read_setting(save_dir, "message_delay");
    double d = 0;
    char rest = 0;
    if (value && std::sscanf(value->c_str(), "%lf%c", &d, &rest) == 1 && d >= 0 && d <= 60)
        return d;
    return std::nullopt;
}

namespace {

// The name of a settings line "name = value", blanks trimmed; empty for other lines.
std::string setting_name(const std::string& line, std::string* value = nullptr) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) return "";
    const auto trim = [](std::string s) {
        const auto first = s.find_first_not_of(" \t\r");
        if (first == std::string::npos) return std::string();
        return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
    };
    if (value) *value = trim(line.substr(equals + 1));
    return trim(line.substr(0, equals));
}

} // namespace

namespace {

// The settings file's lines; none when it is absent or unusable (said on stderr).
std::vector<std::string> settings_lines(const fs::path& save_dir) {
    const FileRead file = read_regular_file(save_dir / SETTINGS_FILE, SETTINGS_SIZE_LIMIT);
    if (!file.message.empty()) report_file_problem(file.message);
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < file.bytes.size()) {
        const std::size_t end = std::min(file.bytes.find('\n', at), file.bytes.size());
        lines.push_back(file.bytes.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

} // namespace

std::optional<std::string> read_setting(const fs::path& save_dir, const std::string& name) {
    std::string value;
    for (const std::string& line : settings_lines(save_dir))
        if (setting_name(line, &value) == name) return value;
    return std::nullopt;
}

bool write_settings_delay(const fs::path& save_dir, double seconds) {
    // The player's own lines (type_ahead, ...) are kept; the pause replaces its old line.
    std::string text;
    for (const std::string& line : settings_lines(save_dir))
        if (setting_name(line) != "message_delay") text += line + "\n";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "message_delay=%g\n", seconds);
    return write_atomically(save_dir / SETTINGS_FILE, text + buffer);
}

} // namespace duskwend
