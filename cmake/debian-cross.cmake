# The Debian package of a cross build. Left to itself, CPack names the build
# machine's architecture, and dpkg-shlibdeps fails (CPack reports "Problem
# compressing the directory"): it looks for the game's C library in the
# system's folders, where none is built for the target, as Debian's cross
# compilers keep the target's in /usr/<triple>; and pointed there, it would
# find no symbols file to tell which release the game needs, only a shlibs
# file that names the cross compiler's own. So the package takes Debian's name
# for the target, and its dependency on the C library is read from the
# programs it holds (libc-depends.cmake).
if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()

execute_process(COMMAND dpkg-architecture -t ${CMAKE_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
                OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
  message(WARNING "dpkg-architecture (Debian: dpkg-dev) cannot name ${CMAKE_LIBRARY_ARCHITECTURE}:"
                  " the Debian package will bear the wrong architecture")
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_READELF_EXECUTABLE ${CMAKE_READELF})
list(APPEND CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/libc-depends.cmake)
