# What the toolchain files for Debian's cross compilers share; each sets the
# system, the processor, the GNU triple and any suffix of its compilers'
# names, then includes this file (Debian: g++-<triple>, which brings the
# target's C library in /usr/<triple>).
set(CMAKE_C_COMPILER ${triple}-gcc${compiler_suffix})
set(CMAKE_CXX_COMPILER ${triple}-g++${compiler_suffix})

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
