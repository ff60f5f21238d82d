#pragma once
// One run of the game, in a window or headless: what the command line asked for, and the
// steps both kinds of run share.

#include "core/game.h"
#include "platform/font.h"
#include "platform/keys.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace duskwend {

struct Options {
    std::filesystem::path data_dir;
    std::optional<uint64_t> seed;
    int scale = 2;
    bool fullscreen = false;
    std::optional<double> message_delay;
    bool headless = false;
    // --serve: requests on stdin, answers on stdout (platform/serve.h).
    bool serve = false;
    std::vector<KeyPress> keys;
    std::string dump_text, dump_state, screenshot;
    // Pixels per logical pixel of the screenshot; the text is drawn at that size, not enlarged.
    int screenshot_scale = 1;
    // Where saves, the automap and the settings live; empty: the Data folder.
    std::filesystem::path save_dir;
    // --record: the file every key typed in the window is written to.
    std::string record;
};

// The largest width or height of a picture the game reads.
constexpr int MAX_PICTURE_SIDE = 4096;

// Whether a BMP's headers are whole and its pixel rows lie within the file: a width or a
// height beyond MAX_PICTURE_SIDE or the file's length is refused before anything is decoded.
bool bitmap_header_is_sound(std::span<const uint8_t> bytes);

// Decodes a BMP held in memory into the game's pixel form; nothing when it is unsound.
std::optional<Bitmap> read_bitmap_bytes(std::span<const uint8_t> bytes);

// Reads a bitmap file into the game's pixel form; nothing when it cannot be read.
std::optional<Bitmap> read_bitmap_file(const std::string& path);

// Hands the game its screens, and points it at its Data folder and start-up values.
void configure_game(Game& g, const Options& o);

// Types the key script; keys after the game has quit are ignored.
void type_keys(Game& g, const std::vector<KeyPress>& keys);

// Writes the dumps and the screenshot the options ask for; false (with a message on stderr)
// when one cannot be written.
bool write_outputs(const Game& g, const Options& o);

// Headless: nothing to present, no time to wait, so a message never pauses.
class HeadlessHost final : public Host {
  public:
    std::optional<Bitmap> load_bitmap(const std::string& path) override {
        return read_bitmap_file(path);
    }
};

// A game without a window, started (Form_Load) on the options' Data folder with the font at
// the frame's own size. Throws what start-up throws (a missing file, a broken one).
struct HeadlessGame {
    explicit HeadlessGame(const Options& o);
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    TtfLibrary ttf;
    TtfFont font;
    HeadlessHost host;
    Game g;
};

// A headless run; `before_keys`, when given, sees the started game before the script is typed.
int run_headless(const Options& o, const std::function<void(Game&)>& before_keys = {});
int run_window(const Options& o);

} // namespace duskwend
