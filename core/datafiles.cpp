#include "core/datafiles.h"

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

void OpenDataFile::open(const fs::path& path, long slot_length) {
    path_ = path;
    slot_length_ = slot_length;
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_)
        throw DataError("Cannot open the data file " + path.string() + ": " + std::strerror(errno));
    if (std::fseek(file_.get(), 0, SEEK_END) != 0 || (size_ = std::ftell(file_.get())) < 0)
        throw DataError("Cannot read the data file " + path.string());
    // The world files do not change while the game runs: read whole once, every fetch after
    // that is a copy from memory instead of a seek and a read.
    bytes_.assign(static_cast<std::size_t>(size_), 0);
    if (std::fseek(file_.get(), 0, SEEK_SET) != 0 ||
        std::fread(bytes_.data(), 1, bytes_.size(), file_.get()) != bytes_.size())
        throw DataError("Cannot read the data file " + path.string());
}

void OpenDataFile::read_slot(int64_t slot, uint8_t* out, std::size_t length) {
    std::memset(out, 0, length);
    if (!file_ || slot < 1) return;
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

// Opens a world file and checks that it holds its header and every entry the header counts.
template <class Rec>
Rec open_with_header(DataFiles& files, OpenDataFile& f, const char* name, long slot_length,
                     bool check_count) {
    f.open(files.path_of(name), slot_length);
    if (f.size() < static_cast<long>(Rec::disk_size))
        throw DataError("The data file " + f.path().string() +
                        " is too short to hold its header (" + std::to_string(f.size()) +
                        " bytes)");
    Rec header = fetch<Rec>(f, 1);
    if (check_count) {
        if (header.number < 0)
            throw DataError("The data file " + f.path().string() + " has a negative entry count (" +
                            std::to_string(header.number) + ")");
        const int64_t needed = int64_t(header.number) * slot_length + int64_t(Rec::disk_size);
        if (f.size() < needed)
            throw DataError("The data file " + f.path().string() +
                            " is shorter than its header says: " + std::to_string(header.number) +
                            " entries need " + std::to_string(needed) + " bytes, the file has " +
                            std::to_string(f.size()));
    }
    return header;
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

    g.item_rec = open_with_header<ItemRec>(d, d.item, ITEM_FILE, ITEM_SLOT, true);
    g.item_count = g.item_rec.number;
    g.monster_rec = open_with_header<MonsterRec>(d, d.monster, MONSTER_FILE, MONSTER_SLOT, true);
    g.shop_rec = open_with_header<ShopRec>(d, d.shop, SHOP_FILE, SHOP_SLOT, true);
    g.shop_count = g.shop_rec.number;
    g.spell_rec = open_with_header<SpellRec>(d, d.spell, SPELL_FILE, SPELL_SLOT, true);
    g.spell_count = g.spell_rec.number;
    g.spell_progression_rec = open_with_header<SpellProgressionRec>(
        d, d.spell_progression, SPELL_PROGRESSION_FILE, SPELL_PROGRESSION_SLOT, true);
    g.spell_progression_count = g.spell_progression_rec.number;

    // Map 1 is read once here; Maps.dat is not held open.
    OpenDataFile maps;
    maps.open(d.path_of(MAP_FILE), MAP_SLOT);
    if (maps.size() < static_cast<long>(MapRec::disk_size))
        throw DataError("The data file " + maps.path().string() + " does not hold map 1 (" +
                        std::to_string(maps.size()) + " bytes)");
    g.map_rec = fetch<MapRec>(maps, 1);

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
void sub_read_spell_progression(Game& g, int32_t n) {
    g.spell_progression_rec =
        fetch<SpellProgressionRec>(g.data_files.spell_progression, int64_t(n) + 1);
}

void sub_load_map(Game& g, int n) {
    OpenDataFile maps;
    maps.open(g.data_files.path_of(MAP_FILE), MAP_SLOT);
    g.map_rec = fetch<MapRec>(maps, n);
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

// Writes and flushes a whole file to the drive; false when any step fails.
bool write_file(const DataFiles& d, const std::string& name, const std::vector<uint8_t>& bytes) {
    const fs::path path = d.save_folder() / name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = !fault(d, SaveStep::write, name);
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            done += static_cast<std::size_t>(n);
    }
    ok = ok && !fault(d, SaveStep::flush, name) && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
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

// A whole regular file, or nothing when it is missing or cannot be read (a folder in its
// place, a read error). `folder` is the save folder unless said otherwise.
std::optional<std::vector<uint8_t>> read_file(const DataFiles& d, const std::string& name,
                                              const fs::path& folder = {}) {
    const int fd =
        ::open(((folder.empty() ? d.save_folder() : folder) / name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::vector<uint8_t> bytes;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && !fault(d, SaveStep::read, name);
    uint8_t buffer[65536];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    ::close(fd);
    if (!ok) return std::nullopt;
    return bytes;
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

bool sub_finish_interrupted_save(Game& g) {
    const DataFiles& d = g.data_files;
    std::error_code ec;
    struct stat st {};
    const bool commit_present = ::lstat((d.save_folder() / SAVE_COMMIT_FILE).c_str(), &st) == 0;
    const auto commit = read_file(d, SAVE_COMMIT_FILE);
    // A commit file that is there but cannot be read may be a complete one: nothing is touched.
    if (commit_present && !commit) return false;
    if (commit && *commit == commit_text()) {
        // The save was made: the files still beside their targets replace them.
        for (const char* name : SAVE_FILES)
            if (fs::exists(d.save_folder() / beside(name), ec) &&
                !rename_file(d, beside(name), name))
                return false;
        flush_folder(d);
        fs::remove(d.save_folder() / beside(SAVE_COMMIT_FILE), ec);
        fs::remove(d.save_folder() / SAVE_COMMIT_FILE, ec);
        return !ec;
    }
    // No complete commit: whatever lies beside belongs to a save that was never made.
    fs::remove(d.save_folder() / SAVE_COMMIT_FILE, ec);
    if (ec) return false;
    for (const char* name : SAVE_FILES) fs::remove(d.save_folder() / beside(name), ec);
    fs::remove(d.save_folder() / beside(SAVE_COMMIT_FILE), ec);
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
    auto roster = read_file(d, ROSTER_SAVE_FILE, from);
    auto party = read_file(d, PARTY_SAVE_FILE, from);
    auto flags = read_file(d, FLAGS_SAVE_FILE, from);
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
    return true;
}

} // namespace duskwend
