#pragma once
// The view's pictures: the six wall holders (built from one face picture per wall type) and
// the background the walls are laid over.

#include "image.h"
#include "view_geometry.h"

#include <array>
#include <string>

// Face pictures of one wall type as rendered from its source: at the two front sizes and at
// double size, from which the side pieces are drawn in perspective.
struct WallFaces {
    Image front1; // 160 x 109
    Image front2; // 74 x 50
    Image large;  // any size; sampled for the side pieces
};

// Builds one holder (piece above mask for side holders) from the faces of types 1..7.
Image build_holder(const HolderLayout& layout, const std::array<WallFaces, kWallTypes>& faces);

// The background of the view: dusk sky, the city's far roofs and the street in perspective.
Image build_background();

// Backgrounds for maps below ground or indoors, in the same perspective: a vaulted ceiling
// over a floor that is wet (a channel of black water), bone-strewn, or paved.
enum class Underground { Sewer, Crypt, Hall };
// "sewer", "crypt" or "hall"; false for any other name.
bool underground_from_name(const std::string& name, Underground& out);
Image build_underground(Underground kind);

// Composes the view exactly as the game does: the background, then the slots far to near,
// plain copies for front walls and mask-AND then piece-OR for side walls.
// `holders` are in the order of kHolders; `slots` hold wall types 0..7.
Image compose_view(const Image& background, const std::array<Image, 6>& holders,
                   const std::array<int, 10>& slots);
