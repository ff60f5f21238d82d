#pragma once
// Printing into the text column and the status panel: the party status panel, the message
// area, the page buffer, text with line markers, right-aligned text and the names of things.

#include <functional>
#include <string>

namespace duskwend {

struct Game;
class PictureArea;

// The text column, where every screen prints.
PictureArea& text(Game& g);

void sub_display_char_status(Game& g);
void sub_show_message(Game& g, const std::string& text);
void sub_print_wrapped(Game& g, const std::string& text);
void sub_print_text_block(Game& g, const std::string& text);
// Splits a text at its line markers "\n" and "\N" and hands each piece to `line`; "\N"
// adds an empty piece after its own. After a marker the scan resumes one character into
// the next piece, so a marker directly after another is kept as text.
void for_each_text_line(const std::string& text,
                        const std::function<void(const std::string&)>& line);
void sub_print_right_aligned(Game& g, const std::string& text, int x);
// A menu line of the text column: the key text ("  A.") in colour 1 staying on the line, then
// the option at x = 25 in colour 0, ending the line.
void print_menu_line(Game& g, const std::string& key, const std::string& option);

// A heading on the first line of the text column: the text in bold, centred on x = 100 by its
// width in bold (or, where `measured_bold` is false, by its width in plain type).
void print_centred_heading(Game& g, const std::string& text, bool measured_bold = true);
// A screen's top: the text column cleared, the heading, then `blank_lines` empty lines.
void print_screen_heading(Game& g, const std::string& text, int blank_lines = 1);

std::string sub_class_name(int class_id);
std::string sub_race_name(int race);
std::string sub_possessive(Game& g, int who);

} // namespace duskwend
