#pragma once
// The six world files (fixed-size slots, fetched one record at a time into the buffers of
// Game) and the three save files (written and read whole).

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace duskwend {

struct Game;

// A data, save or picture file that is missing or unusable. Raised at start-up or when a
// file vanishes during the run; the platform reports it and ends the program.
struct DataError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Slot lengths of the files: fixed constants of the formats, longer than the records in them.
constexpr long ITEM_SLOT = 222, MONSTER_SLOT = 204, SHOP_SLOT = 86, SPELL_SLOT = 2314,
               SPELL_PROGRESSION_SLOT = 10, MAP_SLOT = 31622, ROSTER_SLOT = 392, PARTY_SLOT = 488,
               FLAG_SLOT = 2;
// Map numbers are 16-bit: no world has more maps than that.
constexpr int MAX_MAPS = 32767;
constexpr int ROSTER_SIZE = 11, PARTY_SIZE = 8, GAME_FLAG_COUNT = 101;
// A party holds up to seven members, in slots 0..6: the party table (and its save file) has an
// eighth slot that nothing fills. Keys 1..7 name the members.
constexpr int MAX_PARTY = 7;
// Masks a stored slot number (selected_member, cast_caster, ...) into the party table.
constexpr int PARTY_SLOT_MASK = PARTY_SIZE - 1;
static_assert((PARTY_SIZE & PARTY_SLOT_MASK) == 0, "the mask needs a power of two");

inline constexpr const char* ITEM_FILE = "Item.dat";
inline constexpr const char* MONSTER_FILE = "Mon.dat";
inline constexpr const char* SHOP_FILE = "Shop.dat";
inline constexpr const char* SPELL_FILE = "Mag.dat";
inline constexpr const char* SPELL_PROGRESSION_FILE = "MagProg.dat";
inline constexpr const char* MAP_FILE = "Maps.dat";
inline constexpr const char* ROSTER_SAVE_FILE = "L1chr.dat";
inline constexpr const char* PARTY_SAVE_FILE = "Save.dat";
inline constexpr const char* FLAGS_SAVE_FILE = "Savef.dat";
// Written once the three save files lie complete beside their targets: from then on the save
// counts as made, and an interrupted one is finished from it.
inline constexpr const char* SAVE_COMMIT_FILE = "Save.commit";

// The steps of saving and loading a game, named for the fault hook of DataFiles.
enum class SaveStep { write, flush, rename, read };

// One world file held open for the run.
class OpenDataFile {
  public:
    // Reads the file whole; a file that is missing, not a regular file or larger than
    // `max_bytes` is a DataError naming it.
    void open(const std::filesystem::path& path, long slot_length, std::size_t max_bytes);
    bool is_open() const { return open_; }
    // Copies `length` bytes of slot `slot` (counted from 1) from the file as it was read at
    // open; bytes the file does not have (or a slot below 1) come back as zeros.
    void read_slot(int64_t slot, uint8_t* out, std::size_t length);
    long size() const { return size_; }
    const std::filesystem::path& path() const { return path_; }

  private:
    bool open_ = false;
    std::filesystem::path path_;
    long slot_length_ = 0;
    long size_ = 0;
    std::vector<uint8_t> bytes_; // the whole file, read at open
};

struct DataFiles {
    std::filesystem::path dir = "Data";
    OpenDataFile item, monster, shop, spell, spell_progression;
    int map_count = 0; // maps in Maps.dat, counted at start-up
    // Tests set this to make a step of saving or loading fail on a given file, as a full disk
    // or a failing drive would; it answers true for the step that should fail.
    std::function<bool(SaveStep, const std::string& file)> save_fault;

    std::filesystem::path path_of(const std::string& name) const { return dir / name; }
    // Where saves, the automap and the settings go; empty: the Data folder.
    std::filesystem::path save_dir;
    std::filesystem::path save_folder() const { return save_dir.empty() ? dir : save_dir; }
};

// Opens the five world files that stay open, reads their headers and map 1.
void sub_open_data_files(Game& g);

// Fetch entry n of a world file into its buffer (item_rec, ...). Entries outside the file
// give an all-zero record.
void sub_read_item(Game& g, int32_t n);
void sub_read_monster(Game& g, int32_t n);
void sub_read_shop(Game& g, int32_t n);
void sub_read_spell(Game& g, int32_t n);
void sub_read_spell_progression(Game& g, int32_t n);

// Whether entry n is one of the items / spells the world files hold (1 to the header's count).
bool item_exists(const Game& g, int n);
bool spell_exists(const Game& g, int n);

// Reads map n (slot n of Maps.dat) into map_rec and sets map_level; a map the file does not
// hold reads as all zeros.
void sub_load_map(Game& g, int n);

// Writes roster, party and game flags as one: each file is written and flushed beside its
// target, then the commit file is put in place, then the three are renamed over the old ones
// and the commit file is removed. A save that fails before the commit file leaves the previous
// game intact; one interrupted after it is finished by sub_finish_interrupted_save. Returns
// false when the game could not be saved.
bool write_save_files(Game& g);

// Finishes a save interrupted after its commit file was written, and discards the leftovers
// of one interrupted before. Run at start-up and before every load. False when a commit
// could not be finished (the save files may then not belong together).
bool sub_finish_interrupted_save(Game& g);

// Reads roster, party and game flags. When any file is missing, unreadable, shorter or longer
// than its slots, or an interrupted save cannot be finished, nothing changes and false is
// returned. Values no rule can produce are brought into range (sub_check_loaded_game).
bool read_save_files(Game& g);

// Brings the values of a loaded roster and party that no rule can produce back into range
// (in_use, crowns, hit and magic points, items and their quantities, the party's
// places), with one line on stderr for each.
void sub_check_loaded_game(Game& g);

} // namespace duskwend
