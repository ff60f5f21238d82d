// The guild hall: the menu, putting the party together, a roster character's details, saving
// and loading. Character creation and the inn are steps of the same screen in their own files.
#include "guildhall/guild_hall.h"
#include "guildhall/steps.h"

#include "core/any_key.h"
#include "core/datafiles.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/one_time_step.h"
#include "core/output.h"
#include "core/overlays.h"
#include "core/rules.h"
#include "core/typed_keys.h"
#include "core/save_slots.h"
#include "core/screens.h"

#include <algorithm>

namespace duskwend {

namespace {

bool roster_occupied(const Game& g, int first, int last) {
    return std::any_of(g.roster.begin() + first, g.roster.begin() + last + 1,
                       [](const CharacterRec& c) { return c.in_use > 0; });
}
int roster_count(const Game& g) {
    return static_cast<int>(std::count_if(g.roster.begin(), g.roster.end(),
                                          [](const CharacterRec& c) { return c.in_use > 0; }));
}
bool party_has_room(const Game& g) {
    return std::any_of(g.party.begin(), g.party.end(),
                       [](const PartyMemberRec& m) { return m.in_use <= 0; });
}
bool party_alive(const Game& g) {
    return std::any_of(g.party.begin(), g.party.end(), alive);
}
bool flags_set(const Game& g) {
    return std::any_of(g.game_flags.begin(), g.game_flags.end(), [](int16_t f) { return f != 0; });
}

// ---------------------------------------------------------------------------------------
// Menu

void draw_menu(Game& g) {
    PictureArea& t = text(g);
    t.print_line();
    t.print_line(" In the Guild Hall you are able to relax and swap");
    t.print_line(" tales with your comrades in arms.  Here you can");
    t.print_line(" find new warriors looking for adventure, or");
    t.print_line(" seasoned veterans in search of a charter.");
    t.print_line();
    t.print_line(" Options:");
    if (roster_occupied(g, 0, 10) && party_has_room(g)) print_menu_line(g, "  A.", "Add to Party.");
    if (sub_count_party_members(g) > 0) print_menu_line(g, "  R.", "Remove from Party.");
    if (roster_count(g) < 10) print_menu_line(g, "  C.", "Create new character.");
    if (sub_count_party_members(g) > 0)
        print_menu_line(g, "  H.", "Hire Room for the Night (25ic).");
    print_menu_line(g, "  S.", "Save Game.");
    print_menu_line(g, "  L.", "Load Game.");
    print_menu_line(g, "  Q.", "Quit Game.");
    t.print_line();
    if (sub_count_party_members(g) > 0) print_menu_line(g, "  E.", "Enter the City.");
    if (flags_set(g)) print_menu_line(g, "  Z.", "Reset Flags.");
}

// The party starts at the guild hall door of map 1: the square in front of the last door
// event that leads to the guild hall.
void enter_city(Game& g) {
    g.current_location = LOCATION_CITY;
    g.location_step = -1;
    sub_load_map(g, 1);
    g.party_facing = 0;
    for (const auto& e : g.map_rec.events) {
        if (e[0] == 2 && e[4] == 0) {
            // A door on the grid's edge still leaves the party on the grid.
            g.party_x = std::clamp<int16_t>(e[2], 0, MAP_SIZE - 1);
            g.party_y = std::clamp<int16_t>(static_cast<int16_t>(e[3] - 1), 0, MAP_SIZE - 1);
        }
    }
}

void menu_key(Game& g) {
    const std::string& k = g.input_line;
    if (k == "A" && roster_occupied(g, 0, 10) && party_has_room(g))
        g.location_step = GUILD_ADD_LIST;
    else if (k == "R" && sub_count_party_members(g) > 0)
        g.location_step = GUILD_REMOVE_WHICH;
    else if (k == "C" && roster_count(g) < 10)
        g.location_step = GUILD_CREATE_RACE;
    else if (k == "H" && sub_count_party_members(g) > 0)
        g.location_step = GUILD_INN_PAYER;
    else if (k == "S")
        g.location_step = GUILD_SAVE;
    else if (k == "L")
        g.location_step = GUILD_LOAD;
    else if (k == "Q")
        g.quit_requested = 1;
    else if (k == "E" && party_alive(g))
        enter_city(g);
    else if (k == "E" && sub_count_party_members(g) > 0)
        g.location_step = GUILD_NOBODY_WALKS;
    else if (k == "Z" && flags_set(g))
        g.game_flags.fill(0);
}

// ---------------------------------------------------------------------------------------
// Adding to the party

void print_roster_list(Game& g) {
    PictureArea& t = text(g);
    t.CurrentX = 0;
    t.print("Char.");
    t.CurrentX = 30;
    t.print("Class.");
    t.CurrentX = 100;
    t.print_line("Name.");
    for (int i = 0; i <= 9; ++i) {
        const CharacterRec& c = g.roster[i];
        if (c.in_use <= 0) continue;
        t.CurrentX = 0;
        t.fore_colour = 1;
        t.print(std::string("  ") + char('A' + i) + ".");
        t.fore_colour = 0;
        t.CurrentX = 30;
        t.print(sub_class_name(c.class_id));
        t.CurrentX = 100;
        t.print_line(c.name);
    }
}

// The roster list between empty lines, under its heading.
void print_roster_page(Game& g, const std::string& heading) {
    PictureArea& t = text(g);
    t.print_line();
    t.print_line(heading);
    t.print_line();
    print_roster_list(g);
    t.print_line();
}

void draw_add_list(Game& g) {
    PictureArea& t = text(g);
    print_roster_page(g, " Available character(s) to add to party.");
    t.print_line(" Options:");
    if (roster_occupied(g, 0, 9)) print_menu_line(g, "  T.", "Take Character.");
    print_menu_line(g, "  X.", "Exit hire and return to GuildHall.");
}

// X goes back to the step `back`; the letter of a listed entry 0..last selects it for the step
// `next`.
template <class Listed> void select_key(Game& g, int last, Listed listed, int back, int next) {
    const int i = typed_letter(g, last + 1);
    if (g.input_line == "X") {
        g.location_step = static_cast<int16_t>(back);
    } else if (i >= 0 && listed(i)) {
        g.selected_member = static_cast<int16_t>(i);
        g.location_step = static_cast<int16_t>(next);
    }
}

bool in_roster(const Game& g, int i) {
    return g.roster[i].in_use > 0;
}

void add_list_key(Game& g) {
    if (g.input_line == "T") {
        if (roster_occupied(g, 0, 9)) g.location_step = GUILD_TAKE_WHICH;
    } else {
        select_key(
            g, 9, [&](int i) { return in_roster(g, i); }, GUILD_MENU, GUILD_VIEW_CHARACTER);
    }
}

// " " and the name for one item, or the quantity and the plural name.
std::string item_text(Game& g, int item, int quantity) {
    sub_read_item(g, item);
    if (quantity == 1) return " " + g.item_rec.name.trimmed();
    return str_form(quantity) + " " + g.item_rec.plural_name.trimmed();
}

void draw_view_character(Game& g) {
    sub_wait_for_any_key(g);
    PictureArea& t = text(g);
    const CharacterRec& c = g.roster[g.selected_member];
    print_screen_heading(g, c.name);
    const auto line = [&](const std::string& label, int label_end, const std::string& value) {
        sub_print_right_aligned(g, label, label_end);
        t.print_line(value);
    };
    line("Level: ", 60, str_form(c.level));
    line("Class: ", 60, sub_class_name(c.class_id));
    line("Race: ", 60, sub_race_name(c.race));
    t.print_line();
    static const char* const labels[] = {"Strength:", "Intelligence:", "Piety:",       "Dexterity:",
                                         "Speed:",    "Vitality:",     "Personality:", "Karma:"};
    CharacterRec copy = c;
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k) {
        sub_print_right_aligned(g, labels[k], 60);
        sub_print_right_aligned(g, str_form(attribute(copy, k)), 80);
        t.print_line();
    }
    t.print_line();
    sub_print_right_aligned(g, "Hit Points:", 80);
    sub_print_right_aligned(g, str_form(c.hit_points), 100);
    t.print_line(" /" + str_form(c.max_hit_points));
    sub_print_right_aligned(g, "Magic Points:", 80);
    sub_print_right_aligned(g, str_form(c.magic_points), 100);
    t.print_line(" /" + str_form(c.max_magic_points));
    line("Experience:", 80, str_form(c.experience));
    t.print_line();
    line("Imperial Crowns:", 80, str_form(c.crowns));
    line("Bank Account:", 80, str_form(c.bank));

    // Right column.
    t.CurrentY = 5 * LINE_HEIGHT;
    sub_print_right_aligned(g, "Equipment", 170);
    t.print_line();
    t.print_line();
    line("Body:", 150, c.body > 0 ? item_text(g, c.body, 1) : " Nothing");
    bool two_handed = false;
    if (c.right_hand[0] > 0) {
        line("Right Hand:", 150, item_text(g, c.right_hand[0], c.right_hand[1]));
        two_handed = g.item_rec.kind == ITEM_TWO_HANDED;
    } else {
        line("Right Hand:", 150, " Empty");
    }
    // A two-handed weapon leaves nothing to show for the left hand.
    if (two_handed)
        line("Left Hand:", 150, "");
    else
        line("Left Hand:", 150,
             c.left_hand[0] > 0 ? item_text(g, c.left_hand[0], c.left_hand[1]) : " Empty");
    for (int s = 0; s <= 9; ++s) {
        const auto& slot = c.pack[s];
        line(str_form(s + 1) + ":", 150,
             slot[PACK_ITEM] > 0 ? item_text(g, slot[PACK_ITEM], slot[PACK_QUANTITY]) : "");
    }
}

void draw_take_which(Game& g) {
    PictureArea& t = text(g);
    print_roster_page(g, "Available character(s) to add to party.");
    t.print_line(" Take which character:");
    t.fore_colour = 0;
    t.print("  ( ");
    t.fore_colour = 1;
    for (int i = 0; i <= 9; ++i)
        if (g.roster[i].in_use > 0) t.print(std::string(1, char('A' + i)) + ". ");
    t.print("X.");
    t.fore_colour = 0;
    t.print_line(")");
}

void take_which_key(Game& g) {
    select_key(
        g, 9, [&](int i) { return in_roster(g, i); }, GUILD_ADD_LIST, GUILD_TAKE);
}

// What a roster character and a party member share, copied from one to the other: the current
// resistances, the hands without their third value, the pack whole with its identified flags.
template <class From, class To> void copy_shared_fields(const From& f, To& t) {
    t.in_use = f.in_use, t.name = f.name, t.class_id = f.class_id, t.sex = f.sex;
    t.level = f.level, t.experience = f.experience, t.crowns = f.crowns, t.bank = f.bank;
    t.race = f.race;
    t.hit_points = f.hit_points, t.max_hit_points = f.max_hit_points;
    t.magic_points = f.magic_points, t.max_magic_points = f.max_magic_points;
    t.healing_mark = f.healing_mark;
    t.resistances = f.resistances;
    t.right_hand = {f.right_hand[0], f.right_hand[1], 0};
    t.left_hand = {f.left_hand[0], f.left_hand[1], 0};
    t.body = f.body;
    t.pack = f.pack;
    t.thief_skills = f.thief_skills;
    t.spells_known = f.spells_known;
}

// The party entry starts cleared, so nothing of an earlier occupant (effects, hand values)
// stays behind; the character's attributes and resistances are the member's base values too.
PartyMemberRec to_party(const CharacterRec& c) {
    PartyMemberRec p;
    copy_shared_fields(c, p);
    CharacterRec from = c;
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k)
        attribute(p, k) = base_attribute(p, k) = attribute(from, k);
    p.base_resistances = c.resistances;
    return p;
}

CharacterRec to_roster(const PartyMemberRec& p) {
    CharacterRec c;
    copy_shared_fields(p, c);
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k) attribute(c, k) = attribute(p, k);
    return c;
}

void draw_take(Game& g) {
    PictureArea& t = text(g);
    CharacterRec& c = g.roster[g.selected_member];
    const std::string name = c.name.trimmed();
    c.name = name;
    t.print_line();
    t.print_line(" You have taken " + name + ".");
    t.print_line();
    const auto free = std::find_if(g.party.begin(), g.party.begin() + MAX_PARTY,
                                   [](const PartyMemberRec& m) { return m.in_use == 0; });
    if (free == g.party.begin() + MAX_PARTY) {
        t.print_line();
        t.print_line(" " + name + " is unable to Join.");
        t.print_line();
        t.print_line(" You have no more space in your party!");
    } else {
        *free = to_party(c);
        c.in_use = 0;
        sub_sort_roster(g);
    }
    sub_update_party_stats(g);
    sub_display_char_status(g);
}

// ---------------------------------------------------------------------------------------
// Removing from the party

void draw_remove_which(Game& g) {
    PictureArea& t = text(g);
    t.print_line(" Remove which character:-");
    for (int i = 0; i < PARTY_SIZE; ++i) {
        if (g.party[i].in_use <= 0) continue;
        t.fore_colour = 1;
        t.print(std::string("  ") + char('A' + i) + ".");
        t.CurrentX = 25;
        t.fore_colour = 0;
        t.print_line(g.party[i].name.trimmed() + ".");
    }
    t.print_line();
    print_menu_line(g, "  X.", "Exit remove and return to Guildhall.");
}

void remove_which_key(Game& g) {
    select_key(
        g, MAX_PARTY - 1, [&](int i) { return g.party[i].in_use > 0; }, GUILD_MENU, GUILD_REMOVE);
}

void draw_remove(Game& g) {
    PictureArea& t = text(g);
    PartyMemberRec& p = g.party[g.selected_member];
    t.print_line();
    t.print_line(" You have removed " + p.name.str());
    const auto free = std::find_if(g.roster.begin(), g.roster.begin() + 10,
                                   [](const CharacterRec& c) { return c.in_use == 0; });
    if (free != g.roster.begin() + 10) {
        *free = to_roster(p);
        p.in_use = 0;
        sub_sort_roster(g);
        sub_compact_party(g);
    }
    sub_update_party_stats(g);
    sub_display_char_status(g);
}

} // namespace

// ---------------------------------------------------------------------------------------

void sub_guild_hall_key(Game& g) {
    const int step = g.location_step;
    switch (step) {
    case GUILD_MENU:
        menu_key(g);
        break;
    case GUILD_NOBODY_WALKS:
        g.location_step = GUILD_MENU; // the line goes with the next key
        menu_key(g);
        break;
    case GUILD_ADD_LIST:
        add_list_key(g);
        break;
    case GUILD_VIEW_CHARACTER:
    case GUILD_TAKE:
        g.location_step = GUILD_ADD_LIST;
        break;
    case GUILD_TAKE_WHICH:
        take_which_key(g);
        break;
    case GUILD_REMOVE_WHICH:
        remove_which_key(g);
        break;
    case GUILD_REMOVE:
    case GUILD_SAVE:
    case GUILD_LOAD:
        g.location_step = GUILD_MENU;
        break;
    case GUILD_INN_PAYER:
    case GUILD_INN_REST:
        inn_key(g);
        break;
    default:
        creation_key(g);
        break;
    }
}

void sub_draw_guild_hall(Game& g) {
    print_screen_heading(g, "The Guild Hall");
    // Take, remove, save, load, the night and storing a new character act once per visit of
    // their step; a repaint without a key (after a character sheet closes) shows what the
    // action printed and does not act again.
    const int step = g.location_step;
    const bool acts = step == GUILD_TAKE || step == GUILD_REMOVE || step == GUILD_SAVE ||
                      step == GUILD_LOAD || step == GUILD_INN_REST || step == GUILD_CREATE_DONE;
    if (acts && !sub_begin_one_time_step(g, LOCATION_GUILD_HALL, step)) return;

    PictureArea& t = text(g);
    switch (step) {
    case GUILD_MENU:
        draw_menu(g);
        break;
    case GUILD_NOBODY_WALKS:
        draw_menu(g);
        t.print_line();
        t.print_line(" None can walk: the Temple of Light raises them.");
        break;
    case GUILD_ADD_LIST:
        draw_add_list(g);
        break;
    case GUILD_VIEW_CHARACTER:
        draw_view_character(g);
        break;
    case GUILD_TAKE_WHICH:
        draw_take_which(g);
        break;
    case GUILD_TAKE:
        draw_take(g);
        break;
    case GUILD_REMOVE_WHICH:
        draw_remove_which(g);
        break;
    case GUILD_REMOVE:
        draw_remove(g);
        break;
    case GUILD_SAVE: {
        // The automap goes in a file of its own beside the game; it never fails the save.
        const bool saved = write_save_files(g);
        if (saved) sub_save_automap(g);
        // The last three saved games are kept as automatic slots, so a save can be undone.
        if (saved) sub_keep_automatic_slot(g);
        t.print_line(saved ? " Game Saved." : " The game could not be saved.");
        break;
    }
    case GUILD_LOAD: {
        const bool loaded = read_save_files(g);
        if (loaded) sub_load_automap(g);
        t.print_line(loaded ? " Game Loaded." : " There is no saved game to load.");
        break;
    }
    case GUILD_INN_PAYER:
    case GUILD_INN_REST:
        draw_inn(g);
        break;
    default:
        draw_creation(g);
        break;
    }
    if (acts) sub_end_one_time_step(g);
}

} // namespace duskwend
