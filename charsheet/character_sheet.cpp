// The character sheet of one party member, drawn over whatever screen is underneath: four
// pages cycled with N and P, and the commands started from them. X closes it and the screen
// underneath comes back as it was.
#include "charsheet/character_sheet.h"

#include "combat/combat.h"
#include "core/datafiles.h"
#include "core/game.h"
#include "core/one_time_step.h"
#include "core/output.h"

#include <algorithm>

namespace duskwend {

int sheet_slot(const Game& g) {
    return std::clamp<int>(g.sheet_member, 1, PARTY_SIZE) - 1;
}

PartyMemberRec& sheet_rec(Game& g) {
    return g.party[sheet_slot(g)];
}

bool sheet_in_combat(const Game& g) {
    return is_on(g.combat_active);
}

bool sheet_carries_items(const Game& g) {
    const PartyMemberRec& m = g.party[sheet_slot(g)];
    if (m.body > 0 || m.right_hand[0] > 0 || m.left_hand[0] > 0) return true;
    return std::any_of(m.pack.begin(), m.pack.begin() + 10,
                       [](const auto& slot) { return slot[PACK_ITEM] > 0; });
}

bool sheet_may_change_equipment_in_fight(const Game& g) {
    return sheet_in_combat(g) && sheet_carries_items(g) &&
           sub_combat_member_choosing(g, sheet_slot(g));
}

bool sheet_class_may_use(const Game& g, int class_id) {
    const auto& usable = g.item_rec.usable_by;
    const int k = class_id + 1;
    return k >= 0 && k < static_cast<int>(usable.size()) && is_on(usable[k]);
}

std::vector<int> sheet_spells_on_shown_level(Game& g) {
    std::vector<int> spells;
    for (const int16_t spell : sheet_rec(g).spells_known) {
        if (!spell_exists(g, spell)) continue;
        sub_read_spell(g, spell);
        if (g.spell_rec.level == g.spell_level_shown) spells.push_back(spell);
    }
    return spells;
}

void print_sheet_name(Game& g) {
    // Centred by its width in plain type, unlike the other screens' headings.
    print_centred_heading(g, sheet_rec(g).name.trimmed(), false);
}

void print_sheet_menu_line(Game& g, const std::string& key, const std::string& text) {
    PictureArea& t = g.Form1.Text;
    t.fore_colour = 1;
    t.print(key);
    t.fore_colour = 0;
    t.print_line(text);
}

void print_sheet_menu(Game& g, const std::vector<std::pair<std::string, std::string>>& lines) {
    PictureArea& t = g.Form1.Text;
    t.CurrentX = 0;
    t.CurrentY = SHEET_MENU_BOTTOM - LINE_HEIGHT * static_cast<int>(lines.size());
    for (const auto& [key, text] : lines) print_sheet_menu_line(g, key, text);
}

namespace {

// The first key of an opened sheet keeps what the screen underneath shares with the sheet;
// closing gives it back, so that screen goes on where it was.
void keep_underneath(Game& g) {
    Game::SheetUnderneath& u = g.sheet_underneath;
    if (u.saved) return;
    u.saved = true;
    u.sheet_choice = g.sheet_choice, u.sheet_target = g.sheet_target;
    u.spell_level_shown = g.spell_level_shown;
    u.page_line = g.page_line, u.page_lines = g.page_lines;
}

void give_back_underneath(Game& g) {
    Game::SheetUnderneath& u = g.sheet_underneath;
    if (!u.saved) return;
    u.saved = false;
    g.sheet_choice = u.sheet_choice, g.sheet_target = u.sheet_target;
    g.spell_level_shown = u.spell_level_shown;
    g.page_line = u.page_line, g.page_lines = u.page_lines;
}

// Steps SHEET_STATS .. SHEET_CAST are the four pages and the commands started from them.
void step_key(Game& g) {
    // A step the sheet does not know starts again on the statistics page.
    if (g.sheet_step < SHEET_STATS || g.sheet_step > SHEET_CAST) g.sheet_step = SHEET_STATS;
    const int s = g.sheet_step;
    const bool page =
        s == SHEET_STATS || s == SHEET_EQUIPMENT || s == SHEET_ABILITIES || s == SHEET_SPELLS;
    if (page)
        sheet_page_key(g);
    else
        sheet_command_key(g);
}

} // namespace

void sub_character_sheet_key(Game& g) {
    // Every key that reaches the sheet lets its next acting step (a use, a cast) act once;
    // the latch of the screen underneath is left alone.
    sub_key_reached_sheet(g);
    g.sheet_notice.clear();
    keep_underneath(g);
    if (g.sheet_member < 1 || g.sheet_member > PARTY_SIZE)
        g.sheet_member = 0, g.sheet_step = 0;
    else
        step_key(g);
    if (g.sheet_member == 0) give_back_underneath(g);
}

void sub_draw_character_sheet(Game& g) {
    if (g.sheet_member < 1 || g.sheet_member > PARTY_SIZE) return;
    const int step = g.sheet_step;
    // The use and the cast act once per key; a repaint shows what they printed.
    if (step == SHEET_USE) {
        draw_sheet_use(g);
        return;
    }
    if (step == SHEET_CAST) {
        draw_sheet_cast(g);
        return;
    }
    PictureArea& t = g.Form1.Text;
    t.Cls();
    t.fore_colour = 0;
    print_sheet_name(g);
    t.print_line();
    switch (step) {
    case SHEET_EQUIPMENT:
    case SHEET_ABILITIES:
    case SHEET_SPELLS:
        if (step == SHEET_EQUIPMENT) draw_equipment_page(g);
        if (step == SHEET_ABILITIES) draw_abilities_page(g);
        if (step == SHEET_SPELLS) draw_spell_page(g);
        draw_sheet_page_menu(g);
        break;
    case SHEET_EQUIP:
    case SHEET_GIVE_TO:
    case SHEET_GIVE_WHAT:
    case SHEET_USE_WHAT:
    case SHEET_USE_ON:
        draw_equipment_page(g);
        draw_sheet_choice_menu(g);
        break;
    case SHEET_DESCRIBE_WHAT:
    case SHEET_CAST_WHAT:
        draw_spell_page(g);
        draw_sheet_choice_menu(g);
        break;
    case SHEET_DESCRIPTION:
        draw_spell_description(g);
        break;
    case SHEET_CAST_ON:
        draw_cast_screen(g);
        break;
    default:
        draw_stats_page(g);
        draw_sheet_page_menu(g);
        break;
    }
}

} // namespace duskwend
