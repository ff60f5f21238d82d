#include "core/datafiles.h"

#include "core/file_access.h"
#include "core/game.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace duskwend {

namespace fs = std::filesystem;

void OpenDataFile::open(const fs::path& path, long slot_length, std::size_t max_bytes) {
    path_ = path;
    slot_length_ = slot_length;
    // The world files do not change while the game runs: read whole once, every fetch after
    // that is a copy from memory instead of a seek and a read.
    FileRead r = read_regular_file(path, max_bytes);
    if (r.status == FileRead::missing)
        throw DataError("Cannot open the data file " + path.string() + ": " +
                        std::strerror(ENOENT));
    if (!r.is_ok()) throw DataError("The data file " + r.message);
    bytes_.assign(r.bytes.begin(), r.bytes.end());
    size_ = static_cast<long>(bytes_.size());
    open_ = true;
}

void OpenDataFile::read_slot(int64_t slot, uint8_t* out, std::size_t length) {
    std::memset(out, 0, length);
    if (!open_ || slot < 1) return;
    const int64_t offset = (slot - 1) * slot_length_;
    if (offset >= static_cast<int64_t>(bytes_.size())) return;
    // A record the file ends inside keeps the rest zero.
    const std::size_t got = std::min(length, bytes_.size() - static_cast<std::size_t>(offset));
    std::memcpy(out, bytes_.data() + offset, got);
}

namespace {

template <class Rec> Rec fetch(OpenDataFile& f, int64_t slot) {
    std::vector<uint8_t> bytes(Rec::disk_size);
    f.read_slot(slot, bytes.data(), bytes.size());
    return decode<Rec>(bytes);
}

// The header of a world file, read alone: its count tells how large the file may be.
template <class Rec> Rec read_header(const fs::path& path) {
    const FileRead r = read_file_part(path, 0, Rec::disk_size);
    if (r.status == FileRead::missing)
        throw DataError("Cannot open the data file " + path.string() + ": " +
                        std::strerror(ENOENT));
    if (!r.is_ok()) throw DataError("The data file " + r.message);
    return decode<Rec>(std::span(reinterpret_cast<const uint8_t*>(r.bytes.data()), r.bytes.size()));
}

// Opens a world file and checks that it holds its header and every entry the header counts,
// and nothing past the slots of those entries.
template <class Rec>
Rec open_with_header(DataFiles& files, OpenDataFile& f, const char* name, long slot_length) {
    const fs::path path = files.path_of(name);
    const Rec counted = read_header<Rec>(path);
    if (counted.number < 0)
        throw DataError("The data file " + path.string() + " has a negative entry count (" +
                        std::to_string(counted.number) + ")");
    const uint64_t most = (uint64_t(counted.number) + 1) * uint64_t(slot_length);
    f.open(path, slot_length, static_cast<std::size_t>(most));
    if (f.size() < static_cast<long>(Rec::disk_size))
        throw DataError("The data file " + f.path().string() +
                        " is too short to hold its header (" + std::to_string(f.size()) +
                        " bytes)");
    Rec header = fetch<Rec>(f, 1);
    const int64_t needed = int64_t(header.number) * slot_length + int64_t(Rec::disk_size);
    if (f.size() < needed)
        throw DataError("The data file " + f.path().string() +
                        " is shorter than its header says: " + std::to_string(header.number) +
                        " entries need " + std::to_string(needed) + " bytes, the file has " +
                        std::to_string(f.size()));
    return header;
}

// Map n of Maps.dat, read alone (one seek and one read); a map the file does not hold reads as
// all zeros.
MapRec read_map(const DataFiles& d, int n) {
    const fs::path path = d.path_of(MAP_FILE);
    // Below map 1 there is no slot: the same all-zero record as past the file's end.
    const uint64_t at = n < 1 ? UINT64_MAX : uint64_t(n - 1) * MAP_SLOT;
    const FileRead r = read_file_part(path, at, MapRec::disk_size);
    if (r.status == FileRead::missing)
        throw DataError("Cannot open the data file " + path.string() + ": " +
                        std::strerror(ENOENT));
    if (!r.is_ok()) throw DataError("The data file " + r.message);
    return decode<MapRec>(
        std::span(reinterpret_cast<const uint8_t*>(r.bytes.data()), r.bytes.size()));
}

} // namespace

void sub_open_data_files(Game& g) {
    DataFiles& d = g.data_files;
    std::error_code ec;
    if (!fs::is_directory(d.dir, ec)) {
        if (ec && ec != std::errc::no_such_file_or_directory)
            throw DataError("Cannot open the Data folder " + d.dir.string() + ": " + ec.message());
        throw DataError("The Data folder " + d.dir.string() + " does not exist");
    }

    g.item_rec = open_with_header<ItemRec>(d, d.item, ITEM_FILE, ITEM_SLOT);
    g.item_count = g.item_rec.number;
    g.monster_rec = open_with_header<MonsterRec>(d, d.monster, MONSTER_FILE, MONSTER_SLOT);
    g.shop_rec = open_with_header<ShopRec>(d, d.shop, SHOP_FILE, SHOP_SLOT);
    g.shop_count = g.shop_rec.number;
    g.spell_rec = open_with_header<SpellRec>(d, d.spell, SPELL_FILE, SPELL_SLOT);
    g.spell_count = g.spell_rec.number;
    g.spell_progression_rec = open_with_header<SpellProgressionRec>(
        d, d.spell_progression, SPELL_PROGRESSION_FILE, SPELL_PROGRESSION_SLOT);
    g.spell_progression_count = g.spell_progression_rec.number;

    // Maps.dat is not held open: each map is read alone when the party enters it. Its size
    // gives the number of maps the world has, at most the largest map number a record holds.
    uint64_t size = 0;
    const FileRead first = read_file_part(d.path_of(MAP_FILE), 0, MapRec::disk_size, &size);
    if (first.status == FileRead::missing)
        throw DataError("Cannot open the data file " + d.path_of(MAP_FILE).string() + ": " +
                        std::strerror(ENOENT));
    if (!first.is_ok()) throw DataError("The data file " + first.message);
    if (size < MapRec::disk_size)
        throw DataError("The data file " + d.path_of(MAP_FILE).string() + " does not hold map 1 (" +
                        std::to_string(size) + " bytes)");
    if (size > uint64_t(MAX_MAPS) * MAP_SLOT)
        throw DataError("The data file " + d.path_of(MAP_FILE).string() +
                        " is larger than its format allows (" + std::to_string(size) +
                        " bytes, at most " + std::to_string(uint64_t(MAX_MAPS) * MAP_SLOT) + ")");
    d.map_count = static_cast<int>((size + MAP_SLOT - 1) / MAP_SLOT);
    g.map_rec = read_map(d, 1);

    // A save cut short by the end of the last run is finished or discarded now.
    sub_finish_interrupted_save(g);
}

// Entry numbers are 32-bit; the slot is computed in 64 bits so n + 1 never overflows.
void sub_read_item(Game& g, int32_t n) {
    g.item_rec = fetch<ItemRec>(g.data_files.item, int64_t(n) + 1);
}
void sub_read_monster(Game& g, int32_t n) {
    g.monster_rec = fetch<MonsterRec>(g.data_files.monster, int64_t(n) + 1);
}
void sub_read_shop(Game& g, int32_t n) {
    g.shop_rec = fetch<ShopRec>(g.data_files.shop, int64_t(n) + 1);
}
void sub_read_spell(Game& g, int32_t n) {
    g.spell_rec = fetch<SpellRec>(g.data_files.spell, int64_t(n) + 1);
}
bool item_exists(const Game& g, int n) {
    return n >= 1 && n <= g.item_count;
}
bool spell_exists(const Game& g, int n) {
    return n >= 1 && n <= g.spell_count;
}

void sub_read_spell_progression(Game& g, int32_t n) {
    g.spell_progression_rec =
        fetch<SpellProgressionRec>(g.data_files.spell_progression, int64_t(n) + 1);
}

void sub_load_map(Game& g, int n) {
    g.map_rec = read_map(g.data_files, n);
    g.map_level = static_cast<int16_t>(n);
}

// ---------------------------------------------------------------------------------------
// Save files

namespace {

struct SaveImage {
    std::vector<uint8_t> roster, party, flags;
};

void put_slot(std::vector<uint8_t>& file, const std::vector<uint8_t>& record, long slot_length) {
    const std::size_t start = file.size();
    file.insert(file.end(), record.begin(), record.end());
    file.resize(start + static_cast<std::size_t>(slot_length), 0);
}

SaveImage save_image(const Game& g) {
    SaveImage s;
    for (const auto& c : g.roster) put_slot(s.roster, encode(c), ROSTER_SLOT);
    for (const auto& m : g.party) put_slot(s.party, encode(m), PARTY_SLOT);
    for (int16_t f : g.game_flags)
        put_slot(s.flags, {uint8_t(uint16_t(f) & 0xFF), uint8_t(uint16_t(f) >> 8)}, FLAG_SLOT);
    return s;
}

bool fault(const DataFiles& d, SaveStep step, const std::string& file) {
    return d.save_fault && d.save_fault(step, file);
}

// Writes and flushes a whole file, new in the save folder; false when any step fails.
bool write_file(const DataFiles& d, const std::string& name, const std::vector<uint8_t>& bytes) {
    if (fault(d, SaveStep::write, name)) return false;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return write_new_file(d.save_folder() / name, text) && !fault(d, SaveStep::flush, name);
}

bool rename_file(const DataFiles& d, const std::string& from, const std::string& to) {
    if (fault(d, SaveStep::rename, from)) return false;
    std::error_code ec;
    fs::rename(d.save_folder() / from, d.save_folder() / to, ec);
    return !ec;
}

// Makes the renames in the folder last through a power cut.
void flush_folder(const DataFiles& d) {
    const int fd = ::open(d.save_folder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// A whole save file of at most `max_bytes`, or nothing when it is missing or cannot be read (a
// folder or a pipe in its place, a read error, a file larger than its slots); a file that is
// there but unusable is reported on stderr. `folder` is the save folder unless said otherwise.
std::optional<std::vector<uint8_t>> read_file(const DataFiles& d, const std::string& name,
                                              std::size_t max_bytes, const fs::path& folder = {}) {
    const FileRead r =
        read_regular_file((folder.empty() ? d.save_folder() : folder) / name, max_bytes);
    if (!r.message.empty()) report_file_problem(r.message);
    if (!r.is_ok() || fault(d, SaveStep::read, name)) return std::nullopt;
    return std::vector<uint8_t>(r.bytes.begin(), r.bytes.end());
}

const char* const SAVE_FILES[] = {ROSTER_SAVE_FILE, PARTY_SAVE_FILE, FLAGS_SAVE_FILE};

std::string beside(const std::string& name) {
    return name + ".new";
}

// The commit file's whole text: a commit file that reads otherwise was never completed.
std::vector<uint8_t> commit_text() {
    std::string t = "duskwend save commit\n";
    for (const char* name : SAVE_FILES) t += std::string(name) + "\n";
    t += "end\n";
    return {t.begin(), t.end()};
}

// A save file holds `count` slots; the last one needs only its record's bytes.
bool holds_slots(const std::vector<uint8_t>& bytes, int count, long slot_length,
                 std::size_t record) {
    return bytes.size() >= std::size_t(count - 1) * std::size_t(slot_length) + record;
}

std::span<const uint8_t> slot_bytes(const std::vector<uint8_t>& bytes, int slot, long slot_length,
                                    std::size_t record) {
    return std::span<const uint8_t>(bytes).subspan(std::size_t(slot) * std::size_t(slot_length),
                                                   record);
}

} // namespace

namespace {

// Removes what an unfinished save left, where there is any: a load on a read-only disk with
// nothing left over writes nothing.
void remove_leftovers(const DataFiles& d, bool commit_too) {
    std::vector<std::string> names;
    for (const char* name : SAVE_FILES) names.push_back(beside(name));
    names.push_back(beside(SAVE_COMMIT_FILE));
    if (commit_too) names.push_back(SAVE_COMMIT_FILE);
    for (const std::string& name : names)
        if (name_taken(d.save_folder() / name)) ::unlink((d.save_folder() / name).c_str());
}

// A commit file that is not a regular file (a link, even one leading nowhere, a folder, a pipe)
// was never written by a save: it is moved aside, so that it blocks neither loads nor saves.
void set_commit_aside(const DataFiles& d) {
    const fs::path commit = d.save_folder() / SAVE_COMMIT_FILE;
    const fs::path aside = d.save_folder() / (std::string(SAVE_COMMIT_FILE) + ".bad");
    std::error_code ec;
    if (name_taken(aside)) fs::remove_all(aside, ec);
    fs::rename(commit, aside, ec);
    report_file_problem(commit.string() + " is not a regular file; it is ignored" +
                        (ec ? " (it could not be moved aside: " + ec.message() + ")"
                            : " and moved aside to " + aside.filename().string()));
}

} // namespace

bool sub_finish_interrupted_save(Game& g) {
    const DataFiles& d = g.data_files;
    const fs::path commit_path = d.save_folder() / SAVE_COMMIT_FILE;
    struct stat st {};
    if (::lstat(commit_path.c_str(), &st) != 0) {
        remove_leftovers(d, false);
        return true;
    }
    if (!S_ISREG(st.st_mode)) {
        set_commit_aside(d);
        remove_leftovers(d, false);
        return true;
    }
    // A commit file that is there but cannot be read may be a complete one: nothing is touched.
    // One larger than a commit's text was never completed.
    const std::vector<uint8_t> complete = commit_text();
    const FileRead commit = read_regular_file(commit_path, complete.size());
    if (fault(d, SaveStep::read, SAVE_COMMIT_FILE) ||
        (!commit.is_ok() && commit.status != FileRead::too_large))
        return false;
    if (commit.is_ok() &&
        std::equal(commit.bytes.begin(), commit.bytes.end(), complete.begin(), complete.end())) {
        // The save was made: the files still beside their targets replace them.
        for (const char* name : SAVE_FILES)
            if (name_taken(d.save_folder() / beside(name)) && !rename_file(d, beside(name), name))
                return false;
        flush_folder(d);
        remove_leftovers(d, true);
        return !name_taken(commit_path);
    }
    // No complete commit: whatever lies beside belongs to a save that was never made.
    remove_leftovers(d, true);
    return true;
}

bool write_save_files(Game& g) {
    const SaveImage image = save_image(g);
    const DataFiles& d = g.data_files;
    // A save left half-done by an earlier run is settled before this one begins.
    if (!sub_finish_interrupted_save(g)) return false;

    const std::vector<uint8_t>* bytes[] = {&image.roster, &image.party, &image.flags};
    bool written = true;
    for (int k = 0; k < 3 && written; ++k)
        written = write_file(d, beside(SAVE_FILES[k]), *bytes[k]);
    written = written && write_file(d, beside(SAVE_COMMIT_FILE), commit_text()) &&
              rename_file(d, beside(SAVE_COMMIT_FILE), SAVE_COMMIT_FILE);
    if (!written) {
        std::error_code ec;
        for (const char* name : SAVE_FILES) fs::remove(d.save_folder() / beside(name), ec);
        fs::remove(d.save_folder() / beside(SAVE_COMMIT_FILE), ec);
        return false;
    }
    flush_folder(d);
    // The save is made; when a rename fails now, the next start or load finishes it.
    sub_finish_interrupted_save(g);
    return true;
}

bool read_save_files(Game& g) {
    const DataFiles& d = g.data_files;
    if (!sub_finish_interrupted_save(g)) return false;
    // A save folder without a save reads the old one kept in the Data folder.
    std::error_code none;
    const fs::path from =
        fs::exists(d.save_folder() / ROSTER_SAVE_FILE, none) ? d.save_folder() : d.dir;
    auto roster = read_file(d, ROSTER_SAVE_FILE, std::size_t(ROSTER_SIZE) * ROSTER_SLOT, from);
    auto party = read_file(d, PARTY_SAVE_FILE, std::size_t(PARTY_SIZE) * PARTY_SLOT, from);
    auto flags = read_file(d, FLAGS_SAVE_FILE, std::size_t(GAME_FLAG_COUNT) * FLAG_SLOT, from);
    if (!roster || !party || !flags ||
        !holds_slots(*roster, ROSTER_SIZE, ROSTER_SLOT, CharacterRec::disk_size) ||
        !holds_slots(*party, PARTY_SIZE, PARTY_SLOT, PartyMemberRec::disk_size) ||
        !holds_slots(*flags, GAME_FLAG_COUNT, FLAG_SLOT, 2))
        return false;

    for (int i = 0; i < ROSTER_SIZE; ++i)
        g.roster[i] =
            decode<CharacterRec>(slot_bytes(*roster, i, ROSTER_SLOT, CharacterRec::disk_size));
    for (int i = 0; i < PARTY_SIZE; ++i)
        g.party[i] =
            decode<PartyMemberRec>(slot_bytes(*party, i, PARTY_SLOT, PartyMemberRec::disk_size));
    for (int i = 0; i < GAME_FLAG_COUNT; ++i) {
        auto b = slot_bytes(*flags, i, FLAG_SLOT, 2);
        g.game_flags[i] = static_cast<int16_t>(b[0] | (b[1] << 8));
    }
    sub_check_loaded_game(g);
    return true;
}

} // namespace duskwend
