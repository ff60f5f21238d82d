#pragma once
// Pictures of the Data folder.

#include "core/output_model.h"

#include <string>

struct Game;

// Reads a bitmap of the Data folder; a missing or unreadable picture is a DataError naming
// its path.
Bitmap load_picture(Game& g, const std::string& file_name);

// Shows a bitmap of the Data folder as the picture of mainPic.
void load_main_picture(Game& g, const std::string& file_name);
