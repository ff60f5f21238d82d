#pragma once
// A game played without a window for the balance tools: blank pictures, a fixed-width font,
// no message pauses, keys typed as a player types them and counted.

#include "core/codes.h"
#include "core/game.h"
#include "core/output_model.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace duskwend {

// Pictures are never looked at here: every picture is a blank one.
class BlankHost final : public Host {
  public:
    std::optional<Bitmap> load_bitmap(const std::string&) override { return Bitmap(228, 140); }
};

// A game started on a Data folder with its own host and font; throws when the world cannot be
// read.
struct HeadlessGame {
    HeadlessGame(const std::filesystem::path& data_dir, uint64_t seed);
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;
    BlankHost host;
    FixedWidthFont font;
    Game g;
};

// Types keys into a game through the key-line editor, as the window does, and counts them.
class Keyboard {
  public:
    explicit Keyboard(Game& g) : g_(g) {}
    // A key script: "a", "A", "{up}", "{enter}", " " ...
    void type(const std::string& script);
    // Keys a player types that the caller has put into the game by other means.
    void count(long n) { keys_ += n; }
    long keys() const { return keys_; }

  private:
    Game& g_;
    long keys_ = 0;
};

// The keys that create a Human Cleric (piety and vitality raised) and an Elf Mage
// (intelligence and vitality) in the guild hall, take them and the two characters every new
// game has into the party, and enter the city.
extern const char* const NEW_PARTY_KEYS;

// The classes of the new party's members are core/codes.h's CLASS_FIGHTER .. CLASS_MAGE.

} // namespace duskwend
