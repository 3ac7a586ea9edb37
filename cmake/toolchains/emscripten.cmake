# Builds the game as a web page with Emscripten (Debian: emscripten): wraps
# Emscripten's own toolchain file, found beside em++. "emcmake cmake" gives
# that file directly, which serves as well (web/web.cmake does the rest).
find_program(EMXX em++ REQUIRED)
file(REAL_PATH ${EMXX} emxx)
get_filename_component(bin ${emxx} DIRECTORY)
# Debian's em++ is a script in /usr/bin; elsewhere em++ sits in Emscripten's own folder.
find_file(EMSCRIPTEN_TOOLCHAIN Emscripten.cmake REQUIRED NO_DEFAULT_PATH
          PATHS ${bin}/../share/emscripten ${bin} PATH_SUFFIXES cmake/Modules/Platform)
include(${EMSCRIPTEN_TOOLCHAIN})
