// duskwend-screenshots: the README's pictures of the game, played from fixed key scripts.
//   duskwend-screenshots <Data> <scenes.toml> <folder>          writes <folder>/<name>.png
//   duskwend-screenshots <Data> <scenes.toml> <folder> --check  fails when one differs
// Each scene is a new game in an empty save folder: the keys of the scene it continues
// (`after`), then its own, typed headless; the frame is drawn at twice the window's size.

#include "platform/frame.h"
#include "platform/keys.h"
#include "platform/session.h"

#include <SDL_image.h>
#include <toml++/toml.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace duskwend {
namespace {

namespace fs = std::filesystem;

constexpr int SCALE = 2;

struct Scene {
    std::string name, keys;
    // Flags set once the game has started, for a scene deep in the story: (flag, value).
    std::vector<std::pair<int, int16_t>> flags;
};

std::vector<Scene> read_scenes(const fs::path& file) {
    const toml::table doc = toml::parse_file(file.string());
    const toml::array* list = doc["scene"].as_array();
    if (!list) throw std::runtime_error(file.string() + ": no [[scene]] tables");
    std::vector<Scene> scenes;
    for (const toml::node& node : *list) {
        const toml::table* t = node.as_table();
        const std::string where = file.string() + ", scene " + std::to_string(scenes.size() + 1);
        if (!t) throw std::runtime_error(where + ": not a table");
        Scene s;
        s.name = (*t)["name"].value_or(std::string());
        if (s.name.empty() ||
            s.name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-") != std::string::npos)
            throw std::runtime_error(where + ": name must be lower-case letters, digits and -");
        if (const auto after = (*t)["after"].value<std::string>()) {
            auto it = std::find_if(scenes.begin(), scenes.end(),
                                   [&](const Scene& e) { return e.name == *after; });
            if (it == scenes.end())
                throw std::runtime_error(where + ": after = \"" + *after +
                                         "\" names no scene above it");
            s.keys = it->keys;
            s.flags = it->flags;
        }
        s.keys += (*t)["keys"].value_or(std::string());
        if (const toml::table* flags = (*t)["flags"].as_table()) {
            for (const auto& [key, value] : *flags) {
                const std::string k(key.str());
                const auto v = value.value<int64_t>();
                const bool number = !k.empty() && k.size() < 6 &&
                                    k.find_first_not_of("0123456789") == std::string::npos;
                if (!number || std::stoi(k) >= GAME_FLAG_COUNT || !v || *v < INT16_MIN ||
                    *v > INT16_MAX)
                    throw std::runtime_error(where + ": flag " + k + " must be below " +
                                             std::to_string(GAME_FLAG_COUNT) +
                                             " and hold a 16-bit whole number");
                s.flags.emplace_back(std::stoi(k), static_cast<int16_t>(*v));
            }
        }
        scenes.push_back(std::move(s));
    }
    return scenes;
}

bool render(const Scene& s, const fs::path& data, const fs::path& save_dir, const fs::path& png) {
    Options o;
    o.data_dir = data;
    o.save_dir = save_dir;
    o.headless = true;
    KeyScript script = read_key_script(s.keys);
    o.keys = std::move(script.keys);
    o.seed = script.seed.value_or(1);
    o.screenshot = png.string();
    o.screenshot_scale = SCALE;
    return run_headless(o, [&](Game& g) {
               for (const auto& [flag, value] : s.flags) g.game_flags[flag] = value;
           }) == 0;
}

// How many pixels of two pictures differ; -1 when one cannot be read or their sizes differ.
long differing_pixels(const fs::path& a, const fs::path& b) {
    SurfacePtr pa(IMG_Load(a.c_str())), pb(IMG_Load(b.c_str()));
    if (!pa || !pb) return -1;
    SurfacePtr x(SDL_ConvertSurfaceFormat(pa.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    SurfacePtr y(SDL_ConvertSurfaceFormat(pb.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    if (!x || !y || x->w != y->w || x->h != y->h) return -1;
    long differ = 0;
    for (int row = 0; row < x->h; ++row) {
        const auto* p = static_cast<const uint32_t*>(x->pixels) + row * (x->pitch / 4);
        const auto* q = static_cast<const uint32_t*>(y->pixels) + row * (y->pitch / 4);
        for (int col = 0; col < x->w; ++col) differ += p[col] != q[col];
    }
    return differ;
}

int run(const fs::path& data, const fs::path& scenes_file, const fs::path& folder, bool check) {
    const std::vector<Scene> scenes = read_scenes(scenes_file);
    const fs::path work =
        fs::temp_directory_path() / ("duskwend-screenshots-" + std::to_string(getpid()));
    int failures = 0;
    for (const Scene& s : scenes) {
        const fs::path saves = work / s.name, target = folder / (s.name + ".png");
        fs::remove_all(saves);
        fs::create_directories(saves);
        const fs::path out = check ? work / (s.name + ".png") : target;
        if (!render(s, data, saves, out)) {
            std::cerr << s.name << ": the game did not run the scene to its end\n";
            ++failures;
        } else if (!check) {
            std::cout << "wrote " << target.string() << "\n";
        } else if (const long d = differing_pixels(out, target); d != 0) {
            std::cerr << target.string() << " no longer matches what the game draws ("
                      << (d < 0 ? std::string("missing, unreadable or of another size")
                                : std::to_string(d) + " pixels differ")
                      << ")\n";
            ++failures;
        }
    }
    fs::remove_all(work);
    if (check && failures)
        std::cerr << "Run `make screenshots`, look at the pictures and commit them.\n";
    return failures ? 1 : 0;
}

} // namespace
} // namespace duskwend

int main(int argc, char** argv) {
    const bool check = argc == 5 && std::strcmp(argv[4], "--check") == 0;
    if (argc != 4 && !check) {
        std::cerr << "usage: duskwend-screenshots <Data folder> <scenes.toml> <folder> [--check]\n";
        return 2;
    }
    try {
        return duskwend::run(argv[1], argv[2], argv[3], check);
    } catch (const std::exception& e) {
        // A scenes file that does not parse, a key script with an unknown key, the file system.
        std::cerr << "duskwend-screenshots: " << e.what() << "\n";
        return 1;
    }
}
