// The game in a web page: the frame drawn on the page's canvas at a whole scale, keys taken
// from the page and mapped as the window maps SDL's, the message pause as a sleep that lets the
// page run on, and saves kept in the browser's storage (synced after every key that wrote).
// The page's half is platform/web/page.js, shell.html and the functions below written in JS.
#include "core/any_key.h"
#include "core/dispatch.h"
#include "core/overlays.h"
#include "core/random.h"
#include "platform/dumps.h"
#include "platform/font.h"
#include "platform/frame.h"
#include "platform/session.h"
#include "platform/waiting_mark.h"

#include <emscripten.h>

#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

// The page's side. Strings handed back are malloc'd and freed here.
// clang-format off
EM_JS(char*, page_option, (const char* name), {
    const v = Module.duskwendOptions ? Module.duskwendOptions[UTF8ToString(name)] : undefined;
    if (v === undefined || v === null) return 0;
    const n = lengthBytesUTF8(v) + 1, p = _malloc(n);
    stringToUTF8(v, p, n);
    return p;
});
EM_JS(void, page_mount_saves, (const char* dir), { Module.duskwendPage.mountSaves(UTF8ToString(dir)); });
EM_JS(int, page_storage_busy, (), { return Module.duskwendPage.storageBusy() ? 1 : 0; });
EM_JS(int, page_sync_saves, (), { return Module.duskwendPage.syncIfChanged() ? 1 : 0; });
EM_JS(int, page_scale, (), { return Module.duskwendPage.scale(); });
EM_JS(void, page_draw, (const uint8_t* rgba, int w, int h), { Module.duskwendPage.draw(rgba, w, h); });
EM_JS(int, page_next_key, (), { return Module.duskwendPage.nextKey(); });
EM_JS(int, page_key_mod, (), { return Module.duskwendPage.keyMod(); });
EM_JS(void, page_drop_keys, (), { Module.duskwendPage.dropKeys(); });
EM_JS(int, page_wants_repaint, (), { return Module.duskwendPage.takeRepaintWish() ? 1 : 0; });
EM_JS(void, page_mark_area, (int x, int y, int w, int h), { window.duskwendMarkArea = [x, y, w, h]; });
EM_JS(void, page_key_handled, (), { Module.duskwendPage.keyHandled(); });
EM_JS(void, page_script_done, (), { Module.duskwendPage.scriptDone(); });
EM_JS(void, page_set_title, (const char* title), { document.title = UTF8ToString(title); });
EM_JS(void, page_stopped, (const char* message), { Module.duskwendPage.stopped(UTF8ToString(message)); });
// clang-format on

namespace duskwend {
namespace {

// Where the page preloads Data and mounts the browser's storage.
constexpr const char* DATA_DIR = "/Data";
constexpr const char* SAVE_DIR = "/save";
// How long the idle loop sleeps between looks at the page's keys.
constexpr int IDLE_SLEEP_MS = 4;

std::string take_option(const char* name) {
    char* p = page_option(name);
    if (!p) return {};
    std::string s(p);
    free(p);
    return s;
}

// Saves reach the browser's storage before the next key is taken.
void sync_saves() {
    if (!page_sync_saves()) return;
    while (page_storage_busy()) emscripten_sleep(1);
}

class WebHost final : public Host {
  public:
    explicit WebHost(const Options& o) : fonts_(o.data_dir) {}

    bool type_ahead = true;

    void repaint(Game& g) override {
        const int scale = std::max(1, page_scale());
        SurfacePtr frame = compose_frame(g, fonts_.at(scale), scale);
        if (!frame) return;
        mark_wanted_ = !pausing_ && sub_waits_for_any_key(g);
        // Where the blinking mark may be, for a reader comparing the canvas with a screenshot.
        const SDL_Rect mark = mark_wanted_ ? waiting_mark_area(g.Form1.Text) : SDL_Rect{};
        page_mark_area(mark.x, mark.y, mark.w, mark.h);
        if (mark_wanted_ && waiting_mark_shown_at(emscripten_get_now()))
            draw_waiting_mark(frame.get(), g.Form1.Text, scale);
        // The canvas takes bytes in the order red, green, blue, alpha.
        rgba_.resize(std::size_t(frame->w) * frame->h * 4);
        SDL_LockSurface(frame.get());
        for (int y = 0; y < frame->h; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                static_cast<const uint8_t*>(frame->pixels) + std::size_t(y) * frame->pitch);
            uint8_t* out = rgba_.data() + std::size_t(y) * frame->w * 4;
            for (int x = 0; x < frame->w; ++x, out += 4) {
                out[0] = uint8_t(row[x] >> 16);
                out[1] = uint8_t(row[x] >> 8);
                out[2] = uint8_t(row[x]);
                out[3] = 0xFF;
            }
        }
        SDL_UnlockSurface(frame.get());
        page_draw(rgba_.data(), frame->w, frame->h);
        shown_phase_ = blink_phase();
    }

    // The page runs on while the game waits: keys typed meanwhile stay in the page's queue
    // for afterwards, or are dropped when type-ahead is off.
    void pause(Game& g, double seconds) override {
        pausing_ = true;
        repaint(g);
        if (seconds > 0) emscripten_sleep(static_cast<unsigned>(seconds * 1000));
        pausing_ = false;
        if (!type_ahead) page_drop_keys();
    }

    std::optional<Bitmap> load_bitmap(const std::string& path) override {
        return read_bitmap_file(path);
    }

    void set_title(Game&, const std::string& title) override { page_set_title(title.c_str()); }

    // Whether the waiting mark has turned since the frame shown was drawn.
    bool mark_turned() const { return mark_wanted_ && blink_phase() != shown_phase_; }

  private:
    static uint64_t blink_phase() {
        return static_cast<uint64_t>(emscripten_get_now()) / WAITING_MARK_BLINK_MS;
    }

    bool pausing_ = false, mark_wanted_ = false;
    uint64_t shown_phase_ = 0;
    std::vector<uint8_t> rgba_;
    ScaledFonts fonts_;
};

// The running game, for the page's dumps.
Game* running_game = nullptr;

// The options of the address: ?seed=N&delay=S&keys=<key script>.
Options page_options() {
    Options o;
    o.data_dir = DATA_DIR;
    o.save_dir = SAVE_DIR;
    const std::string seed = take_option("seed"), delay = take_option("delay"),
                      keys = take_option("keys");
    if (!seed.empty()) {
        if (seed.size() > 19 || seed.find_first_not_of("0123456789") != std::string::npos)
            throw std::invalid_argument("seed=" + seed + ": must be a whole number, 0 or more");
        o.seed = std::stoull(seed);
    }
    if (!delay.empty()) {
        std::size_t used = 0;
        double d = -1;
        try {
            d = std::stod(delay, &used);
        } catch (const std::exception&) {
        }
        if (used != delay.size() || !(d >= 0 && d <= 60))
            throw std::invalid_argument("delay=" + delay + ": must be seconds from 0 to 60");
        o.message_delay = d;
    }
    KeyScript script = read_key_script(keys);
    o.keys = std::move(script.keys);
    if (script.seed && !o.seed) o.seed = script.seed;
    return o;
}

int run() {
    page_mount_saves(SAVE_DIR);
    while (page_storage_busy()) emscripten_sleep(1);
    Options o;
    try {
        o = page_options();
    } catch (const std::invalid_argument& e) {
        page_stopped((std::string("The address asks for something the game cannot do: ") + e.what())
                         .c_str());
        return 2;
    }
    try {
        const TtfLibrary ttf;
        const TtfFont metrics(o.data_dir, 1);
        WebHost host(o);
        Game g;
        g.host = &host;
        g.set_font(&metrics);
        configure_game(g, o);
        running_game = &g;
        host.type_ahead = read_setting(g.data_files.save_folder(), "type_ahead") != "false";
        Form_Load(g);
        sync_saves();
        host.repaint(g);

        const auto press = [&](const KeyPress& key) {
            int16_t code = key.code;
            Form_KeyDown(g, code, key.shift);
            if (g.quit_requested != 1) host.repaint(g);
            sync_saves();
            page_key_handled();
        };
        for (const KeyPress& k : o.keys) {
            if (is_on(g.quit_requested)) break;
            press(k);
        }
        page_script_done();

        while (!is_on(g.quit_requested)) {
            if (const int sdl_key = page_next_key()) {
                if (const auto key = key_from_sdl(sdl_key, uint16_t(page_key_mod()))) press(*key);
                continue;
            }
            if (page_wants_repaint() || host.mark_turned()) host.repaint(g);
            emscripten_sleep(IDLE_SLEEP_MS);
        }
        running_game = nullptr;
        sync_saves();
        page_stopped("The game has ended. Reload the page to play again.");
        return 0;
    } catch (const std::exception& e) {
        running_game = nullptr;
        std::cerr << "duskwend: " << e.what() << "\n";
        page_stopped(e.what());
        return 1;
    }
}

} // namespace

// The page has no PNG writer (SDL_image is not built for it) and never asks for a screenshot:
// a picture of the page is taken from its canvas. An empty answer is a screenshot that failed.
std::string frame_png(const Game&, const TtfFont&, int) {
    return {};
}

} // namespace duskwend

extern "C" {

// Whether the game takes this key (an SDL keycode and modifier state): the page keeps such a
// key from the browser.
EMSCRIPTEN_KEEPALIVE int duskwend_takes_key(int sdl_key, int sdl_mod) {
    return duskwend::key_from_sdl(sdl_key, uint16_t(sdl_mod)).has_value() ? 1 : 0;
}

// What --dump-text ("text") and --dump-state ("state") would write now; empty before the game
// has started or after it has ended. The text stays valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* duskwend_dump(const char* which) {
    static std::string out;
    out.clear();
    const duskwend::Game* g = duskwend::running_game;
    if (!g) return out.c_str();
    const std::string w = which ? which : "";
    if (w == "text") out = duskwend::text_dump(*g);
    if (w == "state") out = duskwend::state_dump(*g).dump(2) + "\n";
    return out.c_str();
}
}

int main() {
    return duskwend::run();
}
