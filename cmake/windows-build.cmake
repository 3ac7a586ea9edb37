# Builds tolvane.exe beside the native build when MinGW-w64 is installed, so
# the tests can run it under Wine.
find_program(MINGW_CXX x86_64-w64-mingw32-g++-posix)
if(NOT MINGW_CXX)
  message(STATUS "MinGW-w64 not found: tolvane.exe is not built, its tests are skipped")
  return()
endif()

include(ExternalProject)
ExternalProject_Add(windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/windows
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_TESTING=OFF
  BUILD_ALWAYS ON
  INSTALL_COMMAND "")
set(TOLVANE_EXE ${CMAKE_BINARY_DIR}/windows/tolvane.exe)
