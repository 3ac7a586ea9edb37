# The game as a web page (cmake/toolchains/emscripten.cmake, or "emcmake
# cmake"): one self-contained tolvane.html that plays from a file, in
# <build>/site beside what a static web host needs to offer it as an app that
# plays offline (a manifest, its icons, a service worker, and an index that
# leads to the page). "cpack" puts the folder into tolvane-<version>-web.zip.
# Sets CPACK_GENERATOR to ZIP.

# Debian's Emscripten runs its JavaScript optimizer with the Node.js found on
# PATH, which (if not Debian's own) does not look for modules where Debian
# keeps them: the optimizer then fails at the link, wanting acorn. Elsewhere
# the folder is missing, and Node.js passes over it.
set_target_properties(tolvane PROPERTIES
                      CXX_LINKER_LAUNCHER "${CMAKE_COMMAND};-E;env;NODE_PATH=/usr/share/nodejs")

# The page cannot block: the game's reads wait for it through Asyncify (the
# EM_ASYNC_JS functions of console_web.cpp). The page starts each game itself,
# as a fresh instance of the module, and hears when it ends; the WebAssembly
# travels inside the script, so that a page opened from a file needs nothing
# beside it.
# Made for size, which a page's first start waits for, rather than speed,
# which nobody could see.
set_property(TARGET tolvane_game tolvane_console tolvane APPEND PROPERTY COMPILE_OPTIONS -Os)
target_link_options(tolvane PRIVATE -Os -sASYNCIFY -sMODULARIZE -sEXPORT_NAME=createTolvane
                    -sINVOKE_RUN=0 -sEXPORTED_RUNTIME_METHODS=[ccall] -sSINGLE_FILE
                    -sENVIRONMENT=web)

set(site ${PROJECT_BINARY_DIR}/site)
add_custom_command(OUTPUT ${site}/tolvane.html
                   COMMAND ${CMAKE_COMMAND} -D GAME=$<TARGET_FILE:tolvane>
                           -D OUTPUT=${site}/tolvane.html
                           -P ${PROJECT_SOURCE_DIR}/web/web-page.cmake
                   DEPENDS tolvane web/tolvane.html web/tolvane.css web/console.js
                           web/web-page.cmake
                   VERBATIM)
add_custom_target(page ALL DEPENDS ${site}/tolvane.html)
foreach(file IN ITEMS index.html manifest.webmanifest service-worker.js)
  configure_file(web/${file} ${site}/${file} @ONLY)
endforeach()
configure_file(packaging/tolvane.svg ${site}/tolvane.svg COPYONLY)
draw_web_icons(${site})  # packaging/icons.cmake
configure_file(LICENSE ${site}/LICENSE.txt COPYONLY)

install(DIRECTORY ${site}/ DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_SYSTEM_NAME web)
