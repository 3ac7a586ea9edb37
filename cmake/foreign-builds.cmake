# Builds the game for other systems and processors (ports.cmake), so the tests
# can run it under Wine or qemu-user: each into <build>/<name>, where its
# compiler is found. A port is built by its own target, not by the default
# one; the tests that run one have them all built first, side by side (the
# CTest fixture "ports"). TOLVANE_<name> is then the built program,
# TOLVANE_<name>_RUNNER the command line that runs it here.
include(ExternalProject)

function(port name)
  cmake_parse_arguments(PARSE_ARGV 1 port "" "TOOLCHAIN;PROGRAM;COMPILER;DEBIAN" "RUNNER")
  string(MAKE_C_IDENTIFIER "FOUND_${port_COMPILER}" found)
  find_program(${found} ${port_COMPILER})
  if(NOT ${found})
    message(STATUS "${port_COMPILER} (Debian: ${port_DEBIAN}) not found: "
                   "the ${name} build is not made, its tests are skipped")
    return()
  endif()
  ExternalProject_Add(${name}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/${name}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/${port_TOOLCHAIN}
      -DCMAKE_BUILD_TYPE=Release
      -DBUILD_TESTING=OFF
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    EXCLUDE_FROM_ALL ON)
  set(ports ${ports} ${name} PARENT_SCOPE)
  list(JOIN port_RUNNER " " runner)
  set(TOLVANE_${name} ${CMAKE_BINARY_DIR}/${name}/${port_PROGRAM} PARENT_SCOPE)
  set(TOLVANE_${name}_RUNNER ${runner} PARENT_SCOPE)
endfunction()

set(ports)
include(${CMAKE_CURRENT_LIST_DIR}/ports.cmake)
if(ports)
  cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)
  add_test(NAME build.ports
           COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target ${ports} --parallel ${cores})
  set_tests_properties(build.ports PROPERTIES FIXTURES_SETUP ports)
endif()
set(TOLVANE_EXE ${TOLVANE_windows})
