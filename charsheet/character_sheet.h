#pragma once
// The pieces the character sheet's files share, and its key and draw procedures. Its steps
// (sheet_step) are in core/game.h: a fight opens the sheet on its equipment page.

#include <string>
#include <utility>
#include <vector>

namespace duskwend {

struct Game;
struct PartyMemberRec;

// Menus stand at the foot of the text column: their last line ends at y 348.
constexpr int SHEET_MENU_BOTTOM = 348;
// Choice menus below the equipment and spell pages.
constexpr int SHEET_CHOICE_Y = 322, SHEET_GIVE_TO_Y = 309;

void sub_character_sheet_key(Game& g);
void sub_draw_character_sheet(Game& g);

// The member whose sheet is open and its party slot.
int sheet_slot(const Game& g);
PartyMemberRec& sheet_rec(Game& g);
// A fight runs underneath: the sheet offers less.
bool sheet_in_combat(const Game& g);
// Anything on the body, in a hand or in pack slots 0..9.
bool sheet_carries_items(const Game& g);
// In a fight, the member choosing an action may change weapons and armour; it takes the
// member's action.
bool sheet_may_change_equipment_in_fight(const Game& g);
// Whether a member of the class may use the item in item_rec.
bool sheet_class_may_use(const Game& g, int class_id);
// The known spells on the level shown, in the order they are known. Spell numbers outside
// the spell file are left out.
std::vector<int> sheet_spells_on_shown_level(Game& g);

// The member's name centred and bold on the first line (no clearing).
void print_sheet_name(Game& g);
// A menu line: the key in colour 1, its text in colour 0 straight after it.
void print_sheet_menu_line(Game& g, const std::string& key, const std::string& text);
// A menu whose last line ends at the foot of the column.
void print_sheet_menu(Game& g, const std::vector<std::pair<std::string, std::string>>& lines);

// The pages (charsheet/sheet_pages.cpp). The equipment page returns whether it showed any
// item.
void draw_stats_page(Game& g);
bool draw_equipment_page(Game& g);
void draw_abilities_page(Game& g);
void draw_spell_page(Game& g);
void sheet_page_key(Game& g);
void draw_sheet_page_menu(Game& g);

// The commands (charsheet/sheet_commands.cpp): their keys, their choice menus, and the two
// steps that act when drawn.
void sheet_command_key(Game& g);
void draw_sheet_choice_menu(Game& g);
void draw_cast_screen(Game& g);
void draw_spell_description(Game& g);
void draw_sheet_use(Game& g);
void draw_sheet_cast(Game& g);

} // namespace duskwend
