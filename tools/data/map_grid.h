#pragma once
// The 33 x 33 square grid of a map, drawn as text.
//
// Each square stores its own four sides (north 1, east 2, south 4, west 8), each side's wall
// type 0..7 spread over three 4-bit groups. The drawing shares one character between two
// neighbouring squares, so a border gives both squares the same wall type; sides that differ
// from their neighbour's are listed separately ("12,5 west 6").

#include "core/records.h"
#include "tools/data/toml_io.h"

#include <string>
#include <vector>

namespace duskwend {

enum Side { NORTH = 0, EAST = 1, SOUTH = 2, WEST = 3 };

int side_type(int16_t square, int side);
void set_side_type(int16_t& square, int side, int type);

// Lines of the drawing (67 lines of 3 margin characters and 67 drawing characters) plus ruler
// comments; `marks` gives the character shown inside each square (x, y).
std::string draw_grid(const Table<MAP_SIZE, MAP_SIZE>& grid,
                      const Table<MAP_SIZE, MAP_SIZE>& marks);
// The sides the drawing cannot show, as "x,y side type" entries; squares using bits 12..15 as
// "x,y 0xVALUE" entries of raw_squares.
std::vector<std::string> one_sided_sides(const Table<MAP_SIZE, MAP_SIZE>& grid);
std::vector<std::string> raw_square_values(const Table<MAP_SIZE, MAP_SIZE>& grid);

// Reads a drawing whose first line is line `first_line` of the source file.
bool parse_grid(const std::string& drawing, int first_line, Table<MAP_SIZE, MAP_SIZE>& grid,
                const Source& src);
bool apply_one_sided(const std::string& entry, int line, Table<MAP_SIZE, MAP_SIZE>& grid,
                     const Source& src);
bool apply_raw_square(const std::string& entry, int line, Table<MAP_SIZE, MAP_SIZE>& grid,
                      const Source& src);

} // namespace duskwend
