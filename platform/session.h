#pragma once
// One run of the game, in a window or headless: what the command line asked for, and the
// steps both kinds of run share.

#include "core/game.h"
#include "platform/keys.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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

// Reads a bitmap file into the game's pixel form; nothing when it cannot be read.
std::optional<Bitmap> read_bitmap_file(const std::string& path);

// Points the game at its Data folder and start-up values.
void configure_game(Game& g, const Options& o);

// Types the key script; keys after the game has quit are ignored.
void type_keys(Game& g, const std::vector<KeyPress>& keys);

// Writes the dumps and the screenshot the options ask for; false (with a message on stderr)
// when one cannot be written.
bool write_outputs(const Game& g, const Options& o);

int run_headless(const Options& o);
int run_window(const Options& o);
