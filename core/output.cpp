#include "core/output.h"

#include "core/class_rules.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/overlays.h"
#include "core/rules.h"

namespace duskwend {

namespace {

// Splits s (already followed by one blank) into what fits in the message width and the rest.
// Words move to the rest one by one; a word too wide on its own is broken after the last
// character that fits, so every line makes progress.
std::string wrap_line(const PictureArea& area, std::string& s) {
    std::string rest;
    while (area.TextWidth(s) > MESSAGE_WIDTH) {
        const auto blank = s.find_last_of(' ');
        if (blank != std::string::npos && blank > 0) {
            rest = s.substr(blank) + rest;
            s.erase(blank);
            continue;
        }
        std::size_t keep = 1;
        while (keep < s.size() && area.TextWidth(s.substr(0, keep + 1)) <= MESSAGE_WIDTH) ++keep;
        rest = s.substr(keep) + rest;
        s.erase(keep);
        break;
    }
    return rest;
}

void print_lines(Game& g, const std::array<std::string, MESSAGE_LINE_COUNT>& lines) {
    PictureArea& text = g.Form1.Text;
    text.CurrentX = 0;
    text.CurrentY = 0;
    for (int k = 0; k <= MESSAGE_LAST_LINE; ++k) text.print_line(lines[k]);
    g.host->repaint(g);
}

enum class Buffer { Messages, Page };

// Adds one line to the message area or the page buffer and shows the buffer; the rest of a
// long text goes on in a deeper call, so every line is shown as it is added. The message
// area pauses once per call from outside, after all its lines, before the last redraw.
void add_line(Game& g, Buffer buffer, const std::string& text) {
    const bool messages = buffer == Buffer::Messages;
    auto& lines = messages ? g.message_lines : g.page_lines;
    int16_t& line = messages ? g.message_line : g.page_line;

    g.message_depth = static_cast<int16_t>(g.message_depth + 1);
    if (line == -1)
        for (int k = 0; k <= MESSAGE_LAST_LINE; ++k) lines[k].clear();
    line = static_cast<int16_t>(line + 1);
    if (line > MESSAGE_LAST_LINE) {
        for (int k = 0; k < MESSAGE_LAST_LINE; ++k) lines[k] = lines[k + 1];
        line = MESSAGE_LAST_LINE;
    }
    std::string s = text + " ";
    const std::string rest = wrap_line(g.Form1.Text, s);
    lines[line] = s;
    if (messages) sub_log_message_line(g, s);
    if (!rest.empty()) add_line(g, buffer, rest);
    if (messages && g.message_delay > 0 && g.message_depth == 1) {
        // The party's values are fresh while a message is read (a round may have changed them).
        sub_update_party_stats(g);
        g.host->pause(g, g.message_delay);
    }
    g.message_depth = static_cast<int16_t>(g.message_depth - 1);

    // The message area is redrawn from a clear column; the page is printed over what the
    // caller put there.
    if (messages) g.Form1.Text.Cls();
    print_lines(g, lines);
}

} // namespace

PictureArea& text(Game& g) {
    return g.Form1.Text;
}

void print_centred_heading(Game& g, const std::string& heading, bool measured_bold) {
    PictureArea& t = text(g);
    t.bold = measured_bold;
    t.CurrentX = 100 - t.TextWidth(heading) / 2;
    t.CurrentY = 0;
    t.bold = true;
    t.print_line(heading);
    t.bold = false;
}

void print_screen_heading(Game& g, const std::string& heading, int blank_lines) {
    text(g).Cls();
    print_centred_heading(g, heading);
    for (int k = 0; k < blank_lines; ++k) text(g).print_line();
}

void sub_display_char_status(Game& g) {
    PictureArea& side = g.Form1.SideText;
    side.Cls();
    side.CurrentX = 0;
    side.CurrentY = 0;
    const auto at = [&](int x, const std::string& text) {
        side.CurrentX = x;
        side.print(text);
    };
    at(0, "No.");
    at(20, "Name");
    at(80, "Hits");
    at(140, "Mana");
    side.CurrentX = 200;
    side.print_line("AC");
    side.print_line();
    for (int m = 0; m < PARTY_SIZE; ++m) {
        const PartyMemberRec& p = g.party[m];
        if (p.in_use <= 0) continue;
        side.fore_colour = 1;
        at(0, str_form(m + 1) + ".");
        side.fore_colour = 0;
        at(20, p.name);
        if (p.hit_points < 1) {
            at(80, "DEAD");
        } else {
            at(80, str_form(p.hit_points));
            at(100, "/" + str_form(p.max_hit_points));
        }
        at(140, str_form(p.magic_points));
        at(160, "/" + str_form(p.max_magic_points));
        side.CurrentX = 200;
        side.print_line(str_form(p.armour_class));
    }
}

void sub_show_message(Game& g, const std::string& text) {
    add_line(g, Buffer::Messages, text);
}

void sub_print_wrapped(Game& g, const std::string& text) {
    add_line(g, Buffer::Page, text);
}

void for_each_text_line(const std::string& text,
                        const std::function<void(const std::string&)>& line) {
    // Positions are counted from 0 here; a marker is a backslash followed by n or N.
    std::size_t start = 0;
    std::size_t i = 0;
    while (i + 1 < text.size()) {
        if (text[i] == '\\' && (text[i + 1] == 'n' || text[i + 1] == 'N')) {
            line(text.substr(start, i - start));
            if (text[i + 1] == 'N') line("");
            start = i + 2;
            i += 3;
        } else {
            ++i;
        }
    }
    if (start < text.size()) line(text.substr(start));
}

void sub_print_text_block(Game& g, const std::string& text) {
    for_each_text_line(text, [&](const std::string& piece) { sub_print_wrapped(g, piece); });
}

void sub_print_right_aligned(Game& g, const std::string& text, int x) {
    PictureArea& area = g.Form1.Text;
    area.CurrentX = x - area.TextWidth(text);
    area.print(text);
}

std::string sub_class_name(int class_id) {
    return class_rules(class_id).name;
}

std::string sub_race_name(int race) {
    static const char* const names[RACE_COUNT] = {"Human", "Dwarf", "Elf", "Gnome", "Half-Elf"};
    return is_race(race) ? names[race] : "";
}

std::string sub_possessive(Game& g, int who) {
    if (who == -1) return "their";
    if (who >= 0 && who < MAX_PARTY) return g.party[who].sex == 1 ? "his" : "her";
    if (who >= CAST_GROUP_BASE && who < CAST_GROUP_BASE + MONSTER_GROUP_COUNT) {
        sub_read_monster(g, g.monster_groups[who - CAST_GROUP_BASE].monster);
        switch (g.monster_rec.gender) {
        case 0:
            return "its";
        case 1:
            return "his";
        case 2:
            return "her";
        default:
            return "";
        }
    }
    return "";
}

void print_menu_line(Game& g, const std::string& key, const std::string& option) {
    PictureArea& t = g.Form1.Text;
    t.fore_colour = 1;
    t.print(key);
    t.fore_colour = 0;
    t.CurrentX = 25;
    t.print_line(option);
}

} // namespace duskwend
