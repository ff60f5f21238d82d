// The automap file (Automap.dat): the first byte gives the number of maps the world has, the
// rest is the file. A file that loads must save and load again to the same map of seen squares.
#include "core/game.h"
#include "core/overlays.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace duskwend;
    if (size < 1) return 0;
    const std::filesystem::path& dir = fuzz::scratch("automap");
    fuzz::write(dir / AUTOMAP_FILE, {data + 1, size - 1});
    Game g;
    g.data_files.dir = dir;
    g.data_files.map_count = data[0] % 64 + 1;
    sub_load_automap(g);
    for (const auto& [map, seen] : g.overlays.automap)
        if (map < 1 || map > g.data_files.map_count ||
            seen.size() != std::size_t(MAP_SIZE) * MAP_SIZE)
            std::abort();
    if (g.overlays.automap.empty()) return 0;
    const auto loaded = g.overlays.automap;
    if (!sub_save_automap(g)) std::abort();
    sub_load_automap(g);
    // Maps with nothing seen are not written; every other one comes back as it was.
    for (const auto& [map, seen] : loaded) {
        const bool any = std::find(seen.begin(), seen.end(), 1) != seen.end();
        const auto it = g.overlays.automap.find(map);
        if (any != (it != g.overlays.automap.end()) || (any && it->second != seen)) std::abort();
    }
    return 0;
}
