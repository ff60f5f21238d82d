// Plays what it loaded: a sound world and a saved game, one of whose files (a save file, the
// automap, the settings, the commit file or a world file) is damaged by the input, then a few
// hundred keys through every screen and overlay, the state checked after each as the soak
// checks it.
//
// The input: a byte picking the file, three bytes giving where the damage starts, a byte giving
// its length, the damage, then the keys (one byte each, from the table below).
#include "core/datafiles.h"
#include "core/dispatch.h"
#include "core/game.h"
#include "core/overlays.h"
#include "fuzz_support.h"
#include "invariants.h"
#include "platform/font.h"
#include "platform/keys.h"
#include "platform/session.h"
#include "remembered_pictures.h"
#include "screens/register_screens.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace fs = std::filesystem;

namespace duskwend {

namespace {

const char* const SAVE_FOLDER_FILES[] = {ROSTER_SAVE_FILE, PARTY_SAVE_FILE, FLAGS_SAVE_FILE,
                                         AUTOMAP_FILE,     SETTINGS_FILE,   SAVE_COMMIT_FILE};
const char* const WORLD_FILES[] = {ITEM_FILE,  MONSTER_FILE,           SHOP_FILE,
                                   SPELL_FILE, SPELL_PROGRESSION_FILE, MAP_FILE};
constexpr std::size_t FILE_CHOICES = std::size(SAVE_FOLDER_FILES) + std::size(WORLD_FILES);
constexpr std::size_t MOST_KEYS = 400;

std::vector<KeyPress> key_table() {
    std::string script = "abcdefghijklmnopqrstuvwxyz1234567XYZ {up}{down}{left}{right}{enter}"
                         "{backspace}{tab}{f1}{f2}{f5}{f6}{up}{up}{up}";
    return parse_key_script(script);
}

struct World {
    fs::path data = fuzz::scratch("play") / "Data", save = fuzz::scratch("play") / "save";
    std::map<std::string, std::string> pristine; // save folder file -> bytes ("" absent)
    TtfLibrary ttf;
    std::unique_ptr<TtfFont> font;
    RememberedPicturesHost host;

    World() {
        fs::create_directories(data);
        fs::create_directories(save);
        for (const auto& e : fs::directory_iterator(DUSKWEND_FUZZ_DATA))
            if (e.is_regular_file())
                fs::copy_file(e.path(), data / e.path().filename(),
                              fs::copy_options::overwrite_existing);
        font = std::make_unique<TtfFont>(data, 1);
        // A saved game of the two characters every new game has, after a walk in the city.
        auto g = start();
        for (const KeyPress& k : parse_key_script("ataxtaxxe{up}{up}+{up}x{down}{up}{up}s"))
            press(*g, k);
        write_save_files(*g);
        sub_save_automap(*g);
        for (const char* f : SAVE_FOLDER_FILES) pristine[f] = fuzz::read(save / f);
    }

    std::unique_ptr<Game> start() {
        auto g = std::make_unique<Game>();
        register_screens(*g);
        g->host = &host;
        g->set_font(font.get());
        g->data_files.dir = data;
        g->data_files.save_dir = save;
        g->start_seed = 1;
        g->start_message_delay = 0;
        Form_Load(*g);
        return g;
    }

    static void press(Game& g, const KeyPress& k) {
        int16_t code = k.code;
        Form_KeyDown(g, code, k.shift);
    }
};

// The file damaged by the last input is put back before the next.
void restore(World& w, const std::string& world_file) {
    for (const auto& e : fs::directory_iterator(w.save)) fs::remove_all(e.path());
    for (const auto& [name, bytes] : w.pristine)
        if (!bytes.empty()) fuzz::write(w.save / name, fuzz::bytes_of(bytes));
    if (!world_file.empty())
        fs::copy_file(fs::path(DUSKWEND_FUZZ_DATA) / world_file, w.data / world_file,
                      fs::copy_options::overwrite_existing);
}

} // namespace

} // namespace duskwend

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace duskwend;
    if (size < 5) return 0;
    static World world;
    static const std::vector<KeyPress> keys = key_table();
    static std::string damaged_world_file;
    restore(world, damaged_world_file);
    damaged_world_file.clear();

    const std::size_t choice = data[0] % FILE_CHOICES;
    const bool in_world = choice >= std::size(SAVE_FOLDER_FILES);
    const fs::path file = in_world ? world.data / WORLD_FILES[choice - std::size(SAVE_FOLDER_FILES)]
                                   : world.save / SAVE_FOLDER_FILES[choice];
    if (in_world) damaged_world_file = file.filename();
    std::string bytes = fuzz::read(file);
    const std::size_t at = std::size_t(data[1] | data[2] << 8 | data[3] << 16) % (bytes.size() + 1);
    const std::size_t length = std::min<std::size_t>(data[4], size - 5);
    // A length byte of 255 cuts the file there instead.
    if (data[4] == 255)
        bytes.resize(at);
    else
        bytes.replace(at, std::min(length, bytes.size() - at),
                      reinterpret_cast<const char*>(data + 5), length);
    fuzz::write(file, fuzz::bytes_of(bytes));
    const std::size_t keys_at = 5 + (data[4] == 255 ? 0 : length);

    std::unique_ptr<Game> g;
    try {
        g = world.start();
    } catch (const DataError&) {
        return 0; // a damaged world refused with its message
    }
    // The guild hall's L loads the damaged game.
    World::press(*g, parse_key_script("l")[0]);
    for (std::size_t k = keys_at; k < size && k - keys_at < MOST_KEYS; ++k) {
        if (is_on(g->quit_requested)) break;
        World::press(*g, keys[data[k] % keys.size()]);
        if (const std::string problem = state_problem(*g); !problem.empty()) {
            std::fprintf(stderr, "after key %zu: %s\n", k - keys_at + 1, problem.c_str());
            std::abort();
        }
    }
    return 0;
}
