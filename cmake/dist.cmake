# Installing and packaging. `cmake --install` (make install) and the Debian package (make deb,
# or the `package` target) put in place:
#   bin/duskwend (games/ in the package)           the game; it finds its Data in
#   share/duskwend/Data                            ../share/duskwend/Data from the executable
#   share/applications/<id>.desktop                the menu entry, naming the icon by name
#   share/icons/hicolor/<n>x<n>/apps/duskwend.png  the icon, drawn from its SVG at build time
#   share/metainfo/<id>.metainfo.xml               the store metadata (AppStream)
#   share/man/man6/duskwend.6.gz, share/doc/duskwend/{copyright,changelog.gz}
include(GNUInstallDirs)

# The store's name for the game: the menu entry and the metadata are named after it.
set(DUSKWEND_APP_ID org.example.duskwend)

# One version: CHANGELOG.md's newest entry and the metadata's newest release must be the
# project's version, so none of them can be raised alone.
file(STRINGS ${CMAKE_SOURCE_DIR}/CHANGELOG.md changelog_heads REGEX "^## [0-9]")
list(GET changelog_heads 0 newest)
string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" changelog_version "${newest}")
file(STRINGS ${CMAKE_SOURCE_DIR}/dist/duskwend.metainfo.xml.in releases REGEX "<release ")
list(GET releases 0 newest)
string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" metainfo_version "${newest}")
foreach(pair "CHANGELOG.md=${changelog_version}" "dist/duskwend.metainfo.xml.in=${metainfo_version}")
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 file)
  list(GET pair 1 version)
  if(NOT version STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "${file}: its newest release is '${version}', but the project's "
                        "version (CMakeLists.txt) is ${PROJECT_VERSION}: list the release there")
  endif()
endforeach()

set(dist_out ${CMAKE_BINARY_DIR}/dist)
file(MAKE_DIRECTORY ${dist_out})
configure_file(dist/duskwend.metainfo.xml.in ${dist_out}/${DUSKWEND_APP_ID}.metainfo.xml @ONLY)

# The icon set, drawn from content/pictures/icon/duskwend.svg by rsvg-convert (the art build's
# renderer), and the SVG itself as the scalable icon.
find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert is missing: run scripts/install-deps")
endif()
set(icon_source ${CMAKE_SOURCE_DIR}/content/pictures/icon/duskwend.svg)
set(icon_root ${dist_out}/icons/hicolor)
set(DUSKWEND_ICON_SIZES 32 48 64 128 256)
set(icon_outputs)
foreach(size ${DUSKWEND_ICON_SIZES})
  set(dir ${icon_root}/${size}x${size}/apps)
  add_custom_command(
    OUTPUT ${dir}/duskwend.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${dir}/duskwend.png ${icon_source}
    DEPENDS ${icon_source}
    COMMENT "Icon ${size} x ${size}"
    VERBATIM)
  list(APPEND icon_outputs ${dir}/duskwend.png)
endforeach()

set(DUSKWEND_MAINTAINER "The Duskwend developers <duskwend@example.org>")

# Debian keeps manual pages and changelogs compressed, without a time stamp inside; the
# changelog is CHANGELOG.md in Debian's form.
add_custom_command(
  OUTPUT ${dist_out}/changelog
  COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/CHANGELOG.md -DOUT=${dist_out}/changelog
          "-DMAINTAINER=${DUSKWEND_MAINTAINER}" -P ${CMAKE_SOURCE_DIR}/cmake/debian_changelog.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_SOURCE_DIR}/cmake/debian_changelog.cmake
  COMMENT "Debian changelog from CHANGELOG.md"
  VERBATIM)
set(gzipped)
foreach(pair "${CMAKE_SOURCE_DIR}/dist/duskwend.6=duskwend.6.gz"
             "${dist_out}/changelog=changelog.gz")
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(
    OUTPUT ${dist_out}/${target}
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${source} ${dist_out}/${target}
    DEPENDS ${source}
    COMMENT "Compressing ${target}"
    VERBATIM)
  list(APPEND gzipped ${dist_out}/${target})
endforeach()
add_custom_target(duskwend_dist ALL DEPENDS ${icon_outputs} ${gzipped})

install(TARGETS duskwend RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${DUSKWEND_DATA_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/duskwend/Data
        PATTERN "*.dat.new" EXCLUDE PATTERN "L1chr.dat" EXCLUDE PATTERN "Save.dat" EXCLUDE
        PATTERN "Savef.dat" EXCLUDE PATTERN "Automap.dat" EXCLUDE PATTERN "settings.ini" EXCLUDE
        PATTERN "slots" EXCLUDE)
# The menu entry names the game by name where the prefix is on everyone's PATH, else by path.
install(CODE "
  if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\" OR CMAKE_INSTALL_PREFIX STREQUAL \"/usr/local\")
    set(DUSKWEND_EXEC duskwend)
  else()
    set(DUSKWEND_EXEC \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/duskwend\")
  endif()
  configure_file(\"${CMAKE_SOURCE_DIR}/dist/duskwend.desktop.in\"
                 \"${dist_out}/${DUSKWEND_APP_ID}.desktop\" @ONLY)
  file(INSTALL \"${dist_out}/${DUSKWEND_APP_ID}.desktop\"
       DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")")
install(DIRECTORY ${icon_root} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${icon_source} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${dist_out}/${DUSKWEND_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${dist_out}/duskwend.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES dist/copyright ${dist_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: cpack -G DEB in the build folder (make deb), or the `package` target.
# Its Depends line comes from the libraries the executable links (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME duskwend)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${DUSKWEND_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fantasy role-playing game played from the keyboard")
set(CPACK_PACKAGE_DESCRIPTION
    "Lead a party of up to seven adventurers from the guild hall through the city of\n"
    "Duskwend and the sewers, catacombs, mines and tower below and beyond it. Create\n"
    "characters of five races and four classes, walk the first-person streets, shop,\n"
    "pray at the temples, rise in level at the review board and fight turn-based\n"
    "battles narrated line by line. Everything is played from the keyboard.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
# Installed with DESTDIR, so CMAKE_INSTALL_PREFIX is /usr while the package is staged and the
# menu entry comes out as it will be on the player's machine.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/package_games_dir.cmake)
include(CPack)
