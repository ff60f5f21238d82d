// The real program in a real window, on an X server of the test's own (Xvfb): keys typed with
// xdotool as a player types them, the frame read back from the screen.
#include "core/dispatch.h"
#include "platform/font.h"
#include "platform/frame.h"
#include "platform/session.h"
#include "platform/waiting_mark.h"
#include "support/fixture.h"

#include <SDL_image.h>
#include <gtest/gtest.h>
#if DUSKWEND_X11
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace duskwend {

namespace fs = std::filesystem;
using fixture::TempDir;
using namespace std::chrono_literals;
using fixture::read_text;

namespace {

// A child process with its output sent to a file; ended with SIGTERM (which the window takes
// as closing it) when still running at the end.
class Child {
  public:
    Child(const std::vector<std::string>& args, const fs::path& output,
          const std::string& display = "") {
        pid_ = fork();
        if (pid_ != 0) return;
        if (!display.empty()) {
            setenv("DISPLAY", display.c_str(), 1);
            unsetenv("WAYLAND_DISPLAY");
            unsetenv("SDL_VIDEODRIVER");
        }
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(out, 2);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    ~Child() { stop(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    // Ends it (SIGTERM) when still running.
    void stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

  private:
    pid_t pid_ = -1;
};

// An X server of the test's own on the first free display, which it names on its output;
// empty display() when Xvfb is missing.
struct Xvfb {
    explicit Xvfb(const fs::path& output)
        : server({"Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
                 output) {
        // Its warnings share the file: the number is the line of digits alone.
        for (int k = 0; k < 100 && display.empty(); ++k, std::this_thread::sleep_for(100ms)) {
            std::istringstream out(read_text(output));
            for (std::string line; std::getline(out, line);)
                if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
                    display = ":" + line;
        }
    }
    Child server;
    std::string display;
};

// Pixels as 0xRRGGBB, row after row.
struct Pixels {
    int x = 0, y = 0, width = 0, height = 0; // where they were taken from
    std::vector<uint32_t> rgb;
    uint32_t at(int px, int py) const { return rgb[std::size_t(py) * width + px]; }
};

// The pixels of a surface in the frame's format (XRGB8888).
Pixels pixels_of(const SDL_Surface* s) {
    Pixels p;
    p.width = s->w, p.height = s->h;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            p.rgb.push_back(
                reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                  std::size_t(y) * s->pitch)[x] &
                0xFFFFFF);
    return p;
}

// A PNG file's pixels.
Pixels read_png(const fs::path& file) {
    SDL_Surface* loaded = IMG_Load(file.c_str());
    if (!loaded) return {};
    SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_XRGB8888, 0);
    SDL_FreeSurface(loaded);
    Pixels p = pixels_of(s);
    SDL_FreeSurface(s);
    return p;
}

#if DUSKWEND_X11
// What the screen shows of a window (or the whole screen for window 0), with the window's
// place on the screen.
Pixels screen_pixels(const std::string& display, unsigned long window) {
    Pixels p;
    Display* d = XOpenDisplay(display.c_str());
    if (!d) return p;
    const Window root = DefaultRootWindow(d);
    XWindowAttributes a{};
    XGetWindowAttributes(d, window ? window : root, &a);
    Window child = 0;
    if (window) XTranslateCoordinates(d, window, root, 0, 0, &p.x, &p.y, &child);
    p.width = a.width, p.height = a.height;
    if (XImage* image = XGetImage(d, root, p.x, p.y, p.width, p.height, AllPlanes, ZPixmap)) {
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) p.rgb.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
        XDestroyImage(image);
    }
    XCloseDisplay(d);
    return p;
}
#endif

class Window : public ::testing::Test {
  protected:
    Window() : dir("window"), x(dir.path / "xvfb.txt") {
        fixture::write_small_world(data());
        fs::create_directories(saves());
    }
    void SetUp() override {
        if (x.display.empty()) GTEST_SKIP() << "Xvfb is not installed";
        if (std::system("command -v xdotool >/dev/null") != 0)
            GTEST_SKIP() << "xdotool is not installed";
    }
    fs::path data() const { return dir.path / "Data"; }
    fs::path saves() const { return dir.path / "saves"; }
    fs::path recording() const { return dir.path / "session.keys"; }

    // Starts the game in a window with a recording; false when its window never showed.
    bool start(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {
            DUSKWEND_BINARY, "--data-dir", data().string(), "--save-dir",        saves().string(),
            "--seed",        "1",          "--record",      recording().string()};
        args.insert(args.end(), extra.begin(), extra.end());
        game = std::make_unique<Child>(args, dir.path / "game.txt", x.display);
        window_id = xdotool("search --sync --name '^Duskwend'");
        if (window_id.empty()) return false;
        xdotool("windowfocus --sync " + window_id);
        return true;
    }
    // Runs xdotool on the test's display; its output without the last newline.
    std::string xdotool(const std::string& arguments) const {
        const std::string command = "DISPLAY=" + x.display + " timeout 20 xdotool " + arguments;
        std::string out;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[256];
            while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
            pclose(pipe);
        }
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
        const auto line = out.find('\n');
        return line == std::string::npos ? out : out.substr(0, line);
    }
    // Types keys (xdotool names) `delay_ms` apart.
    void keys(const std::string& names, int delay_ms) const {
        xdotool("key --delay " + std::to_string(delay_ms) + " " + names);
    }
    // The keys recorded so far, without the seed line and the line breaks.
    std::string recorded() const {
        std::string r = read_text(recording());
        if (r.rfind("{seed", 0) == 0) r.erase(0, r.find('\n') + 1);
        std::erase(r, '\n');
        return r;
    }
    // Waits until the recording holds `keys`, or gives up after `limit`.
    bool wait_for_recording(const std::string& keys, std::chrono::milliseconds limit = 20s) const {
        for (auto end = std::chrono::steady_clock::now() + limit;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(50ms))
            if (recorded() == keys) return true;
        return false;
    }
    // The state a headless run with these options reaches.
    std::string headless_state(const std::string& options) const {
        const fs::path state = dir.path / "state.json";
        const std::string command = std::string(DUSKWEND_BINARY) + " --headless --data-dir " +
                                    data().string() + " --save-dir " + saves().string() + " " +
                                    options + " --dump-state " + state.string();
        return std::system(command.c_str()) == 0 ? read_text(state) : "failed: " + command;
    }

    TempDir dir;
    Xvfb x;
    std::unique_ptr<Child> game;
    std::string window_id;
};

// The guild hall's keys that put both characters in the party and enter the city; then N,
// whose four lines pause half a second each, and X, the arrows and Tab 50 ms apart, inside
// those pauses.
const char* const PARTY_KEYS = "a t a x t a x x e";
const char* const PARTY_SCRIPT = "ataxtaxxe";
const char* const THROUGH_PAUSE_KEYS = "n x Up Right Up Left Up Tab";
const char* const THROUGH_PAUSE_SCRIPT = "nx{up}{right}{up}{left}{up}{tab}";

TEST_F(Window, KeysTypedDuringAPauseArriveInOrderAndReplayOrWithTypeAheadOffAreDropped) {
    const std::string all = std::string(PARTY_SCRIPT) + THROUGH_PAUSE_SCRIPT;
    for (const bool type_ahead : {true, false}) {
        std::ofstream(saves() / "settings.ini")
            << "type_ahead = " << std::boolalpha << type_ahead << "\n";
        ASSERT_TRUE(start({"--message-delay", "0.5"})) << read_text(dir.path / "game.txt");
        keys(PARTY_KEYS, 100);
        ASSERT_TRUE(wait_for_recording(PARTY_SCRIPT)) << recorded();
        const auto typed = std::chrono::steady_clock::now();
        keys(THROUGH_PAUSE_KEYS, 50);
        if (!type_ahead) {
            // The keys typed in the pauses are lost; after them keys arrive again.
            std::this_thread::sleep_for(2500ms);
            keys("x", 0);
            EXPECT_TRUE(wait_for_recording(std::string(PARTY_SCRIPT) + "nx")) << recorded();
            continue;
        }
        // All waited for the pauses: the last reached the game two seconds after N.
        ASSERT_TRUE(wait_for_recording(all)) << recorded();
        EXPECT_GE(std::chrono::steady_clock::now() - typed, 1800ms);
        // Not its exit status: under the sanitizers the leak check reports SDL's own
        // allocations at exit. The recording below is what this test is about.
        game->stop();
        // The recording replays to the state the same keys reach typed one by one.
        const std::string replayed = headless_state("--keys-file " + recording().string());
        EXPECT_EQ(replayed, headless_state("--seed 1 --keys '" + all + "'"));
        EXPECT_NE(replayed.find("\"party_facing\": 0"), std::string::npos);
    }
}

#if DUSKWEND_X11
// The frame of a fresh start on a Data folder, composed at `scale` as the window composes it.
Pixels start_frame(const fs::path& data, const fs::path& saves, int scale) {
    struct PictureHost final : Host {
        std::optional<Bitmap> load_bitmap(const std::string& path) override {
            return read_bitmap_file(path);
        }
    } host;
    const TtfLibrary ttf;
    const TtfFont metrics(data, 1), font(data, scale);
    Game g;
    g.host = &host;
    g.set_font(&metrics);
    Options o;
    o.data_dir = data;
    o.save_dir = saves;
    o.seed = 1;
    configure_game(g, o);
    Form_Load(g);
    return pixels_of(compose_frame(g, font, scale).get());
}

// Whether `part` shows at (x, y) of `screen`.
bool shows_at(const Pixels& screen, const Pixels& part, int x, int y) {
    if (x < 0 || y < 0 || x + part.width > screen.width || y + part.height > screen.height)
        return false;
    for (int j = 0; j < part.height; ++j)
        for (int i = 0; i < part.width; ++i)
            if (screen.at(x + i, y + j) != part.at(i, j)) return false;
    return true;
}

TEST_F(Window, FullScreenScalesTheFrameByAWholeFactorCentredAndGivesTheWindowBack) {
    ASSERT_TRUE(start({"--scale", "1"})) << read_text(dir.path / "game.txt");
    const unsigned long id = std::stoul(window_id);
    const Pixels small = start_frame(data(), saves(), 1), large = start_frame(data(), saves(), 2);
    // Waits up to five seconds for the screen to show what `ok` looks for.
    const auto settles = [&](const auto& ok) {
        for (int k = 0; k < 50; ++k, std::this_thread::sleep_for(100ms))
            if (ok(screen_pixels(x.display, id))) return true;
        return false;
    };
    Pixels before;
    ASSERT_TRUE(settles([&](const Pixels& w) {
        before = w;
        return w.width == WINDOW_WIDTH && shows_at(w, small, 0, 0);
    }));

    for (int round = 0; round < 2; ++round) {
        keys("alt+Return", 0);
        // 1280 × 1024 holds the frame twice (980 × 710), centred; the rest is black.
        EXPECT_TRUE(settles([&](const Pixels& screen) {
            if (screen.x != 0 || screen.y != 0 || screen.width != 1280 || screen.height != 1024)
                return false;
            if (!shows_at(screen, large, 150, 157)) return false;
            for (int y = 0; y < screen.height; ++y)
                for (int x = 0; x < screen.width; ++x)
                    if ((x < 150 || x >= 1130 || y < 157 || y >= 867) && screen.at(x, y) != 0)
                        return false;
            return true;
        })) << "full screen, round "
            << round;
        keys("alt+Return", 0);
        // The window as it was: its place, its size, the frame at scale 1.
        EXPECT_TRUE(settles([&](const Pixels& w) {
            return w.x == before.x && w.y == before.y && w.width == WINDOW_WIDTH &&
                   w.height == WINDOW_HEIGHT && shows_at(w, small, 0, 0);
        })) << "back in a window, round "
            << round;
    }
}

// How many pixels of the waiting mark's place hold its colour, at scale 1.
int mark_pixels(const Pixels& frame) {
    const PictureArea text{240, 0, 249, 353};
    const SDL_Rect at = waiting_mark_area(text);
    int n = 0;
    for (int y = at.y; y < at.y + at.h; ++y)
        for (int x = at.x; x < at.x + at.w; ++x) n += frame.at(x, y) == 0x000080;
    return n;
}

TEST_F(Window, TheWaitingMarkBlinksWhileAKeyIsAwaitedAndNeverEntersAScreenshot) {
    ASSERT_TRUE(start({"--scale", "1"})) << read_text(dir.path / "game.txt");
    const unsigned long id = std::stoul(window_id);
    // Over two blinks: how many frames showed the mark, and how many did not.
    const auto watch = [&] {
        std::pair<int, int> shown_hidden;
        for (int k = 0; k < 12; ++k) {
            const Pixels frame = screen_pixels(x.display, id);
            if (frame.width != WINDOW_WIDTH) return std::pair{-1, -1};
            (mark_pixels(frame) > 0 ? shown_hidden.first : shown_hidden.second)++;
            std::this_thread::sleep_for(100ms);
        }
        return shown_hidden;
    };
    // The guild hall's menu waits for its letters: no mark.
    EXPECT_EQ(watch(), std::pair(0, 12));
    // A save waits for any key: the mark comes and goes.
    keys("s", 0);
    ASSERT_TRUE(wait_for_recording("s"));
    const auto [shown, hidden] = watch();
    EXPECT_GT(shown, 0);
    EXPECT_GT(hidden, 0);
    // Any key: the menu again, and the mark has gone.
    keys("space", 0);
    ASSERT_TRUE(wait_for_recording("s "));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(watch(), std::pair(0, 12));

    // The same wait in a screenshot: no mark, and the text model knows nothing of it.
    headless_state("--seed 1 --keys s --screenshot " + (dir.path / "s.png").string());
    const Pixels screenshot = read_png(dir.path / "s.png");
    ASSERT_EQ(screenshot.width, WINDOW_WIDTH);
    EXPECT_EQ(mark_pixels(screenshot), 0);
}
#endif

} // namespace

} // namespace duskwend
