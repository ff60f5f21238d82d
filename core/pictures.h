#pragma once
// Pictures of the Data folder.

#include "core/output_model.h"

#include <string>

namespace duskwend {

struct Game;

// A bitmap of the Data folder, read from its file the first time it is asked for and kept for
// the run; a missing or unreadable picture is a DataError naming its path.
const Bitmap& load_picture(Game& g, const std::string& file_name);

// Shows a bitmap of the Data folder as the picture of mainPic.
void load_main_picture(Game& g, const std::string& file_name);

// Reads every picture the game may need at any moment (the buildings', the view's and the
// walls'), so a missing or broken one stops the game at start-up with its name instead of in
// the middle of play. Pictures named by map events and monsters are read when shown.
void sub_check_pictures(Game& g);

} // namespace duskwend
