// The settings file (settings.ini): read as the start-up reads it, then the message pause
// written as F5 writes it. The player's other lines must stay as they were.
#include "core/overlays.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace duskwend;
    const std::filesystem::path& dir = fuzz::scratch("settings");
    fuzz::write(dir / SETTINGS_FILE, {data, size});
    const auto delay = read_settings_delay(dir);
    if (delay && !(*delay >= 0 && *delay <= 60)) std::abort();
    const auto type_ahead = read_setting(dir, "type_ahead");
    if (!write_settings_delay(dir, 0.25)) std::abort();
    // A file past the size the game reads keeps none of its lines; one within it keeps them.
    if (size <= SETTINGS_SIZE_LIMIT &&
        std::filesystem::file_size(dir / SETTINGS_FILE) <= SETTINGS_SIZE_LIMIT) {
        if (read_settings_delay(dir) != 0.25 || read_setting(dir, "type_ahead") != type_ahead)
            std::abort();
    } else if (size > SETTINGS_SIZE_LIMIT && read_settings_delay(dir) != 0.25) {
        std::abort();
    }
    return 0;
}
