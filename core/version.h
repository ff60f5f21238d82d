#pragma once
// The game's version: one number, set in the build (project VERSION in CMakeLists.txt) and
// shown by --version, the key help, the package and the store metadata.

namespace duskwend {

extern const char* const GAME_VERSION;

} // namespace duskwend
