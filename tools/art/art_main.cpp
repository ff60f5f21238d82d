// duskwend-art: turns the rendered picture sources into the BMP files of the Data folder.
//
//   duskwend-art picture OUT.bmp FIGURE.png [BACKDROP.png]
//       a 228 x 140 picture (a figure laid over its backdrop), in the game's sixteen colours
//   duskwend-art walls OUT_DIR FACE_DIR
//       the six wall holders from FACE_DIR/face<t>-front1.png, -front2.png, -large.png
//   duskwend-art background OUT.bmp [sewer|crypt|hall|mine|drowned|fields|summit]
//       the view's background: the city's, or a map's own below ground or outdoors
//   duskwend-art sheet OUT.png FONT.ttf DATA_DIR ITEM...
//       the contact sheet (see contact_sheet.h for the items)

#include "contact_sheet.h"
#include "image.h"
#include "walls.h"

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace duskwend {

namespace {

int usage() {
    std::fprintf(
        stderr,
        "usage: duskwend-art picture OUT.bmp FIGURE.png [BACKDROP.png]\n"
        "       duskwend-art walls OUT_DIR FACE_DIR\n"
        "       duskwend-art background OUT.bmp [sewer|crypt|hall|mine|drowned|fields|summit]\n"
        "       duskwend-art sheet OUT.png FONT.ttf DATA_DIR ITEM...\n");
    return 2;
}

void make_picture(const std::string& out, const std::string& figure, const std::string* backdrop) {
    const RgbaImage top = load_png(figure);
    if (top.width != kViewWidth || top.height != kViewHeight)
        throw std::runtime_error(figure + ": rendered at " + std::to_string(top.width) + " x " +
                                 std::to_string(top.height) + ", pictures are 228 x 140");
    Image flat;
    if (backdrop) {
        const RgbaImage bottom = load_png(*backdrop);
        flat = flatten(top, &bottom);
    } else {
        flat = flatten(top, nullptr);
    }
    save_bmp(quantise(flat), out);
}

void make_walls(const std::string& out_dir, const std::string& face_dir) {
    std::array<WallFaces, kWallTypes> faces;
    for (int t = 0; t < kWallTypes; ++t) {
        const std::string base = face_dir + "/face" + std::to_string(t + 1);
        faces[t].front1 = flatten(load_png(base + "-front1.png"), nullptr);
        faces[t].front2 = flatten(load_png(base + "-front2.png"), nullptr);
        faces[t].large = flatten(load_png(base + "-large.png"), nullptr);
    }
    for (const HolderLayout& layout : kHolders)
        save_bmp(build_holder(layout, faces), out_dir + "/" + layout.file);
}

} // namespace

} // namespace duskwend

int main(int argc, char** argv) {
    using namespace duskwend;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usage();
    try {
        const std::string& cmd = args[0];
        if (cmd == "picture" && (args.size() == 3 || args.size() == 4)) {
            make_picture(args[1], args[2], args.size() == 4 ? &args[3] : nullptr);
        } else if (cmd == "walls" && args.size() == 3) {
            make_walls(args[1], args[2]);
        } else if (cmd == "background" && args.size() == 2) {
            save_bmp(build_background(), args[1]);
        } else if (cmd == "background" && args.size() == 3) {
            Underground below{};
            Outdoor outside{};
            if (underground_from_name(args[2], below))
                save_bmp(build_underground(below), args[1]);
            else if (outdoor_from_name(args[2], outside))
                save_bmp(build_background(outside), args[1]);
            else
                return usage();
        } else if (cmd == "sheet" && args.size() >= 4) {
            make_contact_sheet(args[1], args[2], args[3], {args.begin() + 4, args.end()});
        } else {
            return usage();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "duskwend-art: %s\n", e.what());
        return 1;
    }
    return 0;
}
