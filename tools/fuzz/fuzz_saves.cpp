// The three save files (and the commit file): the input is cut into the roster, the party,
// the flags and a commit file by its first bytes. A save that loads must save and load again
// to the same game.
#include "core/datafiles.h"
#include "core/game.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace duskwend;
    if (size < 5) return 0;
    const fs::path& dir = fuzz::scratch("saves");
    for (const auto& e : fs::directory_iterator(dir)) fs::remove(e.path());
    const uint8_t which = data[0];
    std::size_t lengths[3] = {std::size_t(data[1] | data[2] << 8) * 4,
                              std::size_t(data[3] | data[4] << 8) * 4, 0};
    std::span<const uint8_t> rest(data + 5, size - 5);
    const char* names[] = {ROSTER_SAVE_FILE, PARTY_SAVE_FILE, FLAGS_SAVE_FILE};
    for (int k = 0; k < 3; ++k) {
        const std::size_t n = k == 2 ? rest.size() : std::min(lengths[k], rest.size());
        // Bit k: the file lies beside its target, as a save left it.
        const std::string name = std::string(names[k]) + ((which >> k) & 1 ? ".new" : "");
        fuzz::write(dir / name, rest.first(n));
        rest = rest.subspan(n);
    }
    if (which & 8) fuzz::write(dir / SAVE_COMMIT_FILE, std::span<const uint8_t>(data, 5));

    Game g;
    g.data_files.dir = dir;
    if (!read_save_files(g)) return 0;
    if (!write_save_files(g)) std::abort();
    Game again;
    again.data_files.dir = dir;
    if (!read_save_files(again) || !(again.roster == g.roster) || !(again.party == g.party) ||
        again.game_flags != g.game_flags)
        std::abort();
    return 0;
}
