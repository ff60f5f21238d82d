#pragma once
// One PNG showing every picture of the Data folder, labelled, for looking the art over.

#include <string>
#include <vector>

namespace duskwend {

// Items, in order:
//   "#Heading"            starts a new section
//   "FILE.bmp=caption"    one picture of the Data folder
//   "@walls=n1,...,n7"    the six wall holders, one block per wall type with its name
//   "@views"              sample first-person views composed from the holders
void make_contact_sheet(const std::string& out_png, const std::string& font,
                        const std::string& data_dir, const std::vector<std::string>& items);

} // namespace duskwend
