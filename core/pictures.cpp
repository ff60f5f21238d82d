#include "core/pictures.h"

#include "core/game.h"

namespace duskwend {

const Bitmap& load_picture(Game& g, const std::string& file_name) {
    const auto path = g.data_files.path_of(file_name).string();
    Game::PictureCache& cache = g.picture_cache;
    if (cache.host != g.host) {
        cache.pictures.clear();
        cache.map_backgrounds.clear();
        cache.host = g.host;
    }
    // Each picture is read from its file once; a picture that could not be read is not tried
    // again either.
    auto it = cache.pictures.find(path);
    if (it == cache.pictures.end())
        it = cache.pictures.emplace(path, g.host->load_bitmap(path)).first;
    if (!it->second) throw DataError("Cannot read the picture " + path);
    return *it->second;
}

void load_main_picture(Game& g, const std::string& file_name) {
    MainPicture& pic = g.Form1.mainPic;
    const Bitmap& b = load_picture(g, file_name);
    // The picture area keeps its size: a smaller picture leaves the rest black, a larger one
    // is cut at the edges.
    if (b.width == MainPicture::width && b.height == MainPicture::height &&
        pic.image.width == b.width && pic.image.height == b.height) {
        pic.image.pixels = b.pixels; // the same pixels as the copy below, without a new buffer
    } else {
        pic.image = Bitmap(MainPicture::width, MainPicture::height);
        bit_blt(pic.image, 0, 0, b.width, b.height, b, 0, 0, RasterOp::Copy);
    }
    pic.picture_name = file_name;
}

void sub_check_pictures(Game& g) {
    static constexpr const char* ALWAYS_NEEDED[] = {
        "tavern.bmp", "shoppe.bmp", "temple.bmp", "review.bmp", "back.bmp", "w1a.bmp",
        "w1b.bmp",    "l1a.bmp",    "l1b.bmp",    "r1a.bmp",    "r1b.bmp"};
    for (const char* name : ALWAYS_NEEDED) load_picture(g, name);
}

} // namespace duskwend
