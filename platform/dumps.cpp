#include "platform/dumps.h"

#include "core/text_encoding.h"

#include <fstream>
#include <iostream>

namespace duskwend {

using nlohmann::ordered_json;

namespace {

// Writes a field list as a JSON object: numbers, text as UTF-8 (fixed text as stored, not
// trimmed), arrays as JSON arrays (a two-dimensional one as an array of rows by the first
// index), and anything with a field list of its own as an object.
struct JsonFields {
    ordered_json& out;

    static ordered_json value(int16_t v) { return v; }
    static ordered_json value(int32_t v) { return v; }
    static ordered_json value(double v) { return v; }
    static ordered_json value(bool v) { return v; }
    static ordered_json value(const std::string& s) { return cp1252_to_utf8(s); }
    template <std::size_t N> static ordered_json value(const FixedText<N>& t) {
        return cp1252_to_utf8(t.str());
    }
    template <class T, std::size_t N> static ordered_json value(const std::array<T, N>& a) {
        ordered_json list = ordered_json::array();
        for (const auto& e : a) list.push_back(value(e));
        return list;
    }
    static ordered_json value(const std::deque<std::string>& lines) {
        ordered_json list = ordered_json::array();
        for (const auto& s : lines) list.push_back(value(s));
        return list;
    }
    // The automap: per map, rows north to south, '#' a square seen.
    static ordered_json value(const std::map<int16_t, std::vector<uint8_t>>& automap) {
        ordered_json maps = ordered_json::object();
        for (const auto& [map, seen] : automap) {
            ordered_json rows = ordered_json::array();
            for (int y = 0; y < MAP_SIZE; ++y) {
                std::string row;
                for (int x = 0; x < MAP_SIZE; ++x) {
                    const std::size_t at = std::size_t(x) * MAP_SIZE + std::size_t(y);
                    row += at < seen.size() && seen[at] ? '#' : '.';
                }
                rows.push_back(row);
            }
            maps[std::to_string(map)] = rows;
        }
        return maps;
    }
    template <HasFieldList T> static ordered_json value(const T& t) {
        ordered_json o = ordered_json::object();
        visit_fields(t, JsonFields{o});
        return o;
    }

    template <class T> void operator()(const char* name, const T& field) {
        out[name] = value(field);
    }
    void skip(const char*) {}
};

void dump_runs(std::string& out, const PictureArea& area) {
    for (const TextRun& r : area.runs())
        out += std::to_string(r.y) + " " + std::to_string(r.x) + " " + std::to_string(r.colour) +
               " " + (r.bold ? "1" : "0") + " " + cp1252_to_utf8(r.text) + "\n";
}

} // namespace

std::string text_dump(const Game& g) {
    std::string out = "[mainPic] " + g.Form1.mainPic.picture_name + "\n[Text]\n";
    dump_runs(out, g.Form1.Text);
    out += "[SideText]\n";
    dump_runs(out, g.Form1.SideText);
    return out;
}

ordered_json state_dump(const Game& g) {
    return JsonFields::value(g);
}

bool write_output(const std::string& path, const std::string& text) {
    if (path == "-") {
        std::cout << text << std::flush;
        return static_cast<bool>(std::cout);
    }
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

} // namespace duskwend
