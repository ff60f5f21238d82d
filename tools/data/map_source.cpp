#include "tools/data/map_source.h"

#include "core/map_names.h"
#include "tools/data/map_grid.h"

#include <map>
#include <utility>

namespace duskwend {

namespace {

enum EventKind { NONE = 0, TELEPORT, DOOR, PICTURE, MESSAGE, FIGHT, SWITCH, TEXT, TREASURE };

constexpr NamedCode EVENT_KINDS[] = {{0, "none"},    {1, "teleport"}, {2, "door"},
                                     {3, "picture"}, {4, "message"},  {5, "fight"},
                                     {6, "switch"},  {7, "text"},     {8, "treasure"}};
constexpr NamedCode FACINGS[] = {{0, "keep"}, {1, "north"}, {2, "east"}, {3, "south"}, {4, "west"}};
constexpr NamedCode BUILDINGS[] = {
    {0, "guild hall"}, {1, "shop"}, {2, "temple"}, {3, "review board"}};
constexpr NamedCode TEMPLES[] = {{0, "Light"}, {1, "Luck"}, {2, "Dark"}};
constexpr NamedCode SWITCH_TIMES[] = {{1, "fight won"}, {2, "stepped on"}};
constexpr NamedCode REWARDS[] = {{0, "experience"}, {1, "crowns"}, {2, "item"}};
constexpr NamedCode CONDITIONS[] = {
    {1, "set"}, {2, "clear"}, {3, "equal"}, {4, "below"}, {5, "above"}};
constexpr NamedCode DIRECTIONS[] = {{1, "north"}, {2, "east"}, {4, "south"}, {8, "west"}};

constexpr int FLAG_LAST = 100;

// What a named parameter of an event means.
enum class Meaning { plain, map, shop, item, monster, message, text, flag, facing_mask, boolean };
struct Param {
    int kind;
    const char* key;
    int field;
    CodeNames names;
    Meaning meaning;
};

const Param PARAMS[] = {
    {TELEPORT, "map", 4, {}, Meaning::map},
    {TELEPORT, "to_x", 5, {}, Meaning::plain},
    {TELEPORT, "to_y", 6, {}, Meaning::plain},
    {TELEPORT, "facing", 7, FACINGS, Meaning::plain},
    {DOOR, "building", 4, BUILDINGS, Meaning::plain},
    {DOOR, "shop", 5, {}, Meaning::shop},
    {DOOR, "temple", 5, TEMPLES, Meaning::plain},
    {DOOR, "number", 5, {}, Meaning::plain},
    {PICTURE, "picture", 4, {}, Meaning::plain},
    {PICTURE, "seen_from", 5, {}, Meaning::facing_mask},
    {MESSAGE, "message", 4, {}, Meaning::message},
    {MESSAGE, "seen_from", 5, {}, Meaning::facing_mask},
    {FIGHT, "monster", 4, {}, Meaning::monster},
    {FIGHT, "count", 5, {}, Meaning::plain},
    {FIGHT, "treasure", 6, {}, Meaning::item},
    {FIGHT, "crowns", 7, {}, Meaning::plain},
    {SWITCH, "flag", 4, {}, Meaning::flag},
    {SWITCH, "when", 5, SWITCH_TIMES, Meaning::plain},
    {SWITCH, "value", 6, {}, Meaning::plain},
    {TEXT, "text", 4, {}, Meaning::text},
    {TEXT, "seen_from", 5, {}, Meaning::facing_mask},
    {TREASURE, "reward", 4, REWARDS, Meaning::plain},
    {TREASURE, "amount", 5, {}, Meaning::plain},
    {TREASURE, "each", 6, {}, Meaning::boolean},
    {TREASURE, "item", 6, {}, Meaning::item},
};

using Event = std::array<int16_t, MAP_EVENT_FIELDS>;

struct EventCheck {
    int line;
    int index;
};

// Reads "seen_from": a list of directions the party may face, or the raw mask.
bool read_facing_mask(const toml::node& n, int16_t& out, const Source& src) {
    if (n.is_integer()) return read_value(n, out, src, "seen_from");
    const auto* arr = n.as_array();
    if (!arr) {
        src.error(line_of(n), "'seen_from' should list directions: north, east, south, west");
        return false;
    }
    out = 0;
    for (const auto& e : *arr) {
        auto c = e.is_string() ? code_of(DIRECTIONS, e.as_string()->get()) : std::nullopt;
        if (!c) {
            src.error(line_of(e), "'seen_from' should list directions: north, east, south, west");
            return false;
        }
        out = static_cast<int16_t>(out | *c);
    }
    return true;
}

std::string render_facing_mask(int16_t v) {
    if (v & ~0xF) return std::to_string(v);
    std::string s = "[";
    for (const auto& d : DIRECTIONS)
        if (v & d.value) s += std::string(s.size() > 1 ? ", " : "") + toml_string(d.name);
    return s + "]";
}

void read_condition(const toml::node& n, Event& e, const Source& src) {
    const auto* t = n.as_table();
    if (!t) {
        src.error(line_of(n), "'condition' should be a table like { flag = 3, is = \"set\" }");
        return;
    }
    for (auto&& [k, v] : *t) {
        std::string key(k.str());
        if (key == "flag")
            read_value(v, e[8], src, "condition.flag");
        else if (key == "is")
            read_value(v, e[9], src, "condition.is", CONDITIONS);
        else if (key == "value")
            read_value(v, e[10], src, "condition.value");
        else
            src.error(line_of(v), "unknown field '" + key + "' in 'condition'");
    }
}

void read_event(const toml::table& t, Event& e, const Source& src, std::vector<Reference>& refs,
                int index) {
    int line = static_cast<int>(t.source().begin.line);
    if (const auto* raw = t.get("fields")) {
        if (t.size() > 1) src.error(line, "an event given as 'fields' takes no other keys");
        read_value(*raw, e, src, "fields");
        return;
    }
    if (const auto* k = t.get("kind"))
        read_value(*k, e[0], src, "kind", EVENT_KINDS);
    else
        src.error(line, "event " + std::to_string(index) + " has no 'kind'");
    std::string kind_name = name_of(EVENT_KINDS, e[0]) ? name_of(EVENT_KINDS, e[0]) : "raw";
    for (auto&& [k, v] : t) {
        std::string key(k.str());
        int kline = static_cast<int>(k.source().begin.line);
        if (key == "kind") continue;
        if (key == "x")
            read_value(v, e[2], src, "x");
        else if (key == "y")
            read_value(v, e[3], src, "y");
        else if (key == "unused_1")
            read_value(v, e[1], src, key);
        else if (key == "condition")
            read_condition(v, e, src);
        else {
            const Param* p = nullptr;
            for (const auto& cand : PARAMS)
                if (cand.kind == e[0] && key == cand.key) p = &cand;
            if (!p) {
                src.error(kline, "unknown field '" + key + "' for a " + kind_name + " event");
                continue;
            }
            int16_t& f = e[static_cast<std::size_t>(p->field)];
            if (p->meaning == Meaning::facing_mask) {
                read_facing_mask(v, f, src);
            } else if (p->meaning == Meaning::boolean) {
                if (v.is_boolean())
                    f = v.as_boolean()->get() ? 1 : 0;
                else
                    read_value(v, f, src, key);
            } else if (read_value(v, f, src, key, p->names)) {
                // The fields that name a map, a shop, an item or a monster.
                using To = Reference::To;
                constexpr std::pair<Meaning, To> NAMES[] = {{Meaning::map, To::map},
                                                            {Meaning::shop, To::shop},
                                                            {Meaning::item, To::item},
                                                            {Meaning::monster, To::monster}};
                for (const auto& [meaning, to] : NAMES)
                    if (p->meaning == meaning && (f != 0 || meaning != Meaning::item))
                        refs.push_back({to, f, src.file, line_of(v), key});
            }
        }
    }
    // The parameters that give each kind its meaning; without them an event would quietly
    // take zeros (a door into the guild hall, a teleport to map 0).
    std::vector<const char*> needed;
    switch (e[0]) {
    case TELEPORT:
        needed = {"map", "to_x", "to_y"};
        break;
    case DOOR:
        needed = {"building"};
        if (e[4] == 1) needed.push_back("shop");
        if (e[4] == 2) needed.push_back("temple");
        break;
    case PICTURE:
        needed = {"picture"};
        break;
    case MESSAGE:
        needed = {"message"};
        break;
    case TEXT:
        needed = {"text"};
        break;
    case FIGHT:
        needed = {"monster", "count"};
        break;
    case SWITCH:
        needed = {"flag", "when", "value"};
        break;
    case TREASURE:
        needed = {"reward", "amount"};
        if (e[4] == 2) needed.push_back("item");
        break;
    default:
        break;
    }
    if (e[0] != NONE) needed.insert(needed.begin(), {"x", "y"});
    for (const char* key : needed)
        if (!t.contains(key)) src.error(line, "a " + kind_name + " event needs '" + key + "'");
}

// The named form of an event, or nullopt when only the raw fields keep every value.
std::optional<std::string> render_named_event(const Event& e) {
    if (e[0] < TELEPORT || e[0] > TREASURE) return std::nullopt;
    std::string s = "kind = " + toml_string(name_of(EVENT_KINDS, e[0])) +
                    "\nx = " + std::to_string(e[2]) + "\ny = " + std::to_string(e[3]) + "\n";
    if (e[1] != 0) s += "unused_1 = " + std::to_string(e[1]) + "\n";
    bool covered[MAP_EVENT_FIELDS] = {};
    auto put = [&](const char* key, int field, const std::string& value) {
        s += std::string(key) + " = " + value + "\n";
        covered[field] = true;
    };
    auto coded = [&](int16_t v, CodeNames names) {
        const char* n = name_of(names, v);
        return n ? toml_string(n) : std::to_string(v);
    };
    switch (e[0]) {
    case TELEPORT:
        put("map", 4, std::to_string(e[4]));
        put("to_x", 5, std::to_string(e[5]));
        put("to_y", 6, std::to_string(e[6]));
        if (e[7] != 0) put("facing", 7, coded(e[7], FACINGS));
        break;
    case DOOR:
        put("building", 4, coded(e[4], BUILDINGS));
        if (e[4] == 1)
            put("shop", 5, std::to_string(e[5]));
        else if (e[4] == 2)
            put("temple", 5, coded(e[5], TEMPLES));
        else if (e[5] != 0)
            put("number", 5, std::to_string(e[5]));
        break;
    case PICTURE:
    case MESSAGE:
    case TEXT:
        put(e[0] == PICTURE   ? "picture"
            : e[0] == MESSAGE ? "message"
                              : "text",
            4, std::to_string(e[4]));
        if (e[5] != 0) put("seen_from", 5, render_facing_mask(e[5]));
        break;
    case FIGHT:
        put("monster", 4, std::to_string(e[4]));
        put("count", 5, std::to_string(e[5]));
        if (e[6] != 0) put("treasure", 6, std::to_string(e[6]));
        if (e[7] != 0) put("crowns", 7, std::to_string(e[7]));
        break;
    case SWITCH:
        put("flag", 4, std::to_string(e[4]));
        put("when", 5, coded(e[5], SWITCH_TIMES));
        put("value", 6, std::to_string(e[6]));
        break;
    case TREASURE:
        put("reward", 4, coded(e[4], REWARDS));
        put("amount", 5, std::to_string(e[5]));
        if (e[4] == 2)
            put("item", 6, std::to_string(e[6]));
        else if (e[6] == 1)
            put("each", 6, "true");
        else if (e[6] != 0)
            put("each", 6, std::to_string(e[6]));
        break;
    default:
        break;
    }
    for (int f = 4; f <= 7; ++f)
        if (!covered[f] && e[static_cast<std::size_t>(f)] != 0) return std::nullopt;
    if (e[8] != 0 || e[9] != 0 || e[10] != 0) {
        s += "condition = { flag = " + std::to_string(e[8]) + ", is = " + coded(e[9], CONDITIONS);
        if (e[10] != 0 || e[9] >= 3) s += ", value = " + std::to_string(e[10]);
        s += " }\n";
    }
    return s;
}

char event_mark(int kind) {
    switch (kind) {
    case TELEPORT:
        return 'T';
    case DOOR:
        return 'D';
    case PICTURE:
        return 'P';
    case MESSAGE:
        return 'M';
    case FIGHT:
        return 'F';
    case SWITCH:
        return 'S';
    case TEXT:
        return 'X';
    case TREASURE:
        return '$';
    default:
        return '.';
    }
}

// Checks of the event table that need the whole map (messages, texts) at hand.
void check_events(const MapRec& m, const std::vector<EventCheck>& lines,
                  const std::vector<bool>& message_defined, const std::vector<bool>& text_defined,
                  const Source& src) {
    for (const auto& [line, i] : lines) {
        const auto& e = m.events[static_cast<std::size_t>(i)];
        auto err = [&, line = line](const std::string& what) { src.problem(line, what); };
        if (e[0] == NONE) continue;
        if (e[2] < 0 || e[2] >= MAP_SIZE || e[3] < 0 || e[3] >= MAP_SIZE)
            err("event square (" + std::to_string(e[2]) + ", " + std::to_string(e[3]) +
                ") is outside the map (x and y 0..32)");
        if (e[8] > FLAG_LAST)
            err("condition flag " + std::to_string(e[8]) + " does not exist (flags 0..100)");
        if (e[8] >= 1 && (e[9] < 1 || e[9] > 5))
            err("condition kind " + std::to_string(e[9]) +
                " never holds (set, clear, equal, below or above)");
        switch (e[0]) {
        case TELEPORT:
            if (e[5] < 0 || e[5] >= MAP_SIZE || e[6] < 0 || e[6] >= MAP_SIZE)
                err("teleport target (" + std::to_string(e[5]) + ", " + std::to_string(e[6]) +
                    ") is outside the map (x and y 0..32)");
            if (e[7] < 0 || e[7] > 4)
                err("teleport facing " + std::to_string(e[7]) + " is not 0..4");
            break;
        case DOOR:
            if (e[4] < 0 || e[4] > 3)
                err("door building " + std::to_string(e[4]) + " does not exist");
            if (e[4] == 2 && (e[5] < 0 || e[5] > 2))
                err("temple " + std::to_string(e[5]) + " does not exist (Light, Luck or Dark)");
            break;
        case MESSAGE:
            if (e[4] < 0 || e[4] >= MAP_MESSAGE_COUNT ||
                !message_defined[static_cast<std::size_t>(e[4])])
                err("message " + std::to_string(e[4]) + " does not exist in [messages]");
            break;
        case TEXT:
            if (e[4] < 0 || e[4] >= MAP_TEXT_COUNT || !text_defined[static_cast<std::size_t>(e[4])])
                err("text " + std::to_string(e[4]) + " does not exist in [texts]");
            break;
        case FIGHT:
            if (e[5] < 1 || e[5] > 100)
                err("a fight needs 1..100 monsters, not " + std::to_string(e[5]));
            break;
        case SWITCH:
            if (e[4] < 0 || e[4] > FLAG_LAST)
                err("flag " + std::to_string(e[4]) + " does not exist (flags 0..100)");
            break;
        case TREASURE:
            if (e[4] == 2 && e[6] < 1) err("an item treasure needs an item");
            if (e[4] == 2 && e[5] < 1) err("an item treasure needs an amount of 1 or more");
            break;
        default:
            break;
        }
    }
}

void read_indexed_texts(const toml::node& n, const char* what, std::size_t count,
                        std::size_t length, bool long_text, std::vector<bool>& defined,
                        std::span<FixedText<50>> short_out, std::span<FixedText<1000>> long_out,
                        const Source& src) {
    const auto* t = n.as_table();
    if (!t) {
        src.error(line_of(n), std::string("'") + what + "' should be a table of numbered texts");
        return;
    }
    for (auto&& [k, v] : *t) {
        int line = static_cast<int>(k.source().begin.line);
        std::string key(k.str());
        std::size_t index = count;
        if (!key.empty() && key.size() < 6 &&
            key.find_first_not_of("0123456789") == std::string::npos)
            index = std::stoul(key);
        if (index >= count) {
            src.error(line, std::string(what) + " '" + key + "': a map holds " +
                                std::to_string(count) + " " + what + ", numbered 0.." +
                                std::to_string(count - 1));
            continue;
        }
        std::string name = std::string(what) + " " + key;
        auto text =
            long_text ? read_long_text(v, length, src, name) : read_text(v, length, src, name);
        if (!text) continue;
        defined[index] = true;
        if (long_text)
            long_out[index] = *text;
        else
            short_out[index] = *text;
    }
}

} // namespace

void read_map_source(const toml::table& root, const Source& src,
                     const std::vector<std::string>& file_lines, MapRec& m, int& number,
                     std::vector<Reference>& refs, MapLines* lines, std::string* name) {
    number = 0;
    std::vector<bool> message_defined(MAP_MESSAGE_COUNT), text_defined(MAP_TEXT_COUNT);
    std::vector<EventCheck> event_lines;
    const toml::array* one_sided = nullptr;
    const toml::array* raw_squares = nullptr;
    bool have_grid = false;
    for (auto&& [k, v] : root) {
        std::string key(k.str());
        int line = static_cast<int>(k.source().begin.line);
        if (key == "number") {
            if (lines) lines->number = line;
            int16_t n = 0;
            if (read_value(v, n, src, key)) {
                if (n < 1)
                    src.error(line, "map number " + std::to_string(n) + " should be 1 or more");
                else
                    number = n;
            }
        } else if (key == "name") {
            const auto text = read_text(v, MAP_NAME_LENGTH, src, key);
            if (text && text->find_first_of("\r\n") != std::string::npos)
                src.error(line, "'name' should be one line");
            else if (text && name)
                *name = *text;
        } else if (key == "hit_point_rate")
            read_value(v, m.hit_point_rate, src, key);
        else if (key == "magic_point_rate")
            read_value(v, m.magic_point_rate, src, key);
        else if (key == "encounter_chance")
            read_value(v, m.encounter_chance, src, key);
        else if (key == "difficulty")
            read_value(v, m.difficulty, src, key);
        else if (key == "unused_0")
            read_value(v, m.unused_0, src, key);
        else if (key == "unused_120")
            read_value(v, m.unused_120, src, key);
        else if (key == "encounters") {
            const auto* arr = v.as_array();
            if (!arr || arr->size() > MAP_ENCOUNTER_ROWS) {
                src.error(line, "'encounters' should be a list of at most 11 rows");
                continue;
            }
            bool gap = false;
            for (std::size_t r = 0; r < arr->size(); ++r) {
                const auto& row = (*arr)[r];
                auto& out = m.encounters[r];
                std::string what = "encounters[" + std::to_string(r) + "]";
                if (row.is_array()) {
                    read_value(row, out, src, what);
                } else if (const auto* t = row.as_table()) {
                    for (auto&& [rk, rv] : *t) {
                        std::string f(rk.str());
                        if (f == "monster")
                            read_value(rv, out[0], src, what + ".monster");
                        else if (f == "count") {
                            std::array<int16_t, 3> dice{};
                            if (read_value(rv, dice, src, what + ".count"))
                                std::copy(dice.begin(), dice.end(), out.begin() + 1);
                        } else if (f == "more")
                            read_value(rv, out[4], src, what + ".more");
                        else
                            src.error(line_of(rv), "unknown field '" + f + "' in 'encounters'");
                    }
                } else {
                    src.error(line_of(row), "'" + what + "' should be a table");
                    continue;
                }
                if (out[0] > 0) {
                    refs.push_back({Reference::To::monster, out[0], src.file, line_of(row), what});
                    if (gap)
                        src.problem(line_of(row), what + " follows an empty row; only the rows "
                                                         "before the first empty one are drawn");
                } else {
                    gap = true;
                }
            }
        } else if (key == "grid") {
            if (!v.is_string()) {
                src.error(line, "'grid' should be a drawing in a '''multi-line''' string");
                continue;
            }
            int first = line_of(v);
            // The string's text starts on the next line when the opening quotes end the line.
            if (first >= 1 && static_cast<std::size_t>(first) <= file_lines.size()) {
                std::string l = file_lines[static_cast<std::size_t>(first - 1)];
                l.erase(l.find_last_not_of(" \r") + 1);
                if (l.size() >= 3 && (l.ends_with("'''") || l.ends_with("\"\"\""))) ++first;
            }
            have_grid = parse_grid(v.as_string()->get(), first, m.grid, src);
        } else if (key == "one_sided") {
            one_sided = v.as_array();
            if (!one_sided) src.error(line, "'one_sided' should be a list of \"x,y side type\"");
        } else if (key == "raw_squares") {
            raw_squares = v.as_array();
            if (!raw_squares) src.error(line, "'raw_squares' should be a list of \"x,y 0xVALUE\"");
        } else if (key == "event") {
            const auto* arr = v.as_array();
            if (!arr) {
                src.error(line, "events should be written as [[event]] tables");
                continue;
            }
            if (arr->size() > MAP_EVENT_COUNT) {
                src.error(line_of((*arr)[MAP_EVENT_COUNT]),
                          "too many events: a map holds 101, this one has " +
                              std::to_string(arr->size()));
            }
            for (std::size_t i = 0; i < arr->size() && i < MAP_EVENT_COUNT; ++i) {
                const auto* t = (*arr)[i].as_table();
                if (!t) {
                    src.error(line_of((*arr)[i]), "each event should be a table");
                    continue;
                }
                read_event(*t, m.events[i], src, refs, static_cast<int>(i));
                event_lines.push_back(
                    {static_cast<int>(t->source().begin.line), static_cast<int>(i)});
            }
        } else if (key == "messages") {
            read_indexed_texts(v, "messages", MAP_MESSAGE_COUNT, 50, false, message_defined,
                               m.messages, {}, src);
        } else if (key == "texts") {
            read_indexed_texts(v, "texts", MAP_TEXT_COUNT, 1000, true, text_defined, {}, m.texts,
                               src);
        } else {
            src.error(line, "unknown field '" + key + "'");
        }
    }
    if (number == 0 && !root.contains("number")) src.error(1, "the map has no 'number'");
    if (!have_grid && !root.contains("grid")) src.error(1, "the map has no 'grid' drawing");
    // Each entry of such a list is a string applied to the grid.
    const auto apply_each = [&](const toml::array* list, const std::string& refusal, auto apply) {
        if (!list) return;
        for (const auto& e : *list) {
            if (e.is_string())
                apply(e.as_string()->get(), line_of(e), m.grid, src);
            else
                src.error(line_of(e), refusal);
        }
    };
    apply_each(one_sided, "one_sided entries are strings \"x,y side type\"", apply_one_sided);
    apply_each(raw_squares, "raw_squares entries are strings \"x,y 0xVALUE\"", apply_raw_square);
    check_events(m, event_lines, message_defined, text_defined, src);
    if (lines) {
        lines->events.assign(MAP_EVENT_COUNT, 0);
        for (const auto& e : event_lines) lines->events[static_cast<std::size_t>(e.index)] = e.line;
    }
}

std::string map_source(const MapRec& m, int number) {
    std::string out = "# Map " + std::to_string(number) +
                      ". See content/README.md for the format of the grid and the events.\n"
                      "number = " +
                      std::to_string(number) + "\n";
    auto field = [&](const char* key, int16_t v, bool always) {
        if (always || v != 0) out += std::string(key) + " = " + std::to_string(v) + "\n";
    };
    field("hit_point_rate", m.hit_point_rate, true);
    field("magic_point_rate", m.magic_point_rate, true);
    field("encounter_chance", m.encounter_chance, true);
    field("difficulty", m.difficulty, true);
    field("unused_0", m.unused_0, false);
    field("unused_120", m.unused_120, false);

    std::size_t rows = MAP_ENCOUNTER_ROWS;
    while (rows > 0 && m.encounters[rows - 1] == std::array<int16_t, 5>{}) --rows;
    out += "encounters = [\n";
    for (std::size_t r = 0; r < rows; ++r) {
        const auto& e = m.encounters[r];
        out += "  { monster = " + std::to_string(e[0]) + ", count = [" + std::to_string(e[1]) +
               ", " + std::to_string(e[2]) + ", " + std::to_string(e[3]) +
               "], more = " + std::to_string(e[4]) + " },\n";
    }
    out += "]\n";

    // Squares with events show the first event's letter in the drawing.
    Table<MAP_SIZE, MAP_SIZE> marks;
    for (auto& col : marks) col.fill('.');
    for (const auto& e : m.events)
        if (e[0] != 0 && e[2] >= 0 && e[2] < MAP_SIZE && e[3] >= 0 && e[3] < MAP_SIZE) {
            auto& mark = marks[static_cast<std::size_t>(e[2])][static_cast<std::size_t>(e[3])];
            if (mark == '.') mark = event_mark(e[0]);
        }
    out += "grid = '''\n" + draw_grid(m.grid, marks) + "'''\n";
    auto list = [&](const char* key, const std::vector<std::string>& entries) {
        if (entries.empty()) return;
        out += std::string(key) + " = [\n";
        for (const auto& s : entries) out += "  " + toml_string(s) + ",\n";
        out += "]\n";
    };
    list("one_sided", one_sided_sides(m.grid));
    list("raw_squares", raw_square_values(m.grid));

    // Messages and texts that hold words, or that an event shows.
    std::vector<bool> message_used(MAP_MESSAGE_COUNT), text_used(MAP_TEXT_COUNT);
    std::size_t last_event = 0;
    for (std::size_t i = 0; i < m.events.size(); ++i) {
        const auto& e = m.events[i];
        if (e != Event{}) last_event = i + 1;
        if (e[0] == MESSAGE && e[4] >= 0 && e[4] < MAP_MESSAGE_COUNT)
            message_used[static_cast<std::size_t>(e[4])] = true;
        if (e[0] == TEXT && e[4] >= 0 && e[4] < MAP_TEXT_COUNT)
            text_used[static_cast<std::size_t>(e[4])] = true;
    }
    for (std::size_t i = 0; i < last_event; ++i) {
        const auto& e = m.events[i];
        out += "\n[[event]]  # " + std::to_string(i) + "\n";
        if (auto named = render_named_event(e))
            out += *named;
        else if (e == Event{})
            out += "kind = \"none\"\n";
        else
            out += "fields = " + render(e) + "\n";
    }
    out += "\n[messages]\n";
    for (std::size_t i = 0; i < m.messages.size(); ++i)
        if (message_used[i] || !m.messages[i].trimmed().empty())
            out += std::to_string(i) + " = " + toml_text(m.messages[i]) + "\n";
    out += "\n[texts]\n";
    for (std::size_t i = 0; i < m.texts.size(); ++i)
        if (text_used[i] || !m.texts[i].trimmed().empty())
            out += std::to_string(i) + " = " + render_long_text(m.texts[i].trimmed()) + "\n";
    return out;
}

} // namespace duskwend
