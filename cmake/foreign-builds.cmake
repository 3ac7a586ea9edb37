# Builds the game for other systems and processors beside the native build, so
# the tests can run it under Wine or qemu-user: each into <build>/<name>, with
# its toolchain file, where every program it REQUIRES (the compiler first) is
# found. TOLVANE_<name> is then the built program, TOLVANE_<name>_RUNNER the
# command line that runs it here.
include(ExternalProject)

function(add_foreign_build name)
  cmake_parse_arguments(PARSE_ARGV 1 foreign "" "TOOLCHAIN;PROGRAM" "REQUIRES;RUNNER")
  foreach(program IN LISTS foreign_REQUIRES)
    string(MAKE_C_IDENTIFIER "FOUND_${program}" found)
    find_program(${found} ${program})
    if(NOT ${found})
      message(STATUS "${program} not found: the ${name} build is not made, its tests are skipped")
      return()
    endif()
  endforeach()
  ExternalProject_Add(${name}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/${name}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/${foreign_TOOLCHAIN}
      -DCMAKE_BUILD_TYPE=Release
      -DBUILD_TESTING=OFF
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  list(JOIN foreign_RUNNER " " runner)
  set(TOLVANE_${name} ${CMAKE_BINARY_DIR}/${name}/${foreign_PROGRAM} PARENT_SCOPE)
  set(TOLVANE_${name}_RUNNER ${runner} PARENT_SCOPE)
endfunction()

add_foreign_build(windows TOOLCHAIN mingw-w64-x86_64.cmake PROGRAM tolvane.exe
                  REQUIRES x86_64-w64-mingw32-g++-posix rsvg-convert icotool)
add_foreign_build(arm64 TOOLCHAIN aarch64-linux-gnu.cmake PROGRAM tolvane
                  REQUIRES aarch64-linux-gnu-g++ RUNNER qemu-aarch64 -L /usr/aarch64-linux-gnu)
add_foreign_build(armhf TOOLCHAIN arm-linux-gnueabihf.cmake PROGRAM tolvane
                  REQUIRES arm-linux-gnueabihf-g++ RUNNER qemu-arm -L /usr/arm-linux-gnueabihf)
set(TOLVANE_EXE ${TOLVANE_windows})
