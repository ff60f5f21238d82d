// duskwend-fuzz-seeds: writes the fuzz targets' seed corpora from the shipped world.
//
//   duskwend-fuzz-seeds <Data folder> <content folder> <key scripts folder> <corpus folder>
#include "core/datafiles.h"
#include "core/records.h"

#include <toml++/toml.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace duskwend {

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int written = 0;
void put(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    ++written;
}

Bytes tagged(uint8_t tag, const Bytes& body) {
    Bytes b{tag};
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes slots(const std::vector<Bytes>& records, long slot_length) {
    Bytes out;
    for (const auto& r : records) {
        const std::size_t start = out.size();
        out.insert(out.end(), r.begin(), r.end());
        out.resize(start + static_cast<std::size_t>(slot_length), 0);
    }
    return out;
}

} // namespace

} // namespace duskwend

int main(int argc, char** argv) {
    using namespace duskwend;
    if (argc != 5) {
        std::cerr << "usage: duskwend-fuzz-seeds DATA CONTENT KEYS CORPUS\n";
        return 2;
    }
    const fs::path data = argv[1], content = argv[2], keys = argv[3], corpus = argv[4];

    // Records: the slots of every world file, and a roster and party made here.
    const struct {
        const char* file;
        long slot;
        std::size_t record;
        uint8_t tag;
    } world[] = {
        {ITEM_FILE, ITEM_SLOT, ItemRec::disk_size, 2},
        {MONSTER_FILE, MONSTER_SLOT, MonsterRec::disk_size, 3},
        {SHOP_FILE, SHOP_SLOT, ShopRec::disk_size, 4},
        {SPELL_FILE, SPELL_SLOT, SpellRec::disk_size, 5},
        {SPELL_PROGRESSION_FILE, SPELL_PROGRESSION_SLOT, SpellProgressionRec::disk_size, 6},
        {MAP_FILE, MAP_SLOT, MapRec::disk_size, 7}};
    uint8_t file_tag = 0;
    for (const auto& w : world) {
        const Bytes file = read(data / w.file);
        for (std::size_t at = 0, n = 0; at < file.size() && n < 40; at += w.slot, ++n) {
            const std::size_t end = std::min(file.size(), at + w.record);
            put(corpus / "records", std::string(w.file) + "-" + std::to_string(n),
                tagged(w.tag, Bytes(file.begin() + long(at), file.begin() + long(end))));
        }
        // Opening each file: the whole file (the maps cut to the first two).
        Bytes whole = file;
        if (whole.size() > std::size_t(2 * MAP_SLOT)) whole.resize(2 * MAP_SLOT);
        put(corpus / "data_files", w.file, tagged(file_tag++, whole));
    }
    CharacterRec c;
    c.in_use = 1, c.name = "Corvath", c.class_id = CLASS_THIEF, c.level = 3, c.hit_points = 10;
    c.max_hit_points = 12, c.pack[0] = {1, 1, 0};
    PartyMemberRec m;
    m.in_use = 1, m.name = "Tallow", m.class_id = CLASS_CLERIC, m.hit_points = 5,
    m.max_hit_points = 9;
    m.pack[3] = {2, 4, 1}, m.effects[1] = {3, 2, 1};
    put(corpus / "records", "character", tagged(0, encode(c)));
    put(corpus / "records", "party-member", tagged(1, encode(m)));

    // Saves: which files lie beside, the roster's and the party's lengths in 4-byte units,
    // then the three files.
    std::vector<Bytes> roster(ROSTER_SIZE, encode(CharacterRec{})),
        party(PARTY_SIZE, encode(PartyMemberRec{}));
    roster[0] = encode(c), party[0] = encode(m);
    const Bytes roster_file = slots(roster, ROSTER_SLOT), party_file = slots(party, PARTY_SLOT);
    Bytes flags_file(GAME_FLAG_COUNT * FLAG_SLOT, 0);
    flags_file[20] = 1;
    // Bits 3-5: the commit file's kind (complete, cut short, changed, a link, a folder, a pipe,
    // bytes of the input).
    for (uint8_t which : {0, 7, 8, 15, 16, 23, 24, 32, 40, 47, 48, 56}) {
        Bytes s{which, uint8_t(roster_file.size() / 4), uint8_t(roster_file.size() / 4 >> 8),
                uint8_t(party_file.size() / 4), uint8_t(party_file.size() / 4 >> 8)};
        const Bytes* files[] = {&roster_file, &party_file, &flags_file};
        for (const Bytes* f : files) s.insert(s.end(), f->begin(), f->end());
        put(corpus / "saves", "save-" + std::to_string(which), s);
    }

    // The automap: the world's map count less one, then a file with a few squares seen.
    std::string automap = "duskwend-automap 1\nmap 1\n";
    for (int y = 0; y < MAP_SIZE; ++y)
        automap += std::string(MAP_SIZE - 4, '.') + (y < 3 ? "####" : "....") + "\n";
    automap += "end\n";
    put(corpus / "automap", "automap", tagged(7, Bytes(automap.begin(), automap.end())));
    const std::string settings = "message_delay=0.25\ntype_ahead = false\n";
    put(corpus / "settings", "settings", Bytes(settings.begin(), settings.end()));
    // Play: each file damaged in turn (a few bytes at its start, or cut there), then keys by
    // their place in the target's table: into the city, walking, the overlays, a sheet.
    const Bytes walk = {4,  37, 37, 40, 37, 43, 36, 44, 23, 45, 45, 23, 46,
                        26, 13, 13, 2,  0,  23, 23, 23, 39, 37, 37, 37, 0,
                        0,  0,  2,  0,  0,  3,  0,  0,  0,  0,  0,  0,  0};
    for (uint8_t file = 0; file < 12; ++file)
        for (uint8_t length : {uint8_t(4), uint8_t(255)}) {
            Bytes input = {file, uint8_t(file * 37), 0, 0, length};
            if (length != 255) input.insert(input.end(), {0xFF, 0x7F, 0x00, 0x80});
            input.insert(input.end(), walk.begin(), walk.end());
            put(corpus / "play", "file" + std::to_string(file) + "-" + std::to_string(length),
                input);
        }

    for (const auto& e : fs::directory_iterator(data))
        if (e.path().extension() == ".bmp")
            put(corpus / "bitmap", e.path().filename(), read(e.path()));
    for (const auto& e : fs::directory_iterator(keys))
        if (e.path().extension() == ".keys")
            put(corpus / "key_script", e.path().filename(), read(e.path()));

    // The world's sources, and the grid drawings of its maps.
    const std::pair<const char*, uint8_t> lists[] = {{"items.toml", 0},
                                                     {"monsters.toml", 1},
                                                     {"spells.toml", 2},
                                                     {"shops.toml", 3},
                                                     {"spell_progression.toml", 4}};
    for (const auto& [file, tag] : lists)
        if (fs::exists(content / file))
            put(corpus / "world_toml", file, tagged(tag, read(content / file)));
    for (const auto& e : fs::directory_iterator(content / "maps")) {
        if (e.path().extension() != ".toml") continue;
        const Bytes source = read(e.path());
        put(corpus / "world_toml", e.path().filename(), tagged(5, source));
        try {
            const auto root = toml::parse_file(e.path().string());
            std::string drawing = root["grid"].value_or(std::string());
            drawing += "\n--\n";
            for (const char* key : {"one_sided", "raw_squares"})
                if (const auto* arr = root[key].as_array())
                    for (const auto& v : *arr) drawing += v.value_or(std::string()) + "\n";
            put(corpus / "map_grid", e.path().filename(), Bytes(drawing.begin(), drawing.end()));
        } catch (const toml::parse_error& err) {
            std::cerr << e.path() << ": " << err.description() << "\n";
        }
    }
    std::cout << written << " seed inputs written to " << corpus << "\n";
    return 0;
}
