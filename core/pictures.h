#pragma once
// Pictures of the Data folder.

#include "core/output_model.h"

#include <string>

struct Game;

// A bitmap of the Data folder, read from its file the first time it is asked for and kept for
// the run; a missing or unreadable picture is a DataError naming its path.
const Bitmap& load_picture(Game& g, const std::string& file_name);

// Shows a bitmap of the Data folder as the picture of mainPic.
void load_main_picture(Game& g, const std::string& file_name);
