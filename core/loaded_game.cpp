// A loaded save may come from anywhere: values no rule of the game can produce are brought
// back into range, each with one line on stderr naming the field, and the game goes on.
#include "core/datafiles.h"
#include "core/file_access.h"
#include "core/game.h"
#include "core/rules.h"

#include <algorithm>
#include <string>

namespace duskwend {

namespace {

// The characters of a name the record keeps.
constexpr int NAME_LENGTH = 20;
// Past this many lines, the rest of a badly damaged save is counted, not listed.
constexpr int LINES_SHOWN = 12;

class Mender {
  public:
    explicit Mender(const Game& g) : items_(g.data_files.item.is_open() ? g.item_count : -1) {}
    ~Mender() {
        if (changes_ > LINES_SHOWN)
            report_file_problem("and " + std::to_string(changes_ - LINES_SHOWN) +
                                " more values out of range in the saved game");
    }

    // Brings `value` into [low, high].
    template <class T>
    void clamp(const std::string& who, const char* field, T& value, int64_t low, int64_t high) {
        if (value >= low && value <= high) return;
        const T was = value;
        value = static_cast<T>(std::clamp<int64_t>(value, low, high));
        note(who + ": " + field + " " + std::to_string(was) + " out of range; set to " +
             std::to_string(value));
    }

    // An item and its quantity: an item the world does not have is dropped, and a held item
    // counts at least one.
    void item(const std::string& who, const std::string& field, int16_t& item, int16_t* quantity) {
        if (items_ >= 0 && (item < 0 || item > items_)) {
            note(who + ": " + field + " item " + std::to_string(item) +
                 " is not in the item file; dropped");
            item = 0;
            if (quantity) *quantity = 0;
        }
        if (quantity && item > 0)
            clamp(who, (field + " quantity").c_str(), *quantity, 1, INT16_MAX);
    }

    template <class Rec> void common(const std::string& who, Rec& c) {
        if (c.in_use < 0) {
            // in_use holds the length of the name typed: a character with a name stays, one
            // without is no one.
            const int length = static_cast<int>(c.name.trimmed().size());
            const int16_t was = c.in_use;
            c.in_use = static_cast<int16_t>(std::min(length, NAME_LENGTH));
            note(who + ": in_use " + std::to_string(was) + " out of range; set to " +
                 std::to_string(c.in_use));
        }
        if (c.in_use == 0) return;
        clamp(who, "experience", c.experience, 0, INT32_MAX);
        clamp(who, "crowns", c.crowns, 0, INT32_MAX);
        clamp(who, "max_hit_points", c.max_hit_points, 0, INT16_MAX);
        clamp(who, "hit_points", c.hit_points, 0, c.max_hit_points);
        clamp(who, "max_magic_points", c.max_magic_points, 0, INT16_MAX);
        clamp(who, "magic_points", c.magic_points, 0, c.max_magic_points);
        for (std::size_t s = 0; s < c.pack.size(); ++s)
            item(who, "pack slot " + std::to_string(s + 1), c.pack[s][PACK_ITEM],
                 &c.pack[s][PACK_QUANTITY]);
        item(who, "right hand", c.right_hand[0], nullptr);
        item(who, "left hand", c.left_hand[0], nullptr);
        item(who, "body", c.body, nullptr);
    }

    void note(const std::string& line) {
        if (++changes_ <= LINES_SHOWN) report_file_problem(line);
    }

  private:
    int items_;
    int changes_ = 0;
};

std::string name_of(const FixedText<20>& name) {
    return " (" + name.trimmed() + ")";
}

} // namespace

void sub_check_loaded_game(Game& g) {
    Mender m(g);
    for (std::size_t k = 0; k < g.roster.size(); ++k)
        m.common(std::string(ROSTER_SAVE_FILE) + ": character " + std::to_string(k + 1) +
                     name_of(g.roster[k].name),
                 g.roster[k]);
    for (std::size_t k = 0; k < g.party.size(); ++k)
        m.common(std::string(PARTY_SAVE_FILE) + ": party member " + std::to_string(k + 1) +
                     name_of(g.party[k].name),
                 g.party[k]);
    // The eighth place of the party table is never filled, and the members stand together.
    if (g.party[MAX_PARTY].in_use != 0) {
        m.note(std::string(PARTY_SAVE_FILE) + ": party place 8 is in use; emptied");
        g.party[MAX_PARTY] = PartyMemberRec{};
    }
    bool gap = false;
    for (int k = 1; k < MAX_PARTY; ++k)
        gap = gap || (g.party[k].in_use > 0 && g.party[k - 1].in_use == 0);
    if (gap) {
        m.note(std::string(PARTY_SAVE_FILE) + ": the party has empty places between members; "
                                              "closed up");
        sub_compact_party(g);
    }
}

} // namespace duskwend
