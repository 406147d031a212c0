# What `cmake --install` puts under the prefix, and the Debian package made from it by
# `cpack -G DEB` in the build folder.

# Everything but the game itself; the package holds this and the game in games/.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME files)

# The game: in bin/ for `cmake --install`, in games/ beside it for the package, as Debian keeps
# its games in /usr/games. Being siblings, both find the maps by the same relative path.
cmake_path(GET CMAKE_INSTALL_BINDIR PARENT_PATH PERVARO_GAMES_DIR)
cmake_path(APPEND PERVARO_GAMES_DIR games)
install(TARGETS pervaro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT bin)
install(TARGETS pervaro RUNTIME DESTINATION ${PERVARO_GAMES_DIR} COMPONENT games EXCLUDE_FROM_ALL)

install(FILES ${MAP_FILES} DESTINATION ${PERVARO_MAP_INSTALL_DIR})
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The README's pictures and the notes it links, so that its links hold where it is installed.
install(FILES docs/title.svg docs/board.svg docs/browser.png docs/architecture.md docs/testing.md
              docs/performance.md docs/windows.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

set(PERVARO_PACKAGE_CONTACT "Pervaro team <maintainers@users.noreply.c-seed-b9718fd8.example>"
    CACHE STRING "Maintainer of the Debian package")

# The manual page and the changelog are installed compressed, as Debian has them (gzip -9n, so
# the same input gives the same bytes); made with the game. The changelog is CHANGELOG.md's
# released versions in the form Debian's tools read.
add_custom_command(OUTPUT changelog
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${CMAKE_SOURCE_DIR}/CHANGELOG.md -DOUTPUT=changelog
          -DPACKAGE=pervaro -DVERSION=${PROJECT_VERSION} -DMAINTAINER=${PERVARO_PACKAGE_CONTACT}
          -P ${CMAKE_CURRENT_LIST_DIR}/debian_changelog.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_CURRENT_LIST_DIR}/debian_changelog.cmake
  VERBATIM)
find_program(GZIP_PROGRAM gzip)
set(INSTALLED_DOCUMENTS ${CMAKE_SOURCE_DIR}/docs/pervaro.6 ${CMAKE_BINARY_DIR}/changelog)
set(INSTALLED_DOCUMENT_DIRS ${CMAKE_INSTALL_MANDIR}/man6 ${CMAKE_INSTALL_DOCDIR})
foreach(document directory IN ZIP_LISTS INSTALLED_DOCUMENTS INSTALLED_DOCUMENT_DIRS)
  get_filename_component(name ${document} NAME)
  if(GZIP_PROGRAM)
    add_custom_command(OUTPUT ${name}.gz
      COMMAND ${GZIP_PROGRAM} -9 -n -c ${document} > ${name}.gz
      DEPENDS ${document} VERBATIM)
    list(APPEND INSTALLED_DOCUMENT_FILES ${CMAKE_BINARY_DIR}/${name}.gz)
    install(FILES ${CMAKE_BINARY_DIR}/${name}.gz DESTINATION ${directory})
  else()
    list(APPEND INSTALLED_DOCUMENT_FILES ${document})
    install(FILES ${document} DESTINATION ${directory})
  endif()
endforeach()
add_custom_target(installed_documents DEPENDS ${INSTALLED_DOCUMENT_FILES})
add_dependencies(pervaro installed_documents)

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
# One package of the shared files and the game in games/ (not the one in bin/).
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL files games)
# The shared libraries the executable links decide the dependencies, with their versions.
find_program(DPKG_SHLIBDEPS_PROGRAM dpkg-shlibdeps)
if(DPKG_SHLIBDEPS_PROGRAM)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgcc-s1, libstdc++6")
endif()
include(CPack)
