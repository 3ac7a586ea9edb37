# The game's builds for other systems and processors, read by the tests'
# foreign builds (tests/foreign-builds.cmake) and by the release: each with
# its toolchain file, the program it makes, the compiler it needs with the
# Debian package that brings it, and the command line that runs the program on
# this machine. Sets PORTS, the names, and PORT_<name>_<TOOLCHAIN|PROGRAM|
# COMPILER|DEBIAN|RUNNER> for each, a toolchain file named relative to the
# source; and PORT_COMPILERS, the compilers as <compiler>:<Debian package>.
macro(port name)
  list(APPEND PORTS ${name})
  cmake_parse_arguments(PORT_${name} "" "TOOLCHAIN;PROGRAM;COMPILER;DEBIAN" "RUNNER" ${ARGN})
  list(APPEND PORT_COMPILERS ${PORT_${name}_COMPILER}:${PORT_${name}_DEBIAN})
endmacro()

port(windows TOOLCHAIN cmake/toolchains/mingw-w64-x86_64.cmake PROGRAM tolvane.exe
     COMPILER x86_64-w64-mingw32-g++-posix DEBIAN g++-mingw-w64-x86-64-posix)
port(arm64 TOOLCHAIN cmake/toolchains/aarch64-linux-gnu.cmake PROGRAM tolvane
     COMPILER aarch64-linux-gnu-g++ DEBIAN g++-aarch64-linux-gnu
     RUNNER qemu-aarch64 -L /usr/aarch64-linux-gnu)
port(armhf TOOLCHAIN cmake/toolchains/arm-linux-gnueabihf.cmake PROGRAM tolvane
     COMPILER arm-linux-gnueabihf-g++ DEBIAN g++-arm-linux-gnueabihf
     RUNNER qemu-arm -L /usr/arm-linux-gnueabihf)
port(web TOOLCHAIN cmake/toolchains/emscripten.cmake PROGRAM site/tolvane.html
     COMPILER em++ DEBIAN emscripten)
