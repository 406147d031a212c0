# The browser build beside this one, where Emscripten is installed: `cmake --build build` also
# makes build/web-build/web (as `emcmake cmake -S . -B build-web` would), and this build's
# ctest plays it in Chromium. Builds for sanitizers, fuzzing or another system leave it out.
option(PERVARO_WEB "Build the browser version beside this one and test it (needs Emscripten)" ON)
find_program(EMCMAKE emcmake)
if(NOT PERVARO_WEB OR CMAKE_CROSSCOMPILING OR PERVARO_SANITIZE OR PERVARO_FUZZ)
  return()
endif()
if(NOT EMCMAKE)
  message(STATUS "Emscripten not found (apt-get install emscripten): no browser build")
  return()
endif()
include(ExternalProject)
set(WEB_BUILD ${CMAKE_BINARY_DIR}/web-build)
ExternalProject_Add(web
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${WEB_BUILD}
  CONFIGURE_COMMAND ${EMCMAKE} ${CMAKE_COMMAND} -S <SOURCE_DIR> -B <BINARY_DIR> -DPERVARO_TESTS=OFF
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON)
if(PERVARO_TESTS)
  include(cmake/browser_tests.cmake)
  add_browser_tests(${WEB_BUILD}/web ${WEB_BUILD}/npm)
endif()
# `cmake --build build --target web_picture`: the README's picture of the page in Chromium.
find_program(NODE node)
if(NODE)
  add_custom_target(web_picture
    COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=${WEB_BUILD}/npm/node_modules
            ${NODE} ${CMAKE_SOURCE_DIR}/tools/web_picture.js ${WEB_BUILD}/web
            ${CMAKE_SOURCE_DIR}/docs/browser.png
    DEPENDS web)
endif()
