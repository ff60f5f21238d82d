#include "core/datafiles.h"

#include "core/game.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

void OpenDataFile::open(const fs::path& path, long slot_length) {
    path_ = path;
    slot_length_ = slot_length;
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_)
        throw DataError("Cannot open the data file " + path.string() + ": " + std::strerror(errno));
    if (std::fseek(file_.get(), 0, SEEK_END) != 0 || (size_ = std::ftell(file_.get())) < 0)
        throw DataError("Cannot read the data file " + path.string());
}

void OpenDataFile::read_slot(int64_t slot, uint8_t* out, std::size_t length) {
    std::memset(out, 0, length);
    if (!file_ || slot < 1) return;
    const int64_t offset = (slot - 1) * slot_length_;
    if (offset >= size_) return;
    if (std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) != 0) return;
    // A short read leaves the rest of the record zero.
    std::size_t got = std::fread(out, 1, length, file_.get());
    (void)got;
    std::clearerr(file_.get());
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
    if (!fs::is_directory(d.dir))
        throw DataError("The Data folder " + d.dir.string() + " does not exist");

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

bool write_file(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

std::optional<std::vector<uint8_t>> read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
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

fs::path save_path(const DataFiles& d, const std::string& name) {
    return d.save_folder() / name;
}

} // namespace

bool write_save_files(Game& g) {
    const SaveImage image = save_image(g);
    const DataFiles& d = g.data_files;
    const std::pair<const char*, const std::vector<uint8_t>*> files[] = {
        {ROSTER_SAVE_FILE, &image.roster},
        {PARTY_SAVE_FILE, &image.party},
        {FLAGS_SAVE_FILE, &image.flags}};

    bool written = true;
    for (const auto& [name, bytes] : files)
        written = written && write_file(save_path(d, std::string(name) + ".new"), *bytes);
    std::error_code ec;
    if (written) {
        for (const auto& [name, bytes] : files) {
            fs::rename(save_path(d, std::string(name) + ".new"), save_path(d, name), ec);
            if (ec) return false;
        }
        return true;
    }
    for (const auto& [name, bytes] : files) fs::remove(save_path(d, std::string(name) + ".new"), ec);
    return false;
}

bool read_save_files(Game& g) {
    const DataFiles& d = g.data_files;
    // A save folder without a save reads the old one kept in the Data folder.
    std::error_code none;
    const fs::path from =
        fs::exists(save_path(d, ROSTER_SAVE_FILE), none) ? d.save_folder() : d.dir;
    auto roster = read_file(from / ROSTER_SAVE_FILE);
    auto party = read_file(from / PARTY_SAVE_FILE);
    auto flags = read_file(from / FLAGS_SAVE_FILE);
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
