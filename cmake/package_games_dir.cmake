# Run by CPack once the package is staged: Debian keeps a game's executable in /usr/games (on
# every player's PATH), where `make install` keeps bin/. The game finds its Data from either.
set(usr "${CPACK_TEMPORARY_DIRECTORY}/usr")
if(EXISTS "${usr}/bin/duskwend")
  file(MAKE_DIRECTORY "${usr}/games")
  file(RENAME "${usr}/bin/duskwend" "${usr}/games/duskwend")
  file(REMOVE_RECURSE "${usr}/bin")
endif()
