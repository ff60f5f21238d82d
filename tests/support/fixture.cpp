#include "support/fixture.h"

#include "core/dispatch.h"
#include "platform/font.h"
#include "platform/keys.h"
#include "screens/register_screens.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <random>
#include <tuple>

namespace duskwend {

namespace fs = std::filesystem;

namespace fixture {

TempDir::TempDir(const std::string& name) {
    std::random_device rd;
    path = fs::temp_directory_path() / ("duskwend-" + name + "-" + std::to_string(rd()));
    fs::remove_all(path);
    fs::create_directories(path);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
}

template <class Rec>
void write_slots(const fs::path& file, const std::vector<Rec>& records, long slot_length) {
    std::vector<uint8_t> bytes;
    for (const Rec& r : records) {
        auto e = encode(r);
        e.resize(static_cast<std::size_t>(slot_length), 0);
        bytes.insert(bytes.end(), e.begin(), e.end());
    }
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

template void write_slots(const fs::path&, const std::vector<ItemRec>&, long);
template void write_slots(const fs::path&, const std::vector<MonsterRec>&, long);
template void write_slots(const fs::path&, const std::vector<ShopRec>&, long);
template void write_slots(const fs::path&, const std::vector<SpellRec>&, long);
template void write_slots(const fs::path&, const std::vector<SpellProgressionRec>&, long);
template void write_slots(const fs::path&, const std::vector<MapRec>&, long);

std::vector<uint8_t> read_bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string read_text(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bmp(const fs::path& file, int width, int height, uint32_t rgb) {
    const int row = (width * 3 + 3) & ~3;
    const uint32_t image = static_cast<uint32_t>(row * height);
    std::vector<uint8_t> b;
    const auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    b.push_back('B'), b.push_back('M');
    put(54 + image, 4), put(0, 4), put(54, 4);
    put(40, 4), put(static_cast<uint32_t>(width), 4), put(static_cast<uint32_t>(height), 4);
    put(1, 2), put(24, 2), put(0, 4), put(image, 4), put(2835, 4), put(2835, 4), put(0, 4),
        put(0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            put(rgb & 0xFF, 1), put((rgb >> 8) & 0xFF, 1), put(rgb >> 16, 1);
        for (int p = width * 3; p < row; ++p) put(0, 1);
    }
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

std::vector<ItemRec> small_world_items() {
    std::vector<ItemRec> items(14);
    items[0].number = 13;
    const char* names[] = {"",    "Potion", "Dagger",  "Sword",  "Mace", "Staff",   "Bow",
                           "Axe", "Club",   "Buckler", "Shield", "Robe", "Leather", "Chain Mail"};
    for (int i = 1; i <= 13; ++i) {
        items[i].number = static_cast<int16_t>(i);
        items[i].name = names[i];
        items[i].plural_name = std::string(names[i]) + "s";
        items[i].price = static_cast<int16_t>(10 * i);
    }
    items[1].use_effects[0] = {5, 0, 0};
    items[2].kind = 1, items[3].kind = 1;
    items[9].kind = 8, items[9].armour = 1;
    items[10].kind = 8, items[10].armour = 2;
    items[12].kind = 7, items[12].armour = 2;
    items[13].kind = 7, items[13].armour = 4, items[13].armour_percent = 0;
    return items;
}

void write_small_world(const fs::path& dir) {
    fs::create_directories(dir);
    write_slots(dir / ITEM_FILE, small_world_items(), ITEM_SLOT);

    std::vector<MonsterRec> monsters(3);
    monsters[0].number = 2;
    monsters[0].name = "Base Record";
    monsters[1].number = 1, monsters[1].name = "Rat", monsters[1].picture = 1;
    monsters[2].number = 2, monsters[2].name = "Wolf", monsters[2].gender = 2,
    monsters[2].picture = 2;
    write_slots(dir / MONSTER_FILE, monsters, MONSTER_SLOT);

    std::vector<ShopRec> shops(2);
    shops[0].number = 1;
    shops[1].number = 1, shops[1].name = "Iron Anvil", shops[1].stock = {2, 3, 4};
    write_slots(dir / SHOP_FILE, shops, SHOP_SLOT);

    std::vector<SpellRec> spells(3);
    spells[0].number = 2;
    spells[1].number = 1, spells[1].name = "Mend", spells[1].level = 1;
    spells[2].number = 2, spells[2].name = "Spark", spells[2].level = 3;
    write_slots(dir / SPELL_FILE, spells, SPELL_SLOT);

    std::vector<SpellProgressionRec> progression(2);
    progression[0].number = 1;
    progression[1] = {1, 2, 1, 1, 0};
    write_slots(dir / SPELL_PROGRESSION_FILE, progression, SPELL_PROGRESSION_SLOT);

    std::vector<MapRec> maps(3);
    maps[0].encounter_chance = 7;
    maps[0].messages[0] = "Welcome to the city.";
    maps[1].encounter_chance = 12;
    maps[1].difficulty = 2;
    // The town's buildings stand on map 3, where no monster walks; square (4, 9) of map 1, west
    // of where the party sets out, leads to its square (5, 5), facing south. Around it: the shop to
    // the south, the Temple of Light to the west; from (6, 5) the Temple of Luck to the north, the
    // Temple of Dark to the east and the review board to the south.
    maps[0].events[50] = {1, 0, 4, 9, 3, 5, 5, 3, 0, 0, 0};
    maps[2].encounter_chance = -1;
    maps[2].events[0] = {2, 0, 5, 6, 1, 1, 0, 0, 0, 0, 0};
    maps[2].events[1] = {2, 0, 4, 5, 2, 0, 0, 0, 0, 0, 0};
    maps[2].events[2] = {2, 0, 6, 4, 2, 1, 0, 0, 0, 0, 0};
    maps[2].events[3] = {2, 0, 7, 5, 2, 2, 0, 0, 0, 0, 0};
    maps[2].events[4] = {2, 0, 6, 6, 3, 0, 0, 0, 0, 0, 0};
    write_slots(dir / MAP_FILE, maps, MAP_SLOT);

    write_bmp(dir / "tavern.bmp", 228, 140, 0x804020);
    // The view's background and wall pieces, so whole sessions can walk the city.
    write_bmp(dir / "back.bmp", 228, 140, 0x202020);
    for (const auto& [name, w, h] : {std::tuple{"w1a.bmp", 1120, 109},
                                     {"w1b.bmp", 518, 50},
                                     {"l1a.bmp", 231, 272},
                                     {"l1b.bmp", 301, 216},
                                     {"r1a.bmp", 231, 272},
                                     {"r1b.bmp", 301, 216}})
        write_bmp(dir / name, w, h, 0x808080);
    // The buildings' pictures, small and plain.
    for (const char* piece : {"shoppe.bmp", "temple.bmp", "review.bmp"})
        write_bmp(dir / piece, 8, 8, 0x305070);

    // Fights: two monsters with real dice and their pictures, a guild hall door on map 1 with
    // a fixed fight of two groups three squares north of it and a teleport one square east
    // of it to map 4, where monsters come at every step.
    monsters[0].number = 4;
    monsters.resize(5);
    monsters[3].number = 3, monsters[3].name = "Goblin", monsters[3].plural_name = "Goblins";
    monsters[3].picture = 3, monsters[3].hit_dice = {1, 4, 2}, monsters[3].crowns_dice = {1, 6, 0};
    monsters[3].experience_base = 10, monsters[3].experience_per_hit_point = 1;
    monsters[4].number = 4, monsters[4].name = "Skeleton", monsters[4].plural_name = "Skeletons";
    monsters[4].picture = 4, monsters[4].hit_dice = {2, 4, 0};
    monsters[4].experience_base = 15, monsters[4].experience_per_hit_point = 2;
    write_slots(dir / MONSTER_FILE, monsters, MONSTER_SLOT);
    write_bmp(dir / "Mon3.bmp", 228, 140, 0x208040);
    write_bmp(dir / "Mon4.bmp", 228, 140, 0xC0C0A0);
    maps[0].events[0] = {2, 0, 5, 10, 0, 0, 0, 0, 0, 0, 0};
    maps[0].events[1] = {5, 0, 5, 7, 3, 2, 1, 5, 0, 0, 0};
    maps[0].events[2] = {5, 0, 5, 7, 4, 1, 0, 0, 0, 0, 0};
    maps[0].events[3] = {1, 0, 6, 9, 4, 5, 5, 1, 0, 0, 0};
    maps.resize(4);
    maps[3].encounter_chance = 100;
    maps[3].encounters[0] = {3, 1, 2, 0, 50};
    maps[3].encounters[1] = {4, 0, 0, 1, 0};
    write_slots(dir / MAP_FILE, maps, MAP_SLOT);
    // The end of a fight: the victory and defeat pictures.
    write_bmp(dir / "Won.bmp", 228, 140, 0xC0A040);
    write_bmp(dir / "skull.bmp", 228, 140, 0x606060);
    for (const char* font : {"font.ttf", "font-bold.ttf"})
        fs::copy_file(fs::path(DUSKWEND_BUILD_DATA_DIR) / font, dir / font,
                      fs::copy_options::overwrite_existing);
}

const FontMetrics& real_font() {
    static const TtfLibrary ttf;
    static const TtfFont font(DUSKWEND_BUILD_DATA_DIR, 1);
    return font;
}

StartedGame::StartedGame(const fs::path& data_dir) {
    register_screens(g);
    g.host = &host;
    g.set_font(&real_font());
    g.data_files.dir = data_dir;
    g.start_seed = 1;
    g.start_message_delay = 0;
    Form_Load(g);
}

std::vector<std::string> texts(const Game& g) {
    std::vector<std::string> out;
    for (const TextRun& r : g.Form1.Text.runs()) out.push_back(r.text);
    return out;
}

bool WorldTest::shows(const std::string& text) const {
    const std::vector<std::string> t = texts();
    return std::find(t.begin(), t.end(), text) != t.end();
}

void press(Game& g, int16_t code, int shift) {
    Form_KeyDown(g, code, shift);
}

void type(Game& g, const std::string& script) {
    for (const KeyPress& k : parse_key_script(script)) press(g, k.code, k.shift);
}

} // namespace fixture

} // namespace duskwend
