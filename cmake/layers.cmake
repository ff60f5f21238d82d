# The game's layers: every folder is a library target, and a folder's sources see only the
# headers of the targets they link. The source tree is never an include path of the game's
# targets; each target gets views of it in the build tree instead:
#
#   <build>/layers/folder/<folder>/<folder>     -> <source>/<folder>      (the whole folder)
#   <build>/layers/public/<target>/<folder>/h.h -> <source>/<folder>/h.h  (the headers named)
#
# A target's own sources compile against the view of its whole folder; the targets that link it
# compile against its public view. So `#include "city/city_screen.h"` in a file of combat/
# finds no such file, because combat does not link city.

# duskwend_layer(<target> FOLDER <folder> [SOURCES <file>...] [PUBLIC_HEADERS <header>...]
#                [LINKS <target>...])
# Without PUBLIC_HEADERS every header of the folder is public.
function(duskwend_layer target)
  cmake_parse_arguments(L "" "FOLDER" "SOURCES;PUBLIC_HEADERS;LINKS" ${ARGN})
  add_library(${target} STATIC ${L_SOURCES})

  # The whole folder, as "<folder>/<header>".
  string(REPLACE "/" "_" stage_name ${L_FOLDER})
  set(whole ${CMAKE_BINARY_DIR}/layers/folder/${stage_name})
  get_filename_component(parent ${whole}/${L_FOLDER} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${L_FOLDER} ${whole}/${L_FOLDER} SYMBOLIC)

  if(L_PUBLIC_HEADERS)
    set(public ${CMAKE_BINARY_DIR}/layers/public/${target})
    # A header taken off the list leaves the view.
    file(GLOB stale ${public}/${L_FOLDER}/*)
    if(stale)
      file(REMOVE ${stale})
    endif()
    file(MAKE_DIRECTORY ${public}/${L_FOLDER})
    foreach(h ${L_PUBLIC_HEADERS})
      if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${L_FOLDER}/${h})
        message(FATAL_ERROR "${target}: public header ${L_FOLDER}/${h} does not exist")
      endif()
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${L_FOLDER}/${h} ${public}/${L_FOLDER}/${h} SYMBOLIC)
    endforeach()
    target_include_directories(${target} PRIVATE ${whole} INTERFACE ${public})
  else()
    target_include_directories(${target} PUBLIC ${whole})
  endif()
  if(L_LINKS)
    target_link_libraries(${target} PUBLIC ${L_LINKS})
  endif()
endfunction()

# The sources of a game folder (every .cpp directly in it).
function(duskwend_folder_sources out folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  set(${out} ${sources} PARENT_SCOPE)
endfunction()
