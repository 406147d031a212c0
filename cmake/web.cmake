# The browser build (emcmake cmake -S . -B build-web && cmake --build build-web): a folder,
# build-web/web, that any static server can serve as it is. The game is pervaro.js and
# pervaro.wasm on the web platform; beside them the page, xterm.js from npm (the version the
# committed package-lock.json pins) and the maps. Nothing is fetched from elsewhere at run time.
set(WEB_DIR ${CMAKE_BINARY_DIR}/web)
set(WEB_SOURCE ${CMAKE_SOURCE_DIR}/web)

add_library(pervaro_web STATIC src/platform/platform_web.cpp src/platform/files_web.cpp)
target_link_libraries(pervaro_web PUBLIC pervaro_game)

add_executable(pervaro src/main.cpp)
target_link_libraries(pervaro PRIVATE pervaro_game pervaro_web)
set(WEB_PLATFORM_JS ${CMAKE_SOURCE_DIR}/src/platform/platform_web.js)
set_target_properties(pervaro PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${WEB_DIR} SUFFIX .js
                                         LINK_DEPENDS ${WEB_PLATFORM_JS})
# One thread whose waits yield to the browser (Asyncify); a module the page starts anew after
# the game has ended; no file system of Emscripten's (the platform keeps the files).
set(WEB_LINK_OPTIONS
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH
  -sMODULARIZE -sEXPORT_ES6 -sENVIRONMENT=web -sFILESYSTEM=0 "SHELL:--pre-js ${WEB_PLATFORM_JS}")
target_link_options(pervaro PRIVATE ${WEB_LINK_OPTIONS} -sEXPORT_NAME=createPervaro)
# Emscripten's JavaScript optimiser needs the acorn parser. Debian's Emscripten finds Debian's
# acorn only through Debian's node; with another node first on the PATH it needs the path.
if(EXISTS /usr/share/nodejs/acorn)
  set(WEB_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
  set_target_properties(pervaro PROPERTIES CXX_LINKER_LAUNCHER "${WEB_LINKER_LAUNCHER}")
endif()

# xterm.js (and, for the tests, playwright-core) from npm, installed in the build folder.
find_program(NPM npm REQUIRED)
set(NPM_DIR ${CMAKE_BINARY_DIR}/npm)
set(NPM_STAMP ${NPM_DIR}/npm-ci.stamp)
set(XTERM ${NPM_DIR}/node_modules/@xterm/xterm)
add_custom_command(OUTPUT ${NPM_STAMP} ${XTERM}/lib/xterm.mjs ${XTERM}/css/xterm.css
  COMMAND ${CMAKE_COMMAND} -E copy ${WEB_SOURCE}/package.json ${WEB_SOURCE}/package-lock.json
          ${NPM_DIR}
  COMMAND ${NPM} ci --no-audit --no-fund --loglevel=error
  COMMAND ${CMAKE_COMMAND} -E touch ${NPM_STAMP}
  WORKING_DIRECTORY ${NPM_DIR}
  DEPENDS ${WEB_SOURCE}/package.json ${WEB_SOURCE}/package-lock.json
  COMMENT "npm ci: xterm.js and playwright-core")
file(MAKE_DIRECTORY ${NPM_DIR})

# The page's own files, xterm.js and the maps, copied into the folder.
set(WEB_FILES)
foreach(name index.html page.js page.css save_store.js)
  list(APPEND WEB_FILES ${WEB_SOURCE}/${name} ${WEB_DIR}/${name})
endforeach()
list(APPEND WEB_FILES ${XTERM}/lib/xterm.mjs ${WEB_DIR}/xterm/xterm.mjs
                      ${XTERM}/css/xterm.css ${WEB_DIR}/xterm/xterm.css)
file(GLOB MAP_FILES CONFIGURE_DEPENDS data/map*.txt)
foreach(map ${MAP_FILES})
  get_filename_component(name ${map} NAME)
  list(APPEND WEB_FILES ${map} ${WEB_DIR}/maps/${name})
endforeach()
set(WEB_OUTPUTS)
while(WEB_FILES)
  list(POP_FRONT WEB_FILES from to)
  add_custom_command(OUTPUT ${to} COMMAND ${CMAKE_COMMAND} -E copy ${from} ${to}
                     DEPENDS ${from} ${NPM_STAMP})
  list(APPEND WEB_OUTPUTS ${to})
endwhile()
add_custom_target(web_page ALL DEPENDS ${WEB_OUTPUTS})

# The browser bench: build-web/bench, driven by bench/web/run.js (see docs/performance.md).
if(PERVARO_BENCH)
  add_executable(pervaro_web_bench bench/web_bench.cpp bench/table.cpp bench/timer_race.cpp
                                   bench/key_loops.cpp)
  target_include_directories(pervaro_web_bench PRIVATE bench)
  target_link_libraries(pervaro_web_bench PRIVATE pervaro_game pervaro_web)
  set_target_properties(pervaro_web_bench PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench SUFFIX .js LINK_DEPENDS ${WEB_PLATFORM_JS}
    CXX_LINKER_LAUNCHER "${WEB_LINKER_LAUNCHER}")
  target_link_options(pervaro_web_bench PRIVATE ${WEB_LINK_OPTIONS} -sEXPORT_NAME=createBench)
  foreach(name index.html bench.js)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/bench/${name}
      COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/bench/web/${name} ${CMAKE_BINARY_DIR}/bench/${name}
      DEPENDS ${CMAKE_SOURCE_DIR}/bench/web/${name})
  endforeach()
  add_custom_target(web_bench_page ALL DEPENDS ${CMAKE_BINARY_DIR}/bench/index.html
                                               ${CMAKE_BINARY_DIR}/bench/bench.js)
endif()

if(PERVARO_TESTS)
  include(cmake/browser_tests.cmake)
  add_browser_tests(${WEB_DIR} ${NPM_DIR})
endif()
