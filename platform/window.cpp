// The game in a desktop window: presenting frames, waiting for keys, the message pause.
#include "core/any_key.h"
#include "core/dispatch.h"
#include "core/overlays.h"
#include "platform/font.h"
#include "platform/frame.h"
#include "platform/session.h"
#include "platform/waiting_mark.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>

namespace duskwend {

namespace {

constexpr const char* WINDOW_TITLE = "Duskwend - Work in Progress";

class WindowHost final : public Host {
  public:
    WindowHost(const Options& o) : options_(o) {
        window_ = SDL_CreateWindow(WINDOW_TITLE, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   WINDOW_WIDTH * o.scale, WINDOW_HEIGHT * o.scale,
                                   SDL_WINDOW_ALLOW_HIGHDPI);
        if (!window_) throw DataError(std::string("Cannot open the window: ") + SDL_GetError());
        renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (!renderer_) {
            const std::string why = SDL_GetError();
            SDL_DestroyWindow(window_);
            throw DataError("Cannot draw in the window: " + why);
        }
        // X11 leaves full screen to a window manager, and with none the window would keep its
        // size while SDL believes it covers the screen; there the window covers the screen
        // itself, as a borderless window.
        const char* driver = SDL_GetCurrentVideoDriver();
        covers_screen_itself_ = driver && std::string(driver) == "x11";
        if (o.fullscreen) set_fullscreen(true);
    }
    ~WindowHost() override {
        if (texture_) SDL_DestroyTexture(texture_);
        SDL_DestroyRenderer(renderer_);
        SDL_DestroyWindow(window_);
    }
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    bool close_requested = false;
    // Keys typed during a message pause, in order, for the main loop to hand to the game when
    // the pause is over; with type_ahead off (settings.ini) they are dropped.
    bool type_ahead = true;
    std::deque<KeyPress> typed_ahead;

    void repaint(Game& g) override {
        int w = 0, h = 0;
        SDL_GetRendererOutputSize(renderer_, &w, &h);
        // The largest whole scale that fits: crisp pixels in full screen and in the window.
        const int scale = std::max(1, std::min(w / WINDOW_WIDTH, h / WINDOW_HEIGHT));
        SurfacePtr frame = compose_frame(g, font_at(scale), scale);
        if (!frame) return;
        // Not while a message pauses: keys typed then wait for the pause, not for the mark.
        mark_wanted_ = !pausing_ && sub_waits_for_any_key(g);
        if (mark_wanted_ && waiting_mark_shown_at(SDL_GetTicks64()))
            draw_waiting_mark(frame.get(), g.Form1.Text, scale);
        if (!texture_ || texture_scale_ != scale) {
            if (texture_) SDL_DestroyTexture(texture_);
            texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_XRGB8888,
                                         SDL_TEXTUREACCESS_STREAMING, frame->w, frame->h);
            texture_scale_ = scale;
        }
        SDL_UpdateTexture(texture_, nullptr, frame->pixels, frame->pitch);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        const SDL_Rect at{(w - frame->w) / 2, (h - frame->h) / 2, frame->w, frame->h};
        SDL_RenderCopy(renderer_, texture_, nullptr, &at);
        SDL_RenderPresent(renderer_);
    }

    // Keeps the window alive for the pause: frames are presented, the window manager is
    // answered, keys typed meanwhile are kept for later (or dropped), and the thread sleeps
    // between events.
    void pause(Game& g, double seconds) override {
        pausing_ = true;
        repaint(g);
        const uint64_t end = SDL_GetTicks64() + static_cast<uint64_t>(seconds * 1000);
        for (uint64_t now = SDL_GetTicks64(); now < end && !close_requested;
             now = SDL_GetTicks64()) {
            SDL_Event e;
            if (!SDL_WaitEventTimeout(&e, static_cast<int>(end - now))) continue;
            if (handle_window_event(g, e) || e.type != SDL_KEYDOWN) continue;
            if (is_fullscreen_toggle(e.key.keysym)) {
                toggle_fullscreen(g);
                continue;
            }
            const auto key = key_from_sdl(e.key.keysym.sym, e.key.keysym.mod);
            if (key && type_ahead) typed_ahead.push_back(*key);
        }
        pausing_ = false;
    }

    // Milliseconds until the waiting mark blinks, when the frame last shown carries it.
    std::optional<int> until_blink() const {
        if (!mark_wanted_) return std::nullopt;
        return static_cast<int>(WAITING_MARK_BLINK_MS - SDL_GetTicks64() % WAITING_MARK_BLINK_MS);
    }

    static bool is_fullscreen_toggle(const SDL_Keysym& k) {
        return (k.sym == SDLK_RETURN || k.sym == SDLK_KP_ENTER) && (k.mod & KMOD_ALT);
    }

    std::optional<Bitmap> load_bitmap(const std::string& path) override {
        return read_bitmap_file(path);
    }

    void set_title(Game&, const std::string& title) override {
        SDL_SetWindowTitle(window_, title.c_str());
    }

    // Window-level events; true when the event was one (keys are left to the caller).
    bool handle_window_event(Game& g, const SDL_Event& e) {
        switch (e.type) {
        case SDL_QUIT:
            close_requested = true;
            return true;
        case SDL_WINDOWEVENT:
            repaint(g);
            return true;
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET:
            if (texture_) SDL_DestroyTexture(texture_);
            texture_ = nullptr;
            repaint(g);
            return true;
        default:
            return false;
        }
    }

    void toggle_fullscreen(Game& g) {
        set_fullscreen(!fullscreen_);
        repaint(g);
    }

    // Full screen covers the display the window is on; the frame is scaled by the largest
    // whole factor that fits and centred on black (repaint). Back in a window, the window
    // gets its old place and size.
    void set_fullscreen(bool on) {
        if (on == fullscreen_) return;
        fullscreen_ = on;
        if (!covers_screen_itself_) {
            SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
            return;
        }
        if (on) {
            SDL_GetWindowPosition(window_, &windowed_.x, &windowed_.y);
            SDL_GetWindowSize(window_, &windowed_.w, &windowed_.h);
            SDL_Rect screen{};
            if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &screen) != 0)
                return;
            SDL_SetWindowBordered(window_, SDL_FALSE);
            SDL_SetWindowPosition(window_, screen.x, screen.y);
            SDL_SetWindowSize(window_, screen.w, screen.h);
        } else {
            SDL_SetWindowBordered(window_, SDL_TRUE);
            SDL_SetWindowSize(window_, windowed_.w, windowed_.h);
            SDL_SetWindowPosition(window_, windowed_.x, windowed_.y);
        }
    }

    void show_error(const std::string& message) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Duskwend", message.c_str(), window_);
    }

  private:
    const TtfFont& font_at(int scale) {
        auto it = fonts_.find(scale);
        if (it == fonts_.end())
            it = fonts_.emplace(scale, std::make_unique<TtfFont>(options_.data_dir, scale)).first;
        return *it->second;
    }

    const Options& options_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int texture_scale_ = 0;
    bool pausing_ = false, mark_wanted_ = false;
    bool covers_screen_itself_ = false, fullscreen_ = false;
    SDL_Rect windowed_{}; // the window's place and size before full screen
    std::map<int, std::unique_ptr<TtfFont>> fonts_;
};

// Raised when there is no screen to show the window on.
struct NoDisplay : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct SdlLibrary {
    SdlLibrary() {
        // Without a desktop to show it on, SDL would try every driver (each complaining in its
        // own words) and settle for one that draws nowhere. A console display is still
        // reached by naming its driver in SDL_VIDEODRIVER.
        const auto set = [](const char* name) {
            const char* v = std::getenv(name);
            return v && *v;
        };
        if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("SDL_VIDEODRIVER"))
            throw NoDisplay("There is no display to open the window on (neither DISPLAY nor "
                            "WAYLAND_DISPLAY is set); --headless plays without one");
        if (SDL_Init(SDL_INIT_VIDEO) != 0)
            throw NoDisplay(std::string("There is no display to open the window on (") +
                            SDL_GetError() + "); --headless plays without one");
        // The stand-in drivers draw where nobody can see: that is no place to play.
        const char* driver = SDL_GetCurrentVideoDriver();
        const std::string name = driver ? driver : "";
        if (name.empty() || name == "dummy" || name == "offscreen") {
            SDL_Quit();
            throw NoDisplay("There is no display to open the window on (only the " + name +
                            " driver); --headless plays without one");
        }
    }
    ~SdlLibrary() { SDL_Quit(); }
    SdlLibrary(const SdlLibrary&) = delete;
    SdlLibrary& operator=(const SdlLibrary&) = delete;
};

void report(WindowHost* host, const std::string& message) {
    std::cerr << "duskwend: " << message << "\n";
    if (host)
        host->show_error(message);
    else
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Duskwend", message.c_str(), nullptr);
}

} // namespace

int run_window(const Options& o) {
    std::unique_ptr<SdlLibrary> sdl;
    std::unique_ptr<TtfLibrary> ttf;
    std::unique_ptr<WindowHost> host;
    try {
        sdl = std::make_unique<SdlLibrary>();
        ttf = std::make_unique<TtfLibrary>();
        const TtfFont metrics(o.data_dir, 1);
        host = std::make_unique<WindowHost>(o);
        Game g;
        g.host = host.get();
        g.set_font(&metrics);
        configure_game(g, o);
        // A recording names the seed the run starts from, so a replay meets the same dice.
        std::ofstream record;
        if (!o.record.empty()) {
            if (!g.start_seed) g.start_seed = clock_seed();
            record.open(o.record, std::ios::binary | std::ios::trunc);
            record << "{seed " << *g.start_seed << "}\n" << std::flush;
            if (!record) throw DataError("Cannot write the recording to " + o.record);
        }
        const auto recorded = [&](const KeyPress& key) {
            if (!record.is_open() || is_on(g.quit_requested)) return;
            record << key_script_text(key) << (key.code == VK_RETURN ? "\n" : "") << std::flush;
        };
        // A key reaches the game; then the keys typed ahead during its pauses follow, in
        // order, as if typed now (and so they are recorded now).
        const auto press = [&](const KeyPress& key) {
            recorded(key);
            int16_t code = key.code;
            Form_KeyDown(g, code, key.shift);
            if (!is_on(g.quit_requested)) host->repaint(g);
        };
        const auto press_typed_ahead = [&] {
            while (!host->typed_ahead.empty() && !is_on(g.quit_requested) &&
                   !host->close_requested) {
                const KeyPress key = host->typed_ahead.front();
                host->typed_ahead.pop_front();
                press(key);
            }
        };
        host->type_ahead = read_setting(g.data_files.save_folder(), "type_ahead") != "false";
        Form_Load(g);
        for (const KeyPress& k : o.keys) recorded(k);
        type_keys(g, o.keys);
        bool outputs_ok = write_outputs(g, o);
        host->repaint(g);
        press_typed_ahead();

        while (!is_on(g.quit_requested) && !host->close_requested) {
            SDL_Event e;
            if (const auto blink = host->until_blink()) {
                if (!SDL_WaitEventTimeout(&e, *blink + 1)) {
                    host->repaint(g);
                    continue;
                }
            } else if (!SDL_WaitEvent(&e)) {
                break;
            }
            if (host->handle_window_event(g, e) || e.type != SDL_KEYDOWN) continue;
            const SDL_Keysym& k = e.key.keysym;
            if (WindowHost::is_fullscreen_toggle(k)) {
                host->toggle_fullscreen(g);
                continue;
            }
            const auto key = key_from_sdl(k.sym, k.mod);
            if (!key) continue;
            press(*key);
            press_typed_ahead();
        }
        return outputs_ok ? 0 : 1;
    } catch (const NoDisplay& e) {
        std::cerr << "duskwend: " << e.what() << "\n";
        return 1;
    } catch (const DataError& e) {
        report(host.get(), e.what());
        return 1;
    } catch (const std::exception& e) {
        report(host.get(), e.what());
        return 1;
    }
}

} // namespace duskwend
