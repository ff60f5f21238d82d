#include "platform/dumps.h"

#include "core/text_encoding.h"

#include <fstream>
#include <iostream>

using nlohmann::ordered_json;

namespace {

struct JsonFields {
    ordered_json& out;

    static ordered_json value(int16_t v) { return v; }
    static ordered_json value(int32_t v) { return v; }
    template <std::size_t N> static ordered_json value(const FixedText<N>& t) {
        return cp1252_to_utf8(t.str());
    }
    template <class T, std::size_t N> static ordered_json value(const std::array<T, N>& a) {
        ordered_json list = ordered_json::array();
        for (const auto& e : a) list.push_back(value(e));
        return list;
    }
    template <class T> void operator()(const char* name, const T& field) {
        out[name] = value(field);
    }
};

template <class Rec> ordered_json record(const Rec& r) {
    ordered_json o = ordered_json::object();
    visit_fields(r, JsonFields{o});
    return o;
}

template <class Rec, std::size_t N> ordered_json records(const std::array<Rec, N>& table) {
    ordered_json list = ordered_json::array();
    for (const auto& r : table) list.push_back(record(r));
    return list;
}

ordered_json lines(const std::array<std::string, MESSAGE_LINE_COUNT>& l) {
    ordered_json list = ordered_json::array();
    for (const auto& s : l) list.push_back(cp1252_to_utf8(s));
    return list;
}

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
    ordered_json s;
    s["current_location"] = g.current_location;
    s["location_step"] = g.location_step;
    s["combat_active"] = g.combat_active;
    s["combat_step"] = g.combat_step;
    s["sheet_member"] = g.sheet_member;
    s["sheet_step"] = g.sheet_step;
    s["input_line"] = cp1252_to_utf8(g.input_line);
    s["backspace_pressed"] = g.backspace_pressed;
    s["upper_case_input"] = g.upper_case_input;
    s["keys_enabled"] = g.keys_enabled;
    s["quit_requested"] = g.quit_requested;
    s["message_delay"] = g.message_delay;
    s["move_count"] = g.move_count;
    s["map_level"] = g.map_level;
    s["party_x"] = g.party_x;
    s["party_y"] = g.party_y;
    s["party_facing"] = g.party_facing;
    s["party_turned"] = g.party_turned;
    s["spell_level_shown"] = g.spell_level_shown;
    s["selected_member"] = g.selected_member;
    s["selected_item"] = g.selected_item;
    s["building_number"] = g.building_number;
    s["sheet_choice"] = g.sheet_choice;
    s["sheet_target"] = g.sheet_target;
    s["use_identified"] = g.use_identified;
    s["message_lines"] = lines(g.message_lines);
    s["message_line"] = g.message_line;
    s["message_depth"] = g.message_depth;
    s["page_lines"] = lines(g.page_lines);
    s["page_line"] = g.page_line;
    // The character sheet.
    s["sheet_spell"] = g.sheet_spell;
    s["sheet_use_place"] = g.sheet_use_place;
    s["sheet_notice"] = cp1252_to_utf8(g.sheet_notice);
    s["sheet_one_time_step"] = {{"screen", g.sheet_one_time_step.screen},
                                {"step", g.sheet_one_time_step.step},
                                {"acted", g.sheet_one_time_step.acted}};
    s["sheet_underneath"] = {{"saved", g.sheet_underneath.saved},
                             {"sheet_choice", g.sheet_underneath.sheet_choice},
                             {"sheet_target", g.sheet_underneath.sheet_target},
                             {"spell_level_shown", g.sheet_underneath.spell_level_shown},
                             {"page_line", g.sheet_underneath.page_line},
                             {"page_lines", lines(g.sheet_underneath.page_lines)}};
    s["item_count"] = g.item_count;
    s["shop_count"] = g.shop_count;
    s["spell_count"] = g.spell_count;
    s["spell_progression_count"] = g.spell_progression_count;
    s["new_race"] = g.new_race;
    s["new_sex"] = g.new_sex;
    s["new_class"] = g.new_class;
    s["new_strength"] = g.new_strength;
    s["new_intelligence"] = g.new_intelligence;
    s["new_piety"] = g.new_piety;
    s["new_dexterity"] = g.new_dexterity;
    s["new_speed"] = g.new_speed;
    s["new_vitality"] = g.new_vitality;
    s["new_personality"] = g.new_personality;
    s["new_karma"] = g.new_karma;
    s["bonus_points"] = g.bonus_points;
    s["cursor_line"] = g.cursor_line;
    s["new_hit_points"] = g.new_hit_points;
    s["new_magic_points"] = g.new_magic_points;
    s["new_resistances"] = JsonFields::value(g.new_resistances);
    s["new_name"] = cp1252_to_utf8(g.new_name);
    s["new_thief_skills"] = JsonFields::value(g.new_thief_skills);
    s["new_spells"] = JsonFields::value(g.new_spells);
    s["one_time_step"] = {{"screen", g.one_time_step.screen},
                          {"step", g.one_time_step.step},
                          {"acted", g.one_time_step.acted}};
    s["combat_member"] = g.combat_member;
    ordered_json groups = ordered_json::array();
    for (const auto& m : g.monster_groups)
        groups.push_back({{"monster", m.monster},
                          {"count", m.count},
                          {"crowns", m.crowns},
                          {"experience", m.experience}});
    s["monster_groups"] = groups;
    s["monster_state"] = g.monster_state;
    s["group_effects"] = g.group_effects;
    s["treasure_items"] = g.treasure_items;
    s["combat_actions"] = g.combat_actions;
    s["action_allowed"] = g.action_allowed;
    s["cast_spell"] = g.cast_spell;
    s["cast_caster"] = g.cast_caster;
    s["cast_target"] = g.cast_target;
    s["cast_done"] = g.cast_done;
    s["cast_result"] = cp1252_to_utf8(g.cast_result);
    // Choosing actions in a fight.
    s["combat_chosen_spell"] = g.combat_chosen_spell;
    s["combat_chosen_item"] = g.combat_chosen_item;
    // The round and the end of the fight.
    s["flee_failed"] = g.flee_failed;
    s["roster"] = records(g.roster);
    s["party"] = records(g.party);
    s["game_flags"] = JsonFields::value(g.game_flags);
    // Comforts: the overlays, the automap (per map, rows north to south, '#' seen) and the
    // message log.
    ordered_json automap = ordered_json::object();
    for (const auto& [map, seen] : g.overlays.automap) {
        ordered_json rows = ordered_json::array();
        for (int y = 0; y < MAP_SIZE; ++y) {
            std::string row;
            for (int x = 0; x < MAP_SIZE; ++x)
                row += std::size_t(x) * MAP_SIZE + y < seen.size() &&
                               seen[std::size_t(x) * MAP_SIZE + y]
                           ? '#'
                           : '.';
            rows.push_back(row);
        }
        automap[std::to_string(map)] = rows;
    }
    ordered_json log = ordered_json::array();
    for (const auto& line : g.overlays.message_log) log.push_back(cp1252_to_utf8(line));
    s["overlays"] = {{"shown", g.overlays.shown},
                     {"log_scroll", g.overlays.log_scroll},
                     {"title", g.overlays.title},
                     {"automap", automap},
                     {"message_log", log}};
    return s;
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
