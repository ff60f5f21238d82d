#pragma once
// The whole world as the game reads it: the records of the six data files, and the byte
// layout of those files (fixed slots, header records, zero-filled slot tails).

#include "core/datafiles.h" // slot lengths and file names
#include "core/records.h"

#include <filesystem>
#include <string>
#include <type_traits>
#include <vector>

namespace duskwend {

// Entry n of a list lives at index n - 1; the header record (slot 1) is kept as read, and
// `number` of a compiled header is the entry count.
struct World {
    ItemRec item_header;
    std::vector<ItemRec> items;
    MonsterRec monster_header;
    std::vector<MonsterRec> monsters;
    ShopRec shop_header;
    std::vector<ShopRec> shops;
    SpellRec spell_header;
    std::vector<SpellRec> spells;
    SpellProgressionRec progression_header;
    std::vector<SpellProgressionRec> progression;
    std::vector<MapRec> maps; // map n in slot n, no header
    // The maps' own names (index n - 1), kept beside the map file: its records hold none.
    std::vector<std::string> map_names;
};

// The header a compiled file gets when the sources say nothing else about it: the count of
// entries, and for the monsters a name.
template <class Rec> Rec default_header(std::size_t count) {
    Rec h;
    h.number = static_cast<int16_t>(count);
    if constexpr (std::is_same_v<Rec, MonsterRec>) h.name = "Base Record";
    return h;
}

// Writes the six files into dir (created when missing), and the map names (MAP_NAMES_FILE)
// when the world has any. Each file is written beside its
// target and renamed over it when complete. Returns an empty string or what went wrong.
std::string write_data_files(const World& world, const std::filesystem::path& dir);

struct ReadResult {
    World world;
    std::vector<std::string> errors;   // the files could not be read
    std::vector<std::string> warnings; // read, but some bytes will not survive a round trip
};
ReadResult read_data_files(const std::filesystem::path& dir);

// The bytes of one world file, as write_data_files writes them.
std::vector<uint8_t> item_file_bytes(const World& w);
std::vector<uint8_t> monster_file_bytes(const World& w);
std::vector<uint8_t> shop_file_bytes(const World& w);
std::vector<uint8_t> spell_file_bytes(const World& w);
std::vector<uint8_t> progression_file_bytes(const World& w);
std::vector<uint8_t> map_file_bytes(const World& w);

} // namespace duskwend
