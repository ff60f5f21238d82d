#include "invariants.h"

#include "core/overlays.h"
#include "guildhall/guild_hall.h"

#include <algorithm>

namespace duskwend {

namespace {

std::string member(int k) {
    return "party member " + std::to_string(k + 1);
}

} // namespace

std::string state_problem(const Game& g) {
    for (int k = 0; k < ROSTER_SIZE; ++k) {
        const CharacterRec& c = g.roster[static_cast<std::size_t>(k)];
        if (c.in_use != 0 && c.crowns < 0)
            return "character " + std::to_string(k + 1) + " (" + c.name.trimmed() + ") has " +
                   std::to_string(c.crowns) + " crowns";
    }
    int in_use = 0;
    for (int k = 0; k < PARTY_SIZE; ++k) {
        const PartyMemberRec& m = g.party[static_cast<std::size_t>(k)];
        if (m.in_use == 0) continue;
        ++in_use;
        const std::string who = member(k) + " (" + m.name.trimmed() + ")";
        if (k >= MAX_PARTY || g.party[static_cast<std::size_t>(k - (k > 0))].in_use == 0)
            return who + " stands after an empty place";
        if (m.crowns < 0) return who + " has " + std::to_string(m.crowns) + " crowns";
        if (m.hit_points < 0 || m.max_hit_points < 0)
            return who + " has hit points " + std::to_string(m.hit_points) + " of " +
                   std::to_string(m.max_hit_points);
        if (m.hit_points > m.max_hit_points)
            return who + " has hit points " + std::to_string(m.hit_points) + " above the maximum " +
                   std::to_string(m.max_hit_points);
        if (m.magic_points < 0 || m.magic_points > m.max_magic_points)
            return who + " has magic points " + std::to_string(m.magic_points) + " of " +
                   std::to_string(m.max_magic_points);
        const auto item_ok = [&](int16_t item) { return item >= 0 && item <= g.item_count; };
        for (int s = 0; s < 11; ++s) {
            const auto& slot = m.pack[static_cast<std::size_t>(s)];
            if (!item_ok(slot[PACK_ITEM]) || slot[PACK_QUANTITY] < 0 ||
                (slot[PACK_ITEM] > 0 && slot[PACK_QUANTITY] < 1))
                return who + " carries item " + std::to_string(slot[PACK_ITEM]) + " x " +
                       std::to_string(slot[PACK_QUANTITY]) + " in pack slot " +
                       std::to_string(s + 1) + " (the item file holds " +
                       std::to_string(g.item_count) + ")";
        }
        for (const auto* hand : {&m.right_hand, &m.left_hand})
            if (!item_ok((*hand)[0]) || (*hand)[1] < 0)
                return who + " holds item " + std::to_string((*hand)[0]) + " x " +
                       std::to_string((*hand)[1]);
        if (!item_ok(m.body)) return who + " wears item " + std::to_string(m.body);
    }
    if (in_use > 7) return std::to_string(in_use) + " members in use";
    if (g.party_x < 0 || g.party_x >= MAP_SIZE || g.party_y < 0 || g.party_y >= MAP_SIZE)
        return "the party stands at (" + std::to_string(g.party_x) + ", " +
               std::to_string(g.party_y) + "), off the grid";
    if (g.party_facing < 0 || g.party_facing > 3)
        return "the party faces " + std::to_string(g.party_facing);
    const bool groups =
        std::any_of(g.monster_groups.begin(), g.monster_groups.end(),
                    [](const MonsterGroupRec& m) { return m.monster > 0 && m.count > 0; });
    // Once the last monster has fallen, the round's end and the victory are shown until the
    // next key (a sheet may be opened over them meanwhile).
    const bool fight_over = g.combat_step == COMBAT_SUMMARY || g.combat_step == COMBAT_ROUND ||
                            g.combat_step == COMBAT_VICTORY || g.combat_step == COMBAT_DEFEAT;
    if (is_on(g.combat_active) && !groups && !fight_over)
        return "a fight runs with no group to fight";
    return "";
}

namespace {

std::multiset<std::string> characters(const Game& g) {
    std::multiset<std::string> names;
    for (const auto& c : g.roster)
        if (c.in_use != 0) names.insert(c.name.trimmed());
    for (const auto& m : g.party)
        if (m.in_use != 0) names.insert(m.name.trimmed());
    return names;
}

} // namespace

void watch_before_key(const Game& g, Watch& w) {
    w.characters = characters(g);
    if (g.overlays.shown != OVERLAY_NONE) return;
    w.covering = false;
    w.slot_loaded = false;
    w.text = g.Form1.Text.runs();
    w.side_text = g.Form1.SideText.runs();
    w.picture = g.Form1.mainPic.image;
    w.picture_name = g.Form1.mainPic.picture_name;
    w.cursor_x = g.Form1.Text.CurrentX;
    w.cursor_y = g.Form1.Text.CurrentY;
}

std::string key_problem(const Game& g, Watch& w) {
    const auto& o = g.overlays;
    if (o.shown != OVERLAY_NONE) {
        w.covering = true;
        w.slot_loaded = w.slot_loaded || o.slot_loaded;
    } else if (w.covering) {
        w.covering = false;
        // A game loaded from a slot draws the screen anew; any other overlay gives it back.
        if (!w.slot_loaded) {
            if (g.Form1.Text.runs() != w.text || g.Form1.Text.CurrentX != w.cursor_x ||
                g.Form1.Text.CurrentY != w.cursor_y)
                return "closing an overlay did not give back the text it covered";
            if (g.Form1.SideText.runs() != w.side_text)
                return "an overlay changed the status panel";
            if (g.Form1.mainPic.picture_name != w.picture_name ||
                g.Form1.mainPic.image.pixels != w.picture.pixels)
                return "closing an overlay did not give back the picture it covered";
        }
    }
    // Loading a game (at the guild hall, or from a slot) brings another roster.
    const bool loading =
        (g.current_location == LOCATION_GUILD_HALL && g.location_step == GUILD_LOAD) ||
        w.slot_loaded;
    if (loading) return "";
    const auto now = characters(g);
    for (const std::string& name : w.characters)
        if (now.count(name) < w.characters.count(name))
            return "the character " + name + " vanished from the roster and the party";
    return "";
}

void note_coverage(const Game& g, Coverage& c) {
    c.locations.insert(g.current_location);
    if (g.overlays.shown != OVERLAY_NONE) c.overlays.insert(g.overlays.shown);
    if (is_on(g.combat_active)) {
        c.combat_steps.insert(g.combat_step);
        if (!c.in_fight) ++c.fights;
    }
    c.in_fight = is_on(g.combat_active);
    if (g.sheet_member >= 1) {
        c.sheet_pages.insert(g.sheet_step);
        if (!c.in_sheet) ++c.sheets;
    }
    c.in_sheet = g.sheet_member >= 1;
}

std::string coverage_text(const Coverage& c) {
    const auto list = [](const std::set<int>& s) {
        std::string t;
        for (int v : s) t += (t.empty() ? "" : ",") + std::to_string(v);
        return t;
    };
    return "locations " + list(c.locations) + ", " + std::to_string(c.fights) + " fights (steps " +
           list(c.combat_steps) + "), " + std::to_string(c.sheets) + " sheets opened (steps " +
           list(c.sheet_pages) + "), overlays " + list(c.overlays);
}

} // namespace duskwend
