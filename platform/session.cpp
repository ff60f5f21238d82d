#include "platform/session.h"

#include "core/dispatch.h"
#include "core/file_access.h"
#include "core/overlays.h"
#include "platform/dumps.h"
#include "platform/font.h"
#include "platform/frame.h"
#include "screens/register_screens.h"

#include <SDL.h>

#include <iostream>
#include <vector>

namespace duskwend {

namespace {

uint32_t le16(std::span<const uint8_t> b, std::size_t at) {
    return b[at] | (b[at + 1] << 8);
}
uint32_t le32(std::span<const uint8_t> b, std::size_t at) {
    return le16(b, at) | (le16(b, at + 2) << 16);
}

} // namespace

bool bitmap_header_is_sound(std::span<const uint8_t> bytes) {
    // The file header (14 bytes) and the picture header's size.
    if (bytes.size() < 18 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    const uint64_t pixels_at = le32(bytes, 10);
    const uint32_t header_size = le32(bytes, 14);
    int64_t width = 0, height = 0;
    uint32_t bits = 0, compression = 0;
    if (header_size == 12) {
        if (bytes.size() < 26) return false;
        width = le16(bytes, 18);
        height = le16(bytes, 20);
        bits = le16(bytes, 24);
    } else if (header_size >= 40) {
        if (bytes.size() < 34) return false;
        width = static_cast<int32_t>(le32(bytes, 18));
        height = static_cast<int32_t>(le32(bytes, 22));
        bits = le16(bytes, 28);
        compression = le32(bytes, 30);
    } else {
        return false;
    }
    if (height < 0) height = -height; // rows stored top to bottom
    if (width < 1 || height < 1 || width > MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    if (pixels_at < 14 + uint64_t(header_size) || pixels_at > bytes.size()) return false;
    // Uncompressed rows are padded to four bytes; the file must hold every one of them.
    // Run-length pictures need at least two bytes per row (the end-of-line marks).
    const uint64_t row = (uint64_t(width) * bits + 31) / 32 * 4;
    const uint64_t needed =
        compression == 0 || compression == 3 ? row * uint64_t(height) : 2 * uint64_t(height);
    return pixels_at + needed <= bytes.size();
}

std::optional<Bitmap> read_bitmap_bytes(std::span<const uint8_t> bytes) {
    if (!bitmap_header_is_sound(bytes)) return std::nullopt;
    SurfacePtr loaded(
        SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1));
    if (!loaded) return std::nullopt;
    SurfacePtr s(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_XRGB8888, 0));
    if (!s || s->w < 1 || s->h < 1 || s->w > MAX_PICTURE_SIDE || s->h > MAX_PICTURE_SIDE)
        return std::nullopt;
    Bitmap b(s->w, s->h);
    SDL_LockSurface(s.get());
    for (int y = 0; y < s->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                            std::size_t(y) * std::size_t(s->pitch));
        for (int x = 0; x < s->w; ++x) b.at(x, y) = row[x] & 0xFFFFFF;
    }
    SDL_UnlockSurface(s.get());
    return b;
}

std::optional<Bitmap> read_bitmap_file(const std::string& path) {
    // Nothing larger than the largest sound picture is read at all.
    constexpr std::size_t limit = std::size_t(MAX_PICTURE_SIDE) * MAX_PICTURE_SIDE * 4 + 4096;
    const FileRead file = read_regular_file(path, limit);
    if (!file.is_ok()) return std::nullopt; // missing, a folder or a pipe, too large
    return read_bitmap_bytes(
        std::span(reinterpret_cast<const uint8_t*>(file.bytes.data()), file.bytes.size()));
}

void configure_game(Game& g, const Options& o) {
    register_screens(g);
    g.data_files.dir = o.data_dir;
    g.start_seed = o.seed;
    g.start_message_delay = o.message_delay;
    // The save folder, and the message speed the player chose last time (--message-delay
    // wins for its run).
    g.data_files.save_dir = o.save_dir;
    std::error_code ec;
    if (!o.save_dir.empty()) std::filesystem::create_directories(o.save_dir, ec);
    if (!o.message_delay) g.start_message_delay = read_settings_delay(g.data_files.save_folder());
}

void type_keys(Game& g, const std::vector<KeyPress>& keys) {
    for (const KeyPress& k : keys) {
        if (is_on(g.quit_requested)) break;
        int16_t code = k.code;
        Form_KeyDown(g, code, k.shift);
    }
}

bool write_outputs(const Game& g, const Options& o) {
    bool ok = true;
    const auto fail = [&](const std::string& what, const std::string& path) {
        std::cerr << "duskwend: cannot write the " << what << " to " << path << "\n";
        ok = false;
    };
    if (!o.dump_text.empty() && !write_output(o.dump_text, text_dump(g)))
        fail("text dump", o.dump_text);
    if (!o.dump_state.empty() && !write_output(o.dump_state, state_dump(g).dump(2) + "\n"))
        fail("state dump", o.dump_state);
    if (!o.screenshot.empty()) {
        const TtfFont font(o.data_dir, o.screenshot_scale);
        const std::string png = frame_png(g, font, o.screenshot_scale);
        if (png.empty() || !write_output(o.screenshot, png)) fail("screenshot", o.screenshot);
    }
    return ok;
}

HeadlessGame::HeadlessGame(const Options& o) : font(o.data_dir, 1) {
    g.host = &host;
    g.set_font(&font);
    configure_game(g, o);
    Form_Load(g);
}

int run_headless(const Options& o, const std::function<void(Game&)>& before_keys) {
    try {
        HeadlessGame run(o);
        if (before_keys) before_keys(run.g);
        type_keys(run.g, o.keys);
        return write_outputs(run.g, o) ? 0 : 1;
    } catch (const std::exception& e) {
        // A data error, or a failure of the machine (memory, the file system).
        std::cerr << "duskwend: " << e.what() << "\n";
        return 1;
    }
}

} // namespace duskwend
