#include "tools/data/world.h"

#include "core/map_names.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

namespace duskwend {

namespace fs = std::filesystem;

namespace {

template <class Rec> void put_slot(std::vector<uint8_t>& out, const Rec& r, std::size_t slot) {
    auto bytes = encode(r);
    out.insert(out.end(), bytes.begin(), bytes.end());
    out.resize(out.size() + (slot - bytes.size()), 0);
}

template <class Rec>
std::vector<uint8_t> list_file(const Rec& header, const std::vector<Rec>& entries,
                               std::size_t slot) {
    std::vector<uint8_t> out;
    put_slot(out, header, slot);
    for (const auto& e : entries) put_slot(out, e, slot);
    return out;
}

std::string write_file(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::path temp = path;
    temp += ".new";
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        if (!f) return "cannot write " + temp.string();
        f.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
        if (!f.flush()) return "cannot write " + temp.string();
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) return "cannot replace " + path.string() + ": " + ec.message();
    return {};
}

struct Slots {
    std::vector<std::vector<uint8_t>> slots;
};

// Splits a file into its slots; a file that is not a whole number of slots is refused.
bool read_slots(const fs::path& path, std::size_t slot, std::size_t record_size, Slots& out,
                ReadResult& result) {
    std::ifstream f(path, std::ios::binary);
    if (!f) {
        result.errors.push_back(path.string() + ": cannot open the file");
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)),
                               std::istreambuf_iterator<char>());
    if (bytes.size() % slot != 0) {
        result.errors.push_back(path.string() + ": " + std::to_string(bytes.size()) +
                                " bytes is not a whole number of " + std::to_string(slot) +
                                "-byte slots");
        return false;
    }
    for (std::size_t s = 0; s * slot < bytes.size(); ++s) {
        auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(s * slot);
        out.slots.emplace_back(begin, begin + static_cast<std::ptrdiff_t>(slot));
        bool tail_clear = true;
        for (std::size_t k = record_size; k < slot; ++k)
            if (out.slots.back()[k] != 0) tail_clear = false;
        if (!tail_clear)
            result.warnings.push_back(path.string() + ": slot " + std::to_string(s + 1) +
                                      " holds bytes after its record; the game never reads "
                                      "them and they are written back as zeros");
    }
    return true;
}

template <class Rec>
void read_list(const fs::path& dir, const char* name, std::size_t slot, Rec& header,
               std::vector<Rec>& entries, ReadResult& result) {
    Slots s;
    if (!read_slots(dir / name, slot, Rec::disk_size, s, result)) return;
    if (s.slots.empty()) {
        result.errors.push_back((dir / name).string() + ": the file is empty (no header slot)");
        return;
    }
    header = decode<Rec>(s.slots[0]);
    for (std::size_t k = 1; k < s.slots.size(); ++k) entries.push_back(decode<Rec>(s.slots[k]));
}

} // namespace

std::vector<uint8_t> item_file_bytes(const World& w) {
    return list_file(w.item_header, w.items, ITEM_SLOT);
}
std::vector<uint8_t> monster_file_bytes(const World& w) {
    return list_file(w.monster_header, w.monsters, MONSTER_SLOT);
}
std::vector<uint8_t> shop_file_bytes(const World& w) {
    return list_file(w.shop_header, w.shops, SHOP_SLOT);
}
std::vector<uint8_t> spell_file_bytes(const World& w) {
    return list_file(w.spell_header, w.spells, SPELL_SLOT);
}
std::vector<uint8_t> progression_file_bytes(const World& w) {
    return list_file(w.progression_header, w.progression, SPELL_PROGRESSION_SLOT);
}
std::vector<uint8_t> map_file_bytes(const World& w) {
    std::vector<uint8_t> out;
    for (const auto& m : w.maps) put_slot(out, m, MAP_SLOT);
    return out;
}

std::string write_data_files(const World& w, const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) return "cannot create " + dir.string() + ": " + ec.message();
    const std::pair<const char*, std::vector<uint8_t>> files[] = {
        {ITEM_FILE, item_file_bytes(w)},
        {MONSTER_FILE, monster_file_bytes(w)},
        {SHOP_FILE, shop_file_bytes(w)},
        {SPELL_FILE, spell_file_bytes(w)},
        {SPELL_PROGRESSION_FILE, progression_file_bytes(w)},
        {MAP_FILE, map_file_bytes(w)}};
    for (const auto& [name, bytes] : files)
        if (auto err = write_file(dir / name, bytes); !err.empty()) return err;
    if (!w.map_names.empty()) {
        const std::string text = map_names_text(w.map_names);
        if (auto err = write_file(dir / MAP_NAMES_FILE, {text.begin(), text.end()}); !err.empty())
            return err;
    }
    return {};
}

ReadResult read_data_files(const fs::path& dir) {
    ReadResult r;
    World& w = r.world;
    read_list(dir, ITEM_FILE, ITEM_SLOT, w.item_header, w.items, r);
    read_list(dir, MONSTER_FILE, MONSTER_SLOT, w.monster_header, w.monsters, r);
    read_list(dir, SHOP_FILE, SHOP_SLOT, w.shop_header, w.shops, r);
    read_list(dir, SPELL_FILE, SPELL_SLOT, w.spell_header, w.spells, r);
    read_list(dir, SPELL_PROGRESSION_FILE, SPELL_PROGRESSION_SLOT, w.progression_header,
              w.progression, r);
    Slots maps;
    if (read_slots(dir / MAP_FILE, MAP_SLOT, MapRec::disk_size, maps, r))
        for (const auto& s : maps.slots) w.maps.push_back(decode<MapRec>(s));
    return r;
}

} // namespace duskwend
