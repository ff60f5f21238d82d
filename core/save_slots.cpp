#include "core/save_slots.h"

#include "core/datafiles.h"
#include "core/dispatch.h"
#include "core/file_access.h"
#include "core/game.h"
#include "core/map_names.h"
#include "core/output.h"
#include "core/overlays.h"
#include "core/rules.h"

#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <map>

namespace duskwend {

namespace fs = std::filesystem;

namespace {

// A slot file: a first line "duskwend-slot 1", "saved <seconds>", "map <n>", then each part as
// a line "<file name> <length>", its bytes and a line break, then "check <FNV-1a of all bytes
// before this line, 16 hex digits>" and "end".
constexpr const char* SLOT_HEADER = "duskwend-slot 1";
const char* const SLOT_PARTS[] = {ROSTER_SAVE_FILE, PARTY_SAVE_FILE, FLAGS_SAVE_FILE, AUTOMAP_FILE};
constexpr std::size_t SAVE_PARTS = 3; // the automap may be absent

struct SlotFile {
    int64_t saved_at = 0;
    int16_t map = 0;
    std::map<std::string, std::string> parts; // file name -> bytes
};

uint64_t fnv1a(const std::string& bytes) {
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h;
}

std::string check_line(const std::string& body) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "check %016" PRIx64 "\n", fnv1a(body));
    return buffer;
}

std::string slot_text(const SlotFile& s) {
    std::string t = std::string(SLOT_HEADER) + "\n";
    t += "saved " + std::to_string(s.saved_at) + "\nmap " + std::to_string(s.map) + "\n";
    for (const char* name : SLOT_PARTS) {
        const auto it = s.parts.find(name);
        const std::string& bytes = it == s.parts.end() ? std::string() : it->second;
        t += std::string(name) + " " + std::to_string(bytes.size()) + "\n" + bytes + "\n";
    }
    return t + check_line(t) + "end\n";
}

// The line starting at `at`, without its line break; moves `at` past it. Nothing when no line
// break follows.
std::optional<std::string> next_line(const std::string& text, std::size_t& at) {
    const auto end = text.find('\n', at);
    if (end == std::string::npos || end - at > 200) return std::nullopt;
    std::string line = text.substr(at, end - at);
    at = end + 1;
    return line;
}

// Reads the number after "<word> " in a line; nothing for any other line.
std::optional<int64_t> number_after(const std::optional<std::string>& line,
                                    const std::string& word) {
    if (!line || line->rfind(word + " ", 0) != 0) return std::nullopt;
    const std::string digits = line->substr(word.size() + 1);
    if (digits.empty() || digits.size() > 18 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoll(digits);
}

// A slot file read and checked whole; nothing when any part of it is off.
std::optional<SlotFile> parse_slot(const std::string& text) {
    SlotFile s;
    std::size_t at = 0;
    if (next_line(text, at) != SLOT_HEADER) return std::nullopt;
    const auto saved = number_after(next_line(text, at), "saved");
    const auto map = number_after(next_line(text, at), "map");
    if (!saved || !map || *map > 32767) return std::nullopt;
    s.saved_at = *saved;
    s.map = static_cast<int16_t>(*map);
    for (const char* name : SLOT_PARTS) {
        const auto length = number_after(next_line(text, at), name);
        if (!length || uint64_t(*length) > text.size() - at || text.size() - at - *length < 1 ||
            text[at + *length] != '\n')
            return std::nullopt;
        s.parts[name] = text.substr(at, *length);
        at += *length + 1;
    }
    const std::string check = check_line(text.substr(0, at));
    if (next_line(text, at) != check.substr(0, check.size() - 1) || next_line(text, at) != "end" ||
        at != text.size())
        return std::nullopt;
    for (std::size_t k = 0; k < SAVE_PARTS; ++k)
        if (s.parts[SLOT_PARTS[k]].empty()) return std::nullopt;
    return s;
}

// A whole regular file of at most `max_bytes`; nothing when it is missing or unusable (said on
// stderr when it is there).
std::optional<std::string> read_whole(const fs::path& file, std::size_t max_bytes) {
    FileRead r = read_regular_file(file, max_bytes);
    if (!r.message.empty()) report_file_problem(r.message);
    if (!r.is_ok()) return std::nullopt;
    return std::move(r.bytes);
}

// The largest part of a slot, and the largest slot file: the three save files, the automap and
// the slot's own lines.
std::size_t part_limit(const Game& g, std::size_t k) {
    const std::size_t limits[] = {
        std::size_t(ROSTER_SIZE) * ROSTER_SLOT, std::size_t(PARTY_SIZE) * PARTY_SLOT,
        std::size_t(GAME_FLAG_COUNT) * FLAG_SLOT,
        automap_size_limit(g.data_files.map_count > 0 ? g.data_files.map_count : MAX_MAPS)};
    return limits[k];
}
std::size_t slot_limit(const Game& g) {
    std::size_t total = 1024;
    for (std::size_t k = 0; k < std::size(SLOT_PARTS); ++k) total += part_limit(g, k);
    return total;
}

// Writes a slot file, in the slots folder only when that is a folder of the save folder's own
// (not a link carrying the write elsewhere).
bool write_slot_file(const fs::path& file, const std::string& text) {
    return make_own_folder(file.parent_path()) && write_atomically(file, text);
}

fs::path slot_path(const Game& g, const std::string& slot) {
    return g.data_files.save_folder() / SLOTS_FOLDER / slot;
}

// The current saved game as a slot (the time now); nothing when there is none. An old save
// kept in the Data folder counts, as it does for loading.
std::optional<SlotFile> current_saved_game(Game& g) {
    sub_finish_interrupted_save(g);
    const DataFiles& d = g.data_files;
    std::error_code none;
    const fs::path from =
        fs::exists(d.save_folder() / ROSTER_SAVE_FILE, none) ? d.save_folder() : d.dir;
    SlotFile s;
    s.saved_at = static_cast<int64_t>(std::time(nullptr));
    s.map = g.map_level;
    for (std::size_t k = 0; k < SAVE_PARTS; ++k) {
        auto bytes = read_whole(from / SLOT_PARTS[k], part_limit(g, k));
        if (!bytes || bytes->empty()) return std::nullopt;
        s.parts[SLOT_PARTS[k]] = std::move(*bytes);
    }
    s.parts[AUTOMAP_FILE] =
        read_whole(d.save_folder() / AUTOMAP_FILE, part_limit(g, SAVE_PARTS)).value_or("");
    return s;
}

bool same_game(const SlotFile& a, const SlotFile& b) {
    return a.parts == b.parts;
}

std::optional<SlotFile> read_slot(const Game& g, const std::string& slot) {
    const auto text = read_whole(slot_path(g, slot), slot_limit(g));
    if (!text) return std::nullopt;
    return parse_slot(*text);
}

} // namespace

std::string slot_name(int number) {
    return std::to_string(number);
}

std::string auto_slot_name(int number) {
    return "auto" + std::to_string(number);
}

SlotSummary sub_read_slot_summary(const Game& g, const std::string& slot) {
    SlotSummary summary;
    std::error_code ec;
    if (!fs::exists(slot_path(g, slot), ec)) return summary;
    summary.state = SlotSummary::damaged;
    const auto s = read_slot(g, slot);
    if (!s) return summary;
    const std::string& party = s->parts.at(PARTY_SAVE_FILE);
    for (int m = 0; m < PARTY_SIZE; ++m) {
        const std::size_t at = std::size_t(m) * PARTY_SLOT;
        if (at + PartyMemberRec::disk_size > party.size()) return summary;
        const auto* bytes = reinterpret_cast<const uint8_t*>(party.data()) + at;
        const auto member =
            decode<PartyMemberRec>(std::span<const uint8_t>(bytes, PartyMemberRec::disk_size));
        if (member.in_use > 0) summary.members.emplace_back(member.name.trimmed(), member.level);
    }
    summary.state = SlotSummary::sound;
    summary.saved_at = s->saved_at;
    summary.map = s->map;
    return summary;
}

SlotResult sub_keep_saved_game(Game& g, const std::string& slot) {
    const auto current = current_saved_game(g);
    if (!current) return SlotResult::no_saved_game;
    return write_slot_file(slot_path(g, slot), slot_text(*current)) ? SlotResult::done
                                                                    : SlotResult::failed;
}

void sub_keep_automatic_slot(Game& g) {
    const auto current = current_saved_game(g);
    if (!current) return;
    const auto newest = read_slot(g, auto_slot_name(1));
    if (newest && same_game(*newest, *current)) return;
    if (!make_own_folder(slot_path(g, auto_slot_name(1)).parent_path())) return;
    std::error_code ec;
    for (int k = AUTO_SLOT_COUNT - 1; k >= 1; --k)
        if (fs::exists(slot_path(g, auto_slot_name(k)), ec))
            fs::rename(slot_path(g, auto_slot_name(k)), slot_path(g, auto_slot_name(k + 1)), ec);
    write_slot_file(slot_path(g, auto_slot_name(1)), slot_text(*current));
}

SlotResult sub_restore_slot(Game& g, const std::string& slot) {
    std::error_code ec;
    if (!fs::exists(slot_path(g, slot), ec)) return SlotResult::empty;
    const auto s = read_slot(g, slot);
    if (!s) return SlotResult::damaged;

    // The slot's files are read as a saved game from a folder of their own: the same checks
    // and the same reading as a load, and nothing changes when they fail.
    const fs::path save_dir = g.data_files.save_dir;
    const fs::path scratch = g.data_files.save_folder() / SLOTS_FOLDER / ".restore";
    fs::remove_all(scratch, ec);
    bool written = make_own_folder(scratch.parent_path()) && make_own_folder(scratch);
    for (const auto& [name, bytes] : s->parts)
        written = written && (bytes.empty() || write_atomically(scratch / name, bytes));
    if (!written) {
        fs::remove_all(scratch, ec);
        return SlotResult::failed;
    }
    const auto roster = g.roster;
    const auto party = g.party;
    const auto flags = g.game_flags;
    const auto automap = g.overlays.automap;
    g.data_files.save_dir = scratch;
    const bool read = read_save_files(g);
    if (read) sub_load_automap(g);
    g.data_files.save_dir = save_dir;
    fs::remove_all(scratch, ec);
    if (!read) return SlotResult::damaged;

    // The game that is replaced stays among the automatic slots.
    sub_keep_automatic_slot(g);
    if (!write_save_files(g) || !sub_save_automap(g)) {
        g.roster = roster, g.party = party, g.game_flags = flags, g.overlays.automap = automap;
        return SlotResult::failed;
    }
    // Loaded as the guild hall loads a game.
    read_save_files(g);
    sub_load_automap(g);
    return SlotResult::done;
}

// ---------------------------------------------------------------------------------------
// The overlay

namespace {

// The slot a key names: 1..9 for the digits, auto1..auto3 for A..C (loading only).
std::string slot_of_key(int16_t key_code, bool automatic_too) {
    if (key_code >= '1' && key_code <= '9') return slot_name(key_code - '0');
    if (automatic_too && key_code >= 'A' && key_code < 'A' + AUTO_SLOT_COUNT)
        return auto_slot_name(key_code - 'A' + 1);
    return "";
}

std::string slot_label(const std::string& slot) {
    return slot.rfind("auto", 0) == 0 ? std::string(1, char('A' + slot[4] - '1')) : slot;
}

std::string result_text(SlotResult r, bool keeping, const std::string& slot) {
    const std::string name = "Slot " + slot_label(slot);
    switch (r) {
    case SlotResult::done:
        return keeping ? name + " now holds the saved game." : name + " loaded: Game Loaded.";
    case SlotResult::no_saved_game:
        return "There is no saved game to keep.";
    case SlotResult::empty:
        return name + " is empty.";
    case SlotResult::damaged:
        return name + " is damaged; nothing changed.";
    default:
        return keeping ? name + " could not be written." : "The game could not be saved.";
    }
}

std::string time_text(int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%d %b %H:%M", &local);
    return buffer;
}

// Names and levels, cut with "..." where the column ends.
std::string members_text(const PictureArea& t, const SlotSummary& s, int width) {
    if (s.members.empty()) return "no one in the party";
    std::string text;
    for (const auto& [name, level] : s.members) {
        const std::string next = (text.empty() ? "" : ", ") + name + " " + std::to_string(level);
        if (t.TextWidth(text + next) > width) return text + " ...";
        text += next;
    }
    return text;
}

void print_slot(Game& g, const std::string& key, const std::string& slot) {
    PictureArea& t = g.Form1.Text;
    const SlotSummary s = sub_read_slot_summary(g, slot);
    std::string first = slot.rfind("auto", 0) == 0 ? "auto  " : "", second;
    if (s.state == SlotSummary::empty) {
        first += "empty";
    } else if (s.state == SlotSummary::damaged) {
        first += "damaged";
    } else {
        first += time_text(s.saved_at);
        if (s.map > 0) {
            const std::string name = read_map_name(g.data_files.dir, s.map);
            first += "   " + (name.empty() ? "Map " + std::to_string(s.map) : name);
            while (t.TextWidth(first) > t.width - 30) first.pop_back();
        }
        second = members_text(t, s, t.width - 30);
    }
    print_menu_line(g, key, first);
    t.CurrentX = 25;
    t.print_line(second);
}

} // namespace

bool sub_save_slots_key(Game& g, int16_t key_code) {
    auto& o = g.overlays;
    if (key_code == 'X') return true;
    if (key_code == 'S' || key_code == 'L') {
        o.slot_command = key_code;
        o.slot_status = key_code == 'S' ? "Keep the saved game in which slot (1 - 9)?"
                                        : "Load which slot (1 - 9, or A - C)?";
        return false;
    }
    const std::string slot = slot_of_key(key_code, o.slot_command == 'L');
    if (slot.empty() || o.slot_command == 0) return false;
    const bool keeping = o.slot_command == 'S';
    const SlotResult r = keeping ? sub_keep_saved_game(g, slot) : sub_restore_slot(g, slot);
    if (!keeping && r == SlotResult::done) {
        o.slot_loaded = true;
        sub_update_party_stats(g);
        sub_display_char_status(g);
    }
    o.slot_status = result_text(r, keeping, slot);
    o.slot_command = 0;
    return false;
}

void sub_draw_save_slots(Game& g) {
    PictureArea& t = g.Form1.Text;
    t.Cls();
    t.CurrentX = 0;
    t.CurrentY = 0;
    t.bold = true;
    t.print_line("Save Slots   (S keep, L load, X close)");
    t.bold = false;
    t.print_line(g.overlays.slot_status.empty() ? "S or L, then the slot's key."
                                                : g.overlays.slot_status);
    for (int k = 1; k <= SLOT_COUNT; ++k)
        print_slot(g, " " + std::to_string(k) + ".", slot_name(k));
    for (int k = 1; k <= AUTO_SLOT_COUNT; ++k)
        print_slot(g, " " + std::string(1, char('A' + k - 1)) + ".", auto_slot_name(k));
}

} // namespace duskwend
