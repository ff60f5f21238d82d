// The three save files and the commit file. The first byte says which files lie beside their
// targets (bits 0-2, as a save left them) and what the commit file is (bits 3-5): none, a
// complete one, one cut short or with a byte changed (at the second byte), a link leading
// nowhere, a folder, a pipe, or four bytes of the input. The next four bytes give the roster's
// and the party's lengths in 4-byte units; the rest is the three files. A save that loads must
// save and load again to the same game.
#include "core/datafiles.h"
#include "core/game.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace duskwend {

namespace {

const std::string COMPLETE_COMMIT = "duskwend save commit\nL1chr.dat\nSave.dat\nSavef.dat\nend\n";

void put_commit(const fs::path& dir, int kind, const uint8_t* data) {
    const fs::path commit = dir / SAVE_COMMIT_FILE;
    std::string text = COMPLETE_COMMIT;
    switch (kind) {
    case 1:
        break;
    case 2:
        text.resize(data[1] % text.size());
        break;
    case 3:
        text[data[1] % text.size()] ^= 0x20;
        break;
    case 4:
        fs::create_symlink(dir / "nowhere", commit);
        return;
    case 5:
        fs::create_directory(commit);
        return;
    case 6:
        ::mkfifo(commit.c_str(), 0644);
        return;
    default:
        text.assign(reinterpret_cast<const char*>(data + 1), 4);
    }
    fuzz::write(commit, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

} // namespace

} // namespace duskwend

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace duskwend;
    if (size < 5) return 0;
    const fs::path& dir = fuzz::scratch("saves");
    for (const auto& e : fs::directory_iterator(dir)) fs::remove_all(e.path());
    const uint8_t which = data[0];
    std::size_t lengths[3] = {std::size_t(data[1] | data[2] << 8) * 4,
                              std::size_t(data[3] | data[4] << 8) * 4, 0};
    std::span<const uint8_t> rest(data + 5, size - 5);
    const char* names[] = {ROSTER_SAVE_FILE, PARTY_SAVE_FILE, FLAGS_SAVE_FILE};
    for (int k = 0; k < 3; ++k) {
        const std::size_t n = k == 2 ? rest.size() : std::min(lengths[k], rest.size());
        const std::string name = std::string(names[k]) + ((which >> k) & 1 ? ".new" : "");
        fuzz::write(dir / name, rest.first(n));
        rest = rest.subspan(n);
    }
    if (const int kind = (which >> 3) & 7; kind != 0) put_commit(dir, kind, data);

    Game g;
    g.data_files.dir = dir;
    if (!read_save_files(g)) return 0;
    // Whatever the commit file was, it no longer stands in the way of a save.
    if (!write_save_files(g)) std::abort();
    Game again;
    again.data_files.dir = dir;
    if (!read_save_files(again) || !(again.roster == g.roster) || !(again.party == g.party) ||
        again.game_flags != g.game_flags)
        std::abort();
    return 0;
}
