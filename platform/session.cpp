#include "platform/session.h"

#include "core/dispatch.h"
#include "core/overlays.h"
#include "platform/dumps.h"
#include "platform/font.h"
#include "platform/frame.h"

#include <SDL.h>

#include <iostream>

std::optional<Bitmap> read_bitmap_file(const std::string& path) {
    SurfacePtr loaded(SDL_LoadBMP(path.c_str()));
    if (!loaded) return std::nullopt;
    SurfacePtr s(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_XRGB8888, 0));
    if (!s) return std::nullopt;
    Bitmap b(s->w, s->h);
    SDL_LockSurface(s.get());
    for (int y = 0; y < s->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                            y * s->pitch);
        for (int x = 0; x < s->w; ++x) b.at(x, y) = row[x] & 0xFFFFFF;
    }
    SDL_UnlockSurface(s.get());
    return b;
}

void configure_game(Game& g, const Options& o) {
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
        if (g.quit_requested == 1) break;
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
        const TtfFont font(o.data_dir, 1);
        SurfacePtr frame = compose_frame(g, font, 1);
        if (!save_png(frame.get(), o.screenshot)) fail("screenshot", o.screenshot);
    }
    return ok;
}

namespace {

// Headless: nothing to present, no time to wait.
class HeadlessHost final : public Host {
  public:
    std::optional<Bitmap> load_bitmap(const std::string& path) override {
        return read_bitmap_file(path);
    }
};

} // namespace

int run_headless(const Options& o) {
    try {
        const TtfLibrary ttf;
        const TtfFont font(o.data_dir, 1);
        HeadlessHost host;
        Game g;
        g.host = &host;
        g.set_font(&font);
        configure_game(g, o);
        Form_Load(g);
        type_keys(g, o.keys);
        return write_outputs(g, o) ? 0 : 1;
    } catch (const DataError& e) {
        std::cerr << "duskwend: " << e.what() << "\n";
        return 1;
    }
}
