#include "contact_sheet.h"

#include "image.h"
#include "text.h"
#include "walls.h"

#include <algorithm>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace duskwend {

namespace {

constexpr int kScale = 2;
constexpr int kSheetWidth = 1904;
constexpr int kGap = 16;
constexpr int kCaption = 22;
const Rgb kPaper = {40, 40, 48};

struct Tile {
    Image image;
    std::string caption;
    bool heading = false;
};

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::stringstream in(s);
    for (std::string part; std::getline(in, part, sep);) out.push_back(part);
    return out;
}

std::array<Image, 6> load_holders(const std::string& dir) {
    std::array<Image, 6> holders;
    for (int i = 0; i < 6; ++i) holders[i] = load_bmp(dir + "/" + kHolders[i].file);
    return holders;
}

// One block per wall type: both front pieces, then each side piece above its mask.
void add_wall_tiles(std::vector<Tile>& tiles, const std::string& dir,
                    const std::vector<std::string>& names) {
    const auto holders = load_holders(dir);
    for (int t = 0; t < kWallTypes; ++t) {
        int width = 0, height = 0;
        for (const HolderLayout& h : kHolders) {
            width += h.piece_w * kScale + 8;
            height = std::max(height, holders[&h - kHolders].height * kScale);
        }
        Image block(width, height, kPaper);
        int x = 0;
        for (int i = 0; i < 6; ++i) {
            const HolderLayout& h = kHolders[i];
            Image piece(h.piece_w, holders[i].height);
            blit(piece, holders[i], t * h.piece_w, 0, h.piece_w, holders[i].height, 0, 0);
            blit(block, enlarge(piece, kScale), x, 0);
            x += h.piece_w * kScale + 8;
        }
        const std::string name = t < int(names.size()) ? names[t] : "";
        tiles.push_back({block, "type " + std::to_string(t + 1) + " " + name +
                                    "  (w1a, w1b, l1a, l1b, r1a, r1b; masks below)"});
    }
}

void add_view_tiles(std::vector<Tile>& tiles, const std::string& dir) {
    const auto holders = load_holders(dir);
    const Image back = load_bmp(dir + "/back.bmp");
    // Slots: 0..2 far fronts, 3..4 sides ahead, 5..7 near fronts, 8..9 own sides.
    struct Sample {
        std::array<int, 10> slots;
        std::string caption;
    };
    std::vector<Sample> samples;
    for (int t = 1; t <= kWallTypes; ++t)
        samples.push_back(
            {{t, t, t, t, t, 0, 0, 0, t, t}, "corridor of type " + std::to_string(t)});
    samples.push_back({{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "open square"});
    samples.push_back({{0, 1, 0, 0, 0, 0, 6, 0, 1, 1}, "door ahead in stone"});
    samples.push_back({{2, 7, 2, 2, 2, 0, 0, 0, 0, 2}, "archway at the end, brick"});
    samples.push_back({{4, 4, 4, 0, 4, 4, 0, 0, 4, 0}, "hedge maze turn"});
    samples.push_back({{1, 1, 1, 3, 0, 0, 0, 3, 1, 6}, "timber, stone, a door on the right"});
    samples.push_back({{0, 0, 0, 1, 1, 0, 5, 0, 1, 1}, "iron gate ahead"});
    samples.push_back({{3, 3, 3, 7, 3, 0, 0, 0, 3, 3}, "archway on the left ahead"});
    samples.push_back({{1, 2, 1, 1, 1, 1, 0, 3, 2, 1}, "mixed walls"});
    for (const Sample& s : samples)
        tiles.push_back({enlarge(compose_view(back, holders, s.slots), kScale), s.caption});
}

} // namespace

void make_contact_sheet(const std::string& out_png, const std::string& font_path,
                        const std::string& data_dir, const std::vector<std::string>& items) {
    std::vector<Tile> tiles;
    for (const std::string& item : items) {
        if (item.empty()) continue;
        if (item[0] == '#') {
            tiles.push_back({Image(), item.substr(1), true});
        } else if (item.rfind("@walls=", 0) == 0) {
            add_wall_tiles(tiles, data_dir, split(item.substr(7), ','));
        } else if (item == "@views") {
            add_view_tiles(tiles, data_dir);
        } else {
            const size_t eq = item.find('=');
            const std::string file = item.substr(0, eq);
            const std::string caption =
                eq == std::string::npos ? file : file + "  " + item.substr(eq + 1);
            tiles.push_back({enlarge(load_bmp(data_dir + "/" + file), kScale), caption});
        }
    }

    // Lay the tiles out in rows, a heading always starting a new row.
    struct Placed {
        const Tile* tile;
        int x, y;
    };
    std::vector<Placed> placed;
    int x = kGap, y = kGap, row_h = 0;
    for (const Tile& t : tiles) {
        if (t.heading) {
            y += row_h + (row_h ? kGap : 0);
            placed.push_back({&t, kGap, y});
            y += 40;
            x = kGap;
            row_h = 0;
            continue;
        }
        if (x + t.image.width > kSheetWidth - kGap && x > kGap) {
            y += row_h + kGap;
            x = kGap;
            row_h = 0;
        }
        placed.push_back({&t, x, y});
        x += t.image.width + kGap;
        row_h = std::max(row_h, t.image.height + kCaption);
    }
    const int height = y + row_h + kGap;

    Font font(font_path);
    Image sheet(kSheetWidth, height, kPaper);
    for (const Placed& p : placed) {
        if (p.tile->heading) {
            draw_text(sheet, font.large, p.tile->caption, p.x, p.y);
            continue;
        }
        blit(sheet, p.tile->image, p.x, p.y);
        draw_text(sheet, font.small, p.tile->caption, p.x, p.y + p.tile->image.height + 2);
    }
    save_png(sheet, out_png);
}

} // namespace duskwend
