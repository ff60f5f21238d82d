# The browser build (configured with emcmake, see `make web`): the game's folders as they are,
# the platform's portable files and platform/web, linked against SDL2, SDL2_ttf, FreeType and
# HarfBuzz as built by scripts/build-web-deps. The world and the pictures come from a native
# build's Data folder (DUSKWEND_WEB_DATA): the content tools run on the machine, not in the page.

set(DUSKWEND_WEB_DEPS ${CMAKE_BINARY_DIR}/web-deps CACHE PATH
    "the libraries built by scripts/build-web-deps")
set(DUSKWEND_WEB_DATA "" CACHE PATH "the Data folder of a native build")
if(NOT EXISTS ${DUSKWEND_WEB_DEPS}/stamp)
  message(FATAL_ERROR "No browser libraries in ${DUSKWEND_WEB_DEPS}: run scripts/build-web-deps")
endif()
if(NOT EXISTS ${DUSKWEND_WEB_DATA}/Maps.dat OR NOT EXISTS ${DUSKWEND_WEB_DATA}/font.ttf)
  message(FATAL_ERROR "DUSKWEND_WEB_DATA (${DUSKWEND_WEB_DATA}) is not a built Data folder: "
                      "build the native game first (make web does)")
endif()
set(DUSKWEND_CONTENT OFF)
set(DUSKWEND_TESTS OFF)

# Exceptions are off by default in Emscripten; the game reports bad data with them.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL2 INTERFACE ${DUSKWEND_WEB_DEPS}/include/SDL2
                                                     ${DUSKWEND_WEB_DEPS}/include)
target_link_libraries(PkgConfig::SDL2 INTERFACE
  ${DUSKWEND_WEB_DEPS}/lib/libSDL2_ttf.a ${DUSKWEND_WEB_DEPS}/lib/libharfbuzz.a
  ${DUSKWEND_WEB_DEPS}/lib/libfreetype.a ${DUSKWEND_WEB_DEPS}/lib/libSDL2.a)

# nlohmann/json is headers only: the machine's copy is seen through a folder of its own, so no
# other header of the machine reaches the WebAssembly build.
find_path(DUSKWEND_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include /usr/local/include
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(json_view ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${json_view})
file(CREATE_LINK ${DUSKWEND_JSON_INCLUDE}/nlohmann ${json_view}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${json_view})

# The page, after the layers are defined: the platform's files that need no desktop, and the
# browser's own.
macro(duskwend_web_game platform_sources)
  set(web_sources ${platform_sources})
  foreach(desktop_only window.cpp command_line.cpp png.cpp)
    list(REMOVE_ITEM web_sources ${CMAKE_SOURCE_DIR}/platform/${desktop_only})
  endforeach()
  duskwend_layer(duskwend_platform FOLDER platform SOURCES ${web_sources}
                 LINKS duskwend_screens PkgConfig::SDL2 nlohmann_json::nlohmann_json)

  # Data as the page sees it at /Data: the native build's, without anything a run saved there.
  set(web_data ${CMAKE_BINARY_DIR}/web-data)
  file(GLOB data_files ${DUSKWEND_WEB_DATA}/*)
  add_custom_command(OUTPUT ${web_data}.stamp
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${web_data}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${DUSKWEND_WEB_DATA} ${web_data}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${web_data}/L1chr.dat ${web_data}/Save.dat
            ${web_data}/Savef.dat ${web_data}/Automap.dat ${web_data}/Save.commit
            ${web_data}/settings.ini ${web_data}/slots
    COMMAND ${CMAKE_COMMAND} -E touch ${web_data}.stamp
    DEPENDS ${data_files}
    COMMENT "Staging Data for the page")
  add_custom_target(duskwend_web_data DEPENDS ${web_data}.stamp)

  set(site ${CMAKE_BINARY_DIR}/site)
  add_executable(duskwend_web ${CMAKE_SOURCE_DIR}/platform/web/web_main.cpp)
  target_link_libraries(duskwend_web PRIVATE duskwend_platform)
  add_dependencies(duskwend_web duskwend_web_data)
  set(page_files ${CMAKE_SOURCE_DIR}/platform/web/shell.html ${CMAKE_SOURCE_DIR}/platform/web/page.js
                 ${web_data}.stamp)
  set_target_properties(duskwend_web PROPERTIES OUTPUT_NAME index SUFFIX .html
    RUNTIME_OUTPUT_DIRECTORY ${site} LINK_DEPENDS "${page_files}")
  target_link_options(duskwend_web PRIVATE
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web
    -sMINIFY_HTML=0 -lidbfs.js
    "SHELL:-sEXPORTED_FUNCTIONS=[_main,_malloc,_free]"
    "SHELL:-sEXPORTED_RUNTIME_METHODS=[UTF8ToString,stringToUTF8,lengthBytesUTF8,FS]"
    "SHELL:--shell-file ${CMAKE_SOURCE_DIR}/platform/web/shell.html"
    "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/platform/web/page.js"
    "SHELL:--preload-file ${web_data}@/Data")
endmacro()
