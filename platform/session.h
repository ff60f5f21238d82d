#pragma once
// One run of the game, in a window or headless: what the command line asked for, and the
// steps both kinds of run share.

#include "core/game.h"
#include "platform/keys.h"

#include <cstdint>
#include <filesystem>
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
    std::vector<KeyPress> keys;
    std::string dump_text, dump_state, screenshot;
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

int run_headless(const Options& o);
int run_window(const Options& o);

} // namespace duskwend
