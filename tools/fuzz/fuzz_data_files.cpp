// Opening each world file: the first byte picks which of the six files the input replaces in
// an otherwise sound Data folder; the game opens the folder and fetches records and maps.
#include "core/datafiles.h"
#include "core/game.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>

namespace duskwend {

namespace fs = std::filesystem;

namespace {

const char* const FILES[] = {ITEM_FILE,  MONSTER_FILE,           SHOP_FILE,
                             SPELL_FILE, SPELL_PROGRESSION_FILE, MAP_FILE};

// The shipped world's files, copied once; the file a run replaced is put back before the next.
const fs::path& data_dir() {
    static const fs::path dir = [] {
        const fs::path d = fuzz::scratch("data");
        for (const char* f : FILES)
            fs::copy_file(fs::path(DUSKWEND_FUZZ_DATA) / f, d / f,
                          fs::copy_options::overwrite_existing);
        return d;
    }();
    return dir;
}

} // namespace

} // namespace duskwend

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace duskwend;
    if (size < 1) return 0;
    static int replaced = -1;
    const fs::path& dir = data_dir();
    if (replaced >= 0)
        fs::copy_file(fs::path(DUSKWEND_FUZZ_DATA) / FILES[replaced], dir / FILES[replaced],
                      fs::copy_options::overwrite_existing);
    replaced = data[0] % 6;
    fuzz::write(dir / FILES[replaced], {data + 1, size - 1});

    Game g;
    g.data_files.dir = dir;
    try {
        sub_open_data_files(g);
    } catch (const DataError&) {
        return 0;
    }
    for (int32_t n : {-1, 0, 1, 2, g.item_count, g.item_count + 1, 32767}) {
        sub_read_item(g, n);
        sub_read_monster(g, n);
        sub_read_shop(g, n);
        sub_read_spell(g, n);
        sub_read_spell_progression(g, n);
    }
    for (int map : {0, 1, 2, 3, 40}) sub_load_map(g, map);
    return 0;
}
