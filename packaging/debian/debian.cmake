# The Debian package: the game in /usr/games, where Debian keeps games, with
# the files that Debian Policy asks of every package, beside what every Linux
# package has (linux/linux.cmake, whose GZIP and install_menu_entry it reads,
# with the release notes' RELEASE_NOTES_ variables). Sets CPACK_GENERATOR to
# DEB, with its CPack settings.
install(TARGETS tolvane RUNTIME DESTINATION games COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES LICENSE TYPE DOC RENAME copyright COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tolvane.lintian-overrides RENAME tolvane
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
        COMPONENT debian EXCLUDE_FROM_ALL)
install_menu_entry(games/tolvane COMPONENT debian EXCLUDE_FROM_ALL)

# The changelog is made from the release notes, from this version's entry
# back to the first, and compressed as the manual page is.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS packaging/debian/changelog.in)
file(READ ${CMAKE_CURRENT_LIST_DIR}/changelog.in changelog_entry)
foreach(release IN LISTS RELEASE_NOTES_VERSIONS)
  # Debian's changelog has "  * " items, continued on lines indented by four.
  string(REPLACE "\n  " "\n    " notes "\n${RELEASE_NOTES_${release}_TEXT}")
  string(REPLACE "\n- " "\n  * " notes "${notes}")
  string(SUBSTRING "${notes}" 1 -1 notes)
  string(CONFIGURE "${changelog_entry}" entry)
  string(APPEND changelog "\n${entry}")  # a blank line between entries
endforeach()
string(SUBSTRING "${changelog}" 1 -1 changelog)
file(CONFIGURE OUTPUT changelog CONTENT "@changelog@" @ONLY)  # rewritten only if changed
add_custom_command(OUTPUT changelog.gz COMMAND ${GZIP} -9nkf changelog
                   DEPENDS ${PROJECT_BINARY_DIR}/changelog VERBATIM)
add_custom_target(debian-changelog ALL DEPENDS changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz TYPE DOC COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL debian manual desktop)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# The package of a cross build. Left to itself, CPack names the build
# machine's architecture, and dpkg-shlibdeps fails (CPack reports "Problem
# compressing the directory"): it looks for the game's C library in the
# system's folders, where none is built for the target, as Debian's cross
# compilers keep the target's in /usr/<triple>; and pointed there, it would
# find no symbols file to tell which release the game needs, only a shlibs
# file that names the cross compiler's own. So the package takes Debian's name
# for the target, and its dependency on the C library is read from the
# programs it holds (libc-depends.cmake).
if(CMAKE_CROSSCOMPILING)
  execute_process(COMMAND dpkg-architecture -t ${CMAKE_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
                  OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
    message(WARNING "dpkg-architecture (Debian: dpkg-dev) cannot name ${CMAKE_LIBRARY_ARCHITECTURE}"
                    ": the Debian package will bear the wrong architecture")
  endif()
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
  set(CPACK_READELF_EXECUTABLE ${CMAKE_READELF})
  list(APPEND CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/libc-depends.cmake)
endif()
