# Builds the game for other systems and processors (cmake/modules/ports.cmake),
# so the tests can run it under Wine, qemu-user or a browser: each into
# <build>/<name>, where its compiler is found. A port is built by its own
# target, not by the default one; the tests that run one have them all built
# first, side by side (the CTest fixture "ports"). Sets TOLVANE_<name>, the
# built program, and TOLVANE_<name>_RUNNER, the command line that runs it here.
include(ExternalProject)
include(${PROJECT_SOURCE_DIR}/cmake/modules/ports.cmake)
foreach(port IN LISTS PORTS)
  find_program(compiler ${PORT_${port}_COMPILER} NO_CACHE)
  if(NOT compiler)
    message(STATUS "${PORT_${port}_COMPILER} (Debian: ${PORT_${port}_DEBIAN}) not found: "
                   "the ${port} build is not made, its tests are skipped")
    continue()
  endif()
  ExternalProject_Add(${port}
    SOURCE_DIR ${PROJECT_SOURCE_DIR} BINARY_DIR ${CMAKE_BINARY_DIR}/${port}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/${PORT_${port}_TOOLCHAIN}
               -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
    BUILD_ALWAYS ON INSTALL_COMMAND "" EXCLUDE_FROM_ALL ON)
  list(APPEND built ${port})
  list(JOIN PORT_${port}_RUNNER " " TOLVANE_${port}_RUNNER)
  set(TOLVANE_${port} ${CMAKE_BINARY_DIR}/${port}/${PORT_${port}_PROGRAM})
endforeach()
if(built)
  cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)
  add_test(NAME build.ports
           COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target ${built} --parallel ${cores})
  set_tests_properties(build.ports PROPERTIES FIXTURES_SETUP ports)
endif()
