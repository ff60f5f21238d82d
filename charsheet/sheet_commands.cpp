// The sheet's commands: equip and de-equip, give and drop, use an item, read a spell's
// description and cast a spell. The keys gather the choices; using and casting happen when
// their step is drawn, once per key.
#include "charsheet/character_sheet.h"

#include "combat/combat.h"
#include "core/any_key.h"
#include "core/datafiles.h"
#include "core/game.h"
#include "core/item_use.h"
#include "core/numbers.h"
#include "core/one_time_step.h"
#include "core/output.h"
#include "core/rules.h"
#include "core/typed_keys.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace duskwend {

namespace {

// An item is used, and a spell cast, on one of the first six members only: keys 1 to 6.
constexpr int SHEET_TARGET_SLOTS = 6;

// Where the key L, R, B or a pack digit points: a USE_FROM_* place or a pack slot 0..9, when
// that place holds an item; USE_FROM_NOWHERE otherwise.
int occupied_place_of_key(Game& g, const std::string& key) {
    const PartyMemberRec& m = sheet_rec(g);
    if (key == "L") return m.left_hand[0] > 0 ? USE_FROM_LEFT_HAND : USE_FROM_NOWHERE;
    if (key == "R") return m.right_hand[0] > 0 ? USE_FROM_RIGHT_HAND : USE_FROM_NOWHERE;
    if (key == "B") return m.body > 0 ? USE_FROM_BODY : USE_FROM_NOWHERE;
    const int k = key_pack_slot(key);
    return k >= 0 && m.pack[k][PACK_ITEM] > 0 ? k : USE_FROM_NOWHERE;
}

int16_t item_at(const PartyMemberRec& m, int place) {
    if (place == USE_FROM_LEFT_HAND) return m.left_hand[0];
    if (place == USE_FROM_RIGHT_HAND) return m.right_hand[0];
    if (place == USE_FROM_BODY) return m.body;
    return place >= 0 && place <= 9 ? m.pack[place][PACK_ITEM] : int16_t(0);
}

// Held and worn items count as identified.
int16_t identified_at(const PartyMemberRec& m, int place) {
    return place >= 0 && place <= 9 ? m.pack[place][PACK_IDENTIFIED] : int16_t(1);
}

// One item less at the place: a pack slot's or a hand's quantity falls by one and the place
// is empty at 0; the body armour goes whole.
void remove_one(PartyMemberRec& m, int place) {
    const auto one_less = [](int16_t& item, int16_t& quantity) {
        quantity = to_integer(double(quantity) - 1);
        if (quantity <= 0) item = 0;
    };
    if (place == USE_FROM_LEFT_HAND)
        one_less(m.left_hand[0], m.left_hand[1]);
    else if (place == USE_FROM_RIGHT_HAND)
        one_less(m.right_hand[0], m.right_hand[1]);
    else if (place == USE_FROM_BODY)
        m.body = 0;
    else if (place >= 0 && place <= 9)
        one_less(m.pack[place][PACK_ITEM], m.pack[place][PACK_QUANTITY]);
}

int free_pack_slots(const PartyMemberRec& m) {
    int n = 0;
    for (int k = 0; k <= 9; ++k) n += m.pack[k][PACK_ITEM] == 0 ? 1 : 0;
    return n;
}

bool holds_two_handed(Game& g, const PartyMemberRec& m) {
    if (m.right_hand[0] < 1) return false;
    sub_read_item(g, m.right_hand[0]);
    return g.item_rec.kind == ITEM_TWO_HANDED;
}

// ---------------------------------------------------------------------------------------
// Choice menus

// The key list of the places that hold something: " L", " R", " B", then the pack slots
// that `offered` accepts (" 1" .. " 9", " 0" for the tenth).
template <class Offered>
std::vector<std::string> place_keys(const PartyMemberRec& m, Offered offered) {
    std::vector<std::string> keys;
    if (m.left_hand[0] > 0) keys.emplace_back(" L");
    if (m.right_hand[0] > 0) keys.emplace_back(" R");
    if (m.body > 0) keys.emplace_back(" B");
    for (int k = 0; k <= 9; ++k)
        if (offered(m.pack[k])) keys.push_back(k < 9 ? str_form(k + 1) : " 0");
    return keys;
}

std::string joined(const std::vector<std::string>& keys) {
    std::string list;
    for (const std::string& k : keys) list += (list.empty() ? "" : ",") + k;
    return list;
}

// The keys joined by "," in colour 1, then "." and the caption in colour 0. With no keys the
// line stays empty unless `always` asks for the "." and the caption anyway.
void print_choice_line(Game& g, const std::vector<std::string>& keys, const std::string& caption,
                       bool always = false) {
    PictureArea& t = text(g);
    t.fore_colour = 1;
    t.print(joined(keys));
    if (!keys.empty() || always) {
        t.print(".");
        t.fore_colour = 0;
        t.print(caption);
    }
    t.fore_colour = 0;
    t.print_line();
}

// Only the keys, in colour 1, ending the line.
void print_key_list(Game& g, const std::vector<std::string>& keys) {
    PictureArea& t = text(g);
    t.fore_colour = 1;
    t.print(joined(keys));
    t.fore_colour = 0;
    t.print_line();
}

void print_exit_line(Game& g) {
    print_sheet_menu_line(g, " X.", " Exit.");
}

std::vector<std::string> party_keys(const Game& g, int last_slot, int except_slot) {
    std::vector<std::string> keys;
    for (int k = 0; k <= last_slot; ++k)
        if (k != except_slot && g.party[k].in_use > 0) keys.push_back(str_form(k + 1));
    return keys;
}

std::vector<std::string> spell_keys(Game& g) {
    std::vector<std::string> keys;
    const int count = static_cast<int>(sheet_spells_on_shown_level(g).size());
    for (int n = 1; n <= count && n <= 10; ++n) keys.push_back(n < 10 ? str_form(n) : " 0");
    return keys;
}

void start_choice_menu(Game& g, int y) {
    text(g).CurrentX = 0;
    text(g).CurrentY = y;
}

// ---------------------------------------------------------------------------------------
// Equip and de-equip

void de_equip(Game& g, PartyMemberRec& m, int place) {
    const int16_t j = sub_find_empty_pack_slot(g, sheet_slot(g));
    if (j < 0) return;
    const int16_t quantity = place == USE_FROM_LEFT_HAND    ? m.left_hand[1]
                             : place == USE_FROM_RIGHT_HAND ? m.right_hand[1]
                                                            : int16_t(1);
    m.pack[j] = {item_at(m, place), quantity, 1};
    if (place == USE_FROM_LEFT_HAND) m.left_hand[0] = 0;
    if (place == USE_FROM_RIGHT_HAND) m.right_hand[0] = 0;
    if (place == USE_FROM_BODY) m.body = 0;
}

// Takes one identified item from pack slot k into the hand or onto the body its kind calls
// for. What that place held goes back into the pack; a two-handed weapon sends the left
// hand's item there too. When the pack has no room for what comes back, nothing changes.
void equip_from_pack(Game& g, PartyMemberRec& m, int k) {
    auto& slot = m.pack[k];
    if (slot[PACK_IDENTIFIED] != 1 || slot[PACK_ITEM] < 1) return;
    const int16_t item = slot[PACK_ITEM];
    sub_read_item(g, item);
    const int kind = g.item_rec.kind;
    if (!sheet_class_may_use(g, m.class_id)) return;
    if (kind != ITEM_RIGHT_HAND && kind != ITEM_TWO_HANDED && kind != ITEM_BODY &&
        kind != ITEM_LEFT_HAND)
        return;
    if (kind == ITEM_LEFT_HAND && holds_two_handed(g, m)) return;

    struct Returned {
        int16_t item, quantity;
    };
    std::vector<Returned> back;
    if (kind == ITEM_BODY) {
        if (m.body > 0) back.push_back({m.body, 1});
    } else if (kind == ITEM_LEFT_HAND) {
        if (m.left_hand[0] > 0) back.push_back({m.left_hand[0], m.left_hand[1]});
    } else {
        if (m.right_hand[0] > 0) back.push_back({m.right_hand[0], m.right_hand[1]});
        if (kind == ITEM_TWO_HANDED && m.left_hand[0] > 0)
            back.push_back({m.left_hand[0], m.left_hand[1]});
    }
    // Taking the last item of the slot frees the slot for what comes back.
    const int room = free_pack_slots(m) + (slot[PACK_QUANTITY] <= 1 ? 1 : 0);
    if (room < static_cast<int>(back.size())) return;

    if (kind == ITEM_BODY) {
        m.body = item;
    } else if (kind == ITEM_LEFT_HAND) {
        m.left_hand[0] = item, m.left_hand[1] = 1;
    } else {
        m.right_hand[0] = item, m.right_hand[1] = 1;
        if (kind == ITEM_TWO_HANDED) m.left_hand[0] = 0;
    }
    remove_one(m, k);
    for (const Returned& r : back) {
        const int16_t j = sub_find_empty_pack_slot(g, sheet_slot(g));
        if (j >= 0) m.pack[j] = {r.item, r.quantity, 1};
    }
}

void equip_key(Game& g) {
    const std::string& key = g.input_line;
    PartyMemberRec& m = sheet_rec(g);
    // In a fight only the member choosing an action may change, once.
    if (sheet_in_combat(g) && key != "X" && !sheet_may_change_equipment_in_fight(g)) return;
    const PartyMemberRec before = m;
    if (key == "X") {
        g.sheet_step = SHEET_EQUIPMENT;
    } else if (key == "L" || key == "R" || key == "B") {
        const int place = occupied_place_of_key(g, key);
        if (place != USE_FROM_NOWHERE) de_equip(g, m, place);
    } else if (const int k = key_pack_slot(key); k >= 0) {
        if (m.pack[k][PACK_ITEM] > 0 && m.pack[k][PACK_IDENTIFIED] == 0)
            g.sheet_notice = "You can't equip unknown items.";
        equip_from_pack(g, m, k);
    }
    sub_tidy_pack(g, sheet_slot(g));
    const bool changed = encode(before) != encode(m);
    if (changed && sheet_in_combat(g)) {
        sub_combat_equipment_changed(g);
        g.sheet_step = SHEET_EQUIPMENT;
        g.sheet_notice = " The change takes the round: " + m.name.trimmed() + " defends.";
    }
}

// ---------------------------------------------------------------------------------------
// Give and drop

void give_to_key(Game& g) {
    const std::string& key = g.input_line;
    if (key == "D") {
        g.sheet_choice = -1;
        g.sheet_step = SHEET_GIVE_WHAT;
    } else if (const int t = key_digit(key); t >= 1 && t <= MAX_PARTY) {
        // Only a member in the party, with room in the pack, can receive.
        if (t != g.sheet_member && g.party[t - 1].in_use > 0 &&
            sub_find_empty_pack_slot(g, t - 1) >= 0) {
            g.sheet_choice = static_cast<int16_t>(t);
            g.sheet_step = SHEET_GIVE_WHAT;
        }
    }
}

void give_what_key(Game& g) {
    const int place = occupied_place_of_key(g, g.input_line);
    if (place == USE_FROM_NOWHERE) return;
    PartyMemberRec& m = sheet_rec(g);
    if (g.sheet_choice >= 1 && g.sheet_choice <= PARTY_SIZE) {
        const int r = g.sheet_choice - 1;
        // A receiver without room refuses the gift, and the giver keeps it.
        if (r == sheet_slot(g) || g.party[r].in_use <= 0) return;
        const int16_t j = sub_find_empty_pack_slot(g, r);
        if (j < 0) return;
        g.party[r].pack[j] = {item_at(m, place), 1, identified_at(m, place)};
    } else if (g.sheet_choice != -1) {
        return;
    }
    // One item goes, from a stack in the pack or in a hand alike.
    remove_one(m, place);
}

// ---------------------------------------------------------------------------------------
// Use

int party_positions_in_use(const Game& g) {
    int n = 0;
    for (int k = 0; k < SHEET_TARGET_SLOTS; ++k) n += g.party[k].in_use > 0 ? 1 : 0;
    return n;
}

void use_what_key(Game& g) {
    const int place = occupied_place_of_key(g, g.input_line);
    if (place == USE_FROM_NOWHERE) return;
    const PartyMemberRec& m = sheet_rec(g);
    sub_check_item_use(g, sheet_slot(g), item_at(m, place), identified_at(m, place));
    g.sheet_use_place = static_cast<int16_t>(place);
    g.sheet_step = SHEET_USE_ON;
    // Alone in the party, the member uses the item on itself.
    if (g.message_lines[0].empty() && party_positions_in_use(g) == 1) {
        g.sheet_target = g.sheet_member;
        g.sheet_step = SHEET_USE;
    }
}

void use_on_key(Game& g) {
    // The item cannot be used: any key goes back to the choice of item.
    if (!g.message_lines[0].empty()) {
        g.sheet_step = SHEET_USE_WHAT;
        return;
    }
    if (const int t = key_digit(g.input_line); t >= 1 && t <= SHEET_TARGET_SLOTS) {
        // An empty position is no target.
        if (g.party[t - 1].in_use <= 0) return;
        g.sheet_target = static_cast<int16_t>(t);
        g.sheet_step = SHEET_USE;
    }
}

// ---------------------------------------------------------------------------------------
// Spells

// The n-th spell (1-based) on the level shown, or 0.
int chosen_spell(Game& g, const std::string& key) {
    const int n = key_number(key);
    const std::vector<int> spells = sheet_spells_on_shown_level(g);
    return n >= 1 && n <= static_cast<int>(spells.size()) ? spells[n - 1] : 0;
}

void describe_what_key(Game& g) {
    if (const int spell = chosen_spell(g, g.input_line); spell > 0) {
        sub_read_spell(g, spell);
        g.sheet_spell = static_cast<int16_t>(spell);
        g.sheet_step = SHEET_DESCRIPTION;
    }
}

void clear_page(Game& g) {
    g.page_line = -1;
    sub_print_wrapped(g, "");
}

void cast_what_key(Game& g) {
    if (const int spell = chosen_spell(g, g.input_line); spell > 0) {
        g.sheet_spell = static_cast<int16_t>(spell);
        g.sheet_target = -1;
        g.sheet_step = SHEET_CAST_ON;
    }
}

void cast_on_key(Game& g) {
    const std::string& key = g.input_line;
    if (sheet_in_combat(g)) return;
    sub_read_spell(g, g.sheet_spell);
    const PartyMemberRec& m = sheet_rec(g);
    const bool mana = g.spell_rec.mana_cost <= m.magic_points;
    const int type = g.spell_rec.target_type;
    if (type == SPELL_TARGET_MEMBER && g.sheet_target == -1) {
        const int t = key_digit(key);
        if (t >= 1 && t <= SHEET_TARGET_SLOTS && g.party[t - 1].in_use > 0) {
            g.sheet_target = static_cast<int16_t>(t - 1);
            if (mana) g.sheet_step = SHEET_CAST;
        }
    } else if (key == "C" && mana &&
               (type == SPELL_TARGET_CASTER || type == SPELL_TARGET_MEMBER ||
                type == SPELL_TARGET_PARTY)) {
        if (type == SPELL_TARGET_CASTER) g.sheet_target = static_cast<int16_t>(sheet_slot(g));
        g.sheet_step = SHEET_CAST;
    }
}

// After a use, a description or a cast, any key goes back.
void after_use_key(Game& g) {
    g.sheet_step = SHEET_EQUIPMENT;
}
void after_description_key(Game& g) {
    g.sheet_step = SHEET_DESCRIBE_WHAT;
    clear_page(g);
}
void after_cast_key(Game& g) {
    g.sheet_step = SHEET_SPELLS;
    clear_page(g);
}

// Each command step: where X leads back to (-1: X is one of the step's own keys; on the equip
// step it tidies the pack as every equip key does) and the procedure for the other keys.
struct CommandStep {
    int step, back;
    void (*key)(Game&);
};
constexpr CommandStep COMMAND_STEPS[] = {
    {SHEET_EQUIP, -1, equip_key},
    {SHEET_GIVE_TO, SHEET_EQUIPMENT, give_to_key},
    {SHEET_GIVE_WHAT, SHEET_EQUIPMENT, give_what_key},
    {SHEET_USE_WHAT, SHEET_EQUIPMENT, use_what_key},
    {SHEET_USE_ON, SHEET_USE_WHAT, use_on_key},
    {SHEET_USE, -1, after_use_key},
    {SHEET_DESCRIBE_WHAT, SHEET_SPELLS, describe_what_key},
    {SHEET_DESCRIPTION, -1, after_description_key},
    {SHEET_CAST_WHAT, SHEET_SPELLS, cast_what_key},
    {SHEET_CAST_ON, SHEET_SPELLS, cast_on_key},
    {SHEET_CAST, -1, after_cast_key},
};

} // namespace

void sheet_command_key(Game& g) {
    const auto c = std::ranges::find(COMMAND_STEPS, g.sheet_step, &CommandStep::step);
    if (c == std::end(COMMAND_STEPS)) return;
    if (g.input_line == "X" && c->back >= 0)
        g.sheet_step = static_cast<int16_t>(c->back);
    else
        c->key(g);
}

void draw_sheet_choice_menu(Game& g) {
    const PartyMemberRec& m = sheet_rec(g);
    PictureArea& t = text(g);
    switch (g.sheet_step) {
    case SHEET_EQUIP:
        if (!g.sheet_notice.empty()) {
            t.CurrentX = 0;
            t.CurrentY = SHEET_CHOICE_Y - 2 * LINE_HEIGHT;
            t.print_line(g.sheet_notice);
        }
        start_choice_menu(g, SHEET_CHOICE_Y);
        print_choice_line(
            g,
            place_keys(m,
                       [](const auto& s) { return s[PACK_ITEM] > 0 && s[PACK_IDENTIFIED] == 1; }),
            " Equip/De-equip.", true);
        break;
    case SHEET_GIVE_TO:
        start_choice_menu(g, SHEET_GIVE_TO_Y);
        print_choice_line(g, party_keys(g, MAX_PARTY - 1, sheet_slot(g)), " Give to Who");
        print_sheet_menu_line(g, " D.", " Drop.");
        break;
    case SHEET_GIVE_WHAT:
    case SHEET_USE_WHAT:
        start_choice_menu(g, SHEET_CHOICE_Y);
        print_choice_line(g, place_keys(m, [](const auto& s) { return s[PACK_ITEM] > 0; }),
                          g.sheet_step == SHEET_USE_WHAT ? " Use What."
                          : g.sheet_choice == -1         ? " Drop What."
                                                         : " Give What.");
        break;
    case SHEET_USE_ON: {
        start_choice_menu(g, SHEET_CHOICE_Y);
        if (!g.message_lines[0].empty()) {
            sub_wait_for_any_key(g);
            t.print_line(g.message_lines[0]);
            return;
        }
        const std::vector<std::string> keys = party_keys(g, SHEET_TARGET_SLOTS - 1, -1);
        if (keys.size() < 2) {
            print_key_list(g, keys); // no caption and no Exit line
            return;
        }
        sub_read_item(g, g.sheet_choice);
        print_choice_line(g, keys, " Use " + g.item_rec.name.trimmed() + " on Who");
        break;
    }
    case SHEET_DESCRIBE_WHAT:
    case SHEET_CAST_WHAT:
        start_choice_menu(g, SHEET_CHOICE_Y);
        print_choice_line(g, spell_keys(g),
                          g.sheet_step == SHEET_CAST_WHAT ? " Cast What." : " Describe What.");
        break;
    default:
        return;
    }
    print_exit_line(g);
}

void draw_spell_description(Game& g) {
    sub_wait_for_any_key(g);
    sub_read_spell(g, g.sheet_spell);
    const std::string name = g.spell_rec.name.trimmed();
    const std::string description = g.spell_rec.description.trimmed();
    g.page_line = -1;
    sub_print_wrapped(g, " ");
    sub_print_wrapped(g, " " + name);
    sub_print_wrapped(g, " ");
    sub_print_text_block(g, description);
}

void draw_cast_screen(Game& g) {
    PictureArea& t = text(g);
    sub_read_spell(g, g.sheet_spell);
    const SpellRec spell = g.spell_rec;
    const PartyMemberRec& m = sheet_rec(g);
    t.print_line("Cast Spell:");
    t.print_line("     " + spell.name.trimmed());
    t.print_line();
    t.print_line("Target:");
    t.print("     ");
    const int type = spell.target_type;
    if (type == SPELL_TARGET_CASTER) {
        g.sheet_target = static_cast<int16_t>(sheet_slot(g));
        t.print_line("Self");
    } else if (type == SPELL_TARGET_MEMBER) {
        t.print_line(g.sheet_target >= 0 && g.sheet_target < PARTY_SIZE
                         ? g.party[g.sheet_target].name.str()
                         : "One Target");
    } else if (type == SPELL_TARGET_PARTY) {
        t.print_line("Group");
    } else {
        const bool combat_only = type >= SPELL_TARGET_NONE && type <= SPELL_TARGET_COMBAT_PARTY;
        t.print_line(combat_only ? "This is a combat only spell." : "");
    }
    t.print_line();
    const bool mana = spell.mana_cost <= m.magic_points;
    t.print_line("Mana Cost:");
    t.print("     " + str_form(spell.mana_cost));
    if (!mana) t.print("   Not enough left to cast.");
    t.print_line();
    t.print_line();
    t.print_line("Chance of Success:");
    t.print_line("     " + str_form(int64_t(spell.success_base) +
                                    int64_t(spell.success_per_level) * m.level));
    t.print_line();

    start_choice_menu(g, SHEET_CHOICE_Y);
    if (type == SPELL_TARGET_MEMBER && g.sheet_target == -1) {
        const std::vector<std::string> keys = party_keys(g, SHEET_TARGET_SLOTS - 1, -1);
        if (keys.size() > 1)
            print_choice_line(g, keys, " Cast Spell on Who");
        else
            print_key_list(g, keys);
    } else if (type == SPELL_TARGET_CASTER || type == SPELL_TARGET_PARTY) {
        // Cast, or in its place an empty line; other spells go straight on to Exit.
        if (mana)
            print_sheet_menu_line(g, " C.", " Cast.");
        else
            t.print_line();
    }
    print_exit_line(g);
}

// The start of a step that acts once per key: false when it already has (its text is shown
// again); otherwise a clear column under the member's name.
bool begin_acting_step(Game& g, int step) {
    if (!sub_begin_one_time_step(g, SCREEN_SHEET, step)) return false;
    text(g).Cls();
    text(g).fore_colour = 0;
    print_sheet_name(g);
    return true;
}

void draw_sheet_use(Game& g) {
    if (!begin_acting_step(g, SHEET_USE)) return;
    sub_use_item(g, sheet_slot(g), g.sheet_choice, g.sheet_target - 1, g.use_identified,
                 g.sheet_use_place);
    // The message area has taken the column over; the name goes back on top of its empty
    // first lines.
    print_sheet_name(g);
    sub_end_one_time_step(g, SCREEN_SHEET);
}

void draw_sheet_cast(Game& g) {
    if (!begin_acting_step(g, SHEET_CAST)) return;
    text(g).print_line();
    g.cast_spell = g.sheet_spell;
    g.cast_caster = static_cast<int16_t>(sheet_slot(g));
    g.cast_target = g.sheet_target;
    sub_cast_spell_outside_combat(g);
    g.page_line = -1;
    sub_print_text_block(g, g.cast_result);
    sub_end_one_time_step(g, SCREEN_SHEET);
}

} // namespace duskwend
