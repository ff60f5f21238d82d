#pragma once
// The view's pictures: the six wall holders (built from one face picture per wall type) and
// the background the walls are laid over.

#include "image.h"
#include "view_geometry.h"

#include <array>
#include <string>

namespace duskwend {

// Face pictures of one wall type as rendered from its source: at the two front sizes and at
// double size, from which the side pieces are drawn in perspective.
struct WallFaces {
    Image front1; // 160 x 109
    Image front2; // 74 x 50
    Image large;  // any size; sampled for the side pieces
};

// Builds one holder (piece above mask for side holders) from the faces of types 1..7.
Image build_holder(const HolderLayout& layout, const std::array<WallFaces, kWallTypes>& faces);

// The background of the view under the open sky: the city's dusk over far roofs and the
// street, the fields' dusk over hills and grass, or the summit's red sky over flagstones.
enum class Outdoor { City, Fields, Summit };
Image build_background(Outdoor kind = Outdoor::City);
// "fields" or "summit"; false for any other name.
bool outdoor_from_name(const std::string& name, Outdoor& out);

// Backgrounds for maps below ground or indoors, in the same perspective: a vaulted ceiling
// over a floor that is wet (a channel of black water), bone-strewn, paved, the mines' rough
// rock over dirt, or a drowned vault over flooded flags.
enum class Underground { Sewer, Crypt, Hall, Mine, Drowned };
// "sewer", "crypt", "hall", "mine" or "drowned"; false for any other name.
bool underground_from_name(const std::string& name, Underground& out);
Image build_underground(Underground kind);

// Composes the view exactly as the game does: the background, then the slots far to near,
// plain copies for front walls and mask-AND then piece-OR for side walls.
// `holders` are in the order of kHolders; `slots` hold wall types 0..7.
Image compose_view(const Image& background, const std::array<Image, 6>& holders,
                   const std::array<int, 10>& slots);

} // namespace duskwend
