# What `cmake --install` puts under the prefix, and the Debian package made from it by
# `cpack -G DEB` in the build folder.

install(TARGETS pervaro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${MAP_FILES} DESTINATION ${PERVARO_MAP_INSTALL_DIR})
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES docs/title.svg docs/board.svg DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

# Manual pages are installed compressed, as Debian has them; made with the game.
find_program(GZIP_PROGRAM gzip)
if(GZIP_PROGRAM)
  add_custom_command(OUTPUT pervaro.6.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_SOURCE_DIR}/docs/pervaro.6 > pervaro.6.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/pervaro.6 VERBATIM)
  add_custom_target(manual_page DEPENDS pervaro.6.gz)
  add_dependencies(pervaro manual_page)
  install(FILES ${CMAKE_BINARY_DIR}/pervaro.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
else()
  install(FILES docs/pervaro.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endif()

set(PERVARO_PACKAGE_CONTACT "Pervaro team <maintainers@users.noreply.c-seed-b9718fd8.example>"
    CACHE STRING "Maintainer of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pervaro)
set(CPACK_PACKAGE_VENDOR "Pervaro team")
set(CPACK_PACKAGE_CONTACT ${PERVARO_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "sugoroku-style board game for the text terminal, in Japanese")
# Kept to lines under 80 columns, as package descriptions are shown.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Pervaro is a single-player board game of the sugoroku kind for an 80 x 41"
  "UTF-8 terminal. Roll the die (or draw a card) along the tracks of five stage"
  "maps, meet square events and seven mini-games (dice betting, High & Low, a"
  "sprint, a shooting gallery, batting, a ladder lottery and bingo), beat the"
  "boss at each goal, buy items in the shop and keep one saved game. The game's"
  "texts are in Japanese.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries the executable links decide the dependencies, with their versions.
find_program(DPKG_SHLIBDEPS_PROGRAM dpkg-shlibdeps)
if(DPKG_SHLIBDEPS_PROGRAM)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgcc-s1, libstdc++6")
endif()
include(CPack)
