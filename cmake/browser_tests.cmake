# The browser tests (tests/web/*.test.js): the page folder served on 127.0.0.1 and played in
# Debian's Chromium through playwright-core, one CTest test a file. Both the browser build and
# the native build (which builds the browser one beside it) register them this way.
function(add_browser_tests web_dir npm_dir)
  find_program(CHROMIUM NAMES chromium chromium-browser)
  find_program(NODE node)
  if(NOT CHROMIUM OR NOT NODE)
    message(WARNING "Chromium or node not found (apt-get install chromium): no browser tests")
    return()
  endif()
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/web/*.test.js)
  foreach(test ${tests})
    get_filename_component(name ${test} NAME_WE)
    add_test(NAME browser.${name} COMMAND ${NODE} --test ${test})
    set_tests_properties(browser.${name} PROPERTIES LABELS browser TIMEOUT 300 ENVIRONMENT
      "NODE_PATH=${npm_dir}/node_modules;PERVARO_WEB_DIR=${web_dir};PERVARO_CHROMIUM=${CHROMIUM};PERVARO_PAGES_DIR=${CMAKE_SOURCE_DIR}/tests/pages")
  endforeach()
endfunction()
