#pragma once
// Small worlds built by the tests themselves with the record codecs.

#include "core/game.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace duskwend {

namespace fixture {

// A fresh empty folder under the system's temporary folder, removed by the destructor.
struct TempDir {
    explicit TempDir(const std::string& name);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::filesystem::path path;
};

// Writes records into a file of fixed slots: record i goes to slot i + 1.
template <class Rec>
void write_slots(const std::filesystem::path& file, const std::vector<Rec>& records,
                 long slot_length);

std::vector<uint8_t> read_bytes(const std::filesystem::path& file);
// The whole file as a string; empty when it cannot be read.
std::string read_text(const std::filesystem::path& file);

// Writes a 24-bit BMP of one colour.
void write_bmp(const std::filesystem::path& file, int width, int height, uint32_t rgb);

// A small complete Data folder: a few items, monsters, shops, spells, progression entries,
// two maps, the pictures the start needs, and the build's font.
void write_small_world(const std::filesystem::path& dir);

// A fresh folder holding the small world.
struct SmallWorldDir : TempDir {
    explicit SmallWorldDir(const std::string& name) : TempDir(name) { write_small_world(path); }
};

// The item records write_small_world puts in Item.dat (entry 0 is the header).
std::vector<ItemRec> small_world_items();

// A host that serves every picture as a blank bitmap of its own, so screens can be drawn
// without picture files; it remembers what was asked for.
class BlankPictureHost final : public Host {
  public:
    std::optional<Bitmap> load_bitmap(const std::string& path) override {
        requested.push_back(path);
        return Bitmap(228, 140, 0x404040);
    }
    std::vector<std::string> requested;
};

// A game started on the given Data folder with message pauses off, a blank-picture host and
// the build's real font (so word wrap is measured as in the game).
struct StartedGame {
    explicit StartedGame(const std::filesystem::path& data_dir);
    BlankPictureHost host;
    Game g;
};

// The build's text font, opened once for all tests.
const FontMetrics& real_font();

// The texts of the runs printed in the text column since its last Cls(), in order.
std::vector<std::string> texts(const Game& g);

// A test with a small world of its own, written into a fresh folder named after the test;
// start_game() starts a game on it (after the test has changed the world as it needs).
class WorldTest : public ::testing::Test {
  protected:
    explicit WorldTest(const std::string& name) : dir(name) {}
    Game& start_game() {
        started = std::make_unique<StartedGame>(dir.path);
        return started->g;
    }
    Game& g() { return started->g; }
    std::vector<std::string> texts() const { return fixture::texts(started->g); }
    bool shows(const std::string& text) const;

    SmallWorldDir dir;
    std::unique_ptr<StartedGame> started;
};

// Types one key as the window would, through the key-line editor.
void press(Game& g, int16_t code, int shift = 0);
// Types a key script ("a", "{up}", ...).
void type(Game& g, const std::string& script);

} // namespace fixture

} // namespace duskwend
