# Where each file goes, and the packages: Debian and RPM packages on Linux, a
# ZIP with the .exe for Windows, a ZIP with the web page's folder.
include(GNUInstallDirs)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VENDOR "The tolvane developers")
set(CPACK_PACKAGE_CONTACT "The tolvane developers <developers@tolvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_STRIP_FILES ON)

# "cmake --build <dir> --target uninstall" removes what "cmake --install"
# installed from that build folder, and the folders that it made once they are
# empty. Each install records them in the manifest, first noting which of its
# destinations' folders are missing, and refusing to begin where a file it
# takes from the build is not built: a destination or a built file added below
# belongs in these lists too.
set(install_manifest ${PROJECT_BINARY_DIR}/install_manifest.txt)
add_custom_target(uninstall
                  COMMAND ${CMAKE_COMMAND} -D MANIFEST=${install_manifest}
                          -P ${PROJECT_SOURCE_DIR}/cmake/uninstall.cmake
                  VERBATIM)
set(install_destinations . ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_MANDIR}/man6
    ${CMAKE_INSTALL_DATAROOTDIR}/applications ${CMAKE_INSTALL_DATAROOTDIR}/metainfo
    ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
set(install_built "$<TARGET_FILE:tolvane>
$<$<TARGET_EXISTS:documentation>:${PROJECT_BINARY_DIR}/man/tolvane.6.gz>")
set(install_record "set(install_manifest [==[${install_manifest}]==])
  include([==[${PROJECT_SOURCE_DIR}/cmake/install-record.cmake]==])")
install(CODE "set(install_stage before)
  set(install_destinations [==[${install_destinations}]==])
  set(install_built [==[${install_built}]==])
  ${install_record}")
# The record is written once every other file is installed.
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL install CODE "set(install_stage after)
  ${install_record}")

# tolvane.exe's icon is kept in the repository, so that building for Windows
# needs no tool that Windows lacks. Whoever changes the drawing redraws it with
# "cmake --build <dir> --target icon": each size is drawn from the SVG, not
# scaled down from the largest, so the small ones stay sharp; Windows takes 20
# and 40 px at 125% and 250% scaling. The largest is kept as PNG, which Windows
# reads, at a fraction of a bitmap's size.
find_program(RSVG_CONVERT rsvg-convert)
find_program(ICOTOOL icotool)
if(RSVG_CONVERT AND ICOTOOL)
  set(icon_commands)
  set(icon_images)
  foreach(size IN ITEMS 16 20 24 32 40 48 64 256)
    list(APPEND icon_commands COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o icon-${size}.png
                              ${PROJECT_SOURCE_DIR}/packaging/tolvane.svg)
    list(APPEND icon_images icon-${size}.png)
  endforeach()
  list(TRANSFORM icon_images PREPEND --raw= REGEX 256)
  add_custom_target(icon ${icon_commands}
                    COMMAND ${ICOTOOL} -c -o ${PROJECT_SOURCE_DIR}/packaging/tolvane.ico
                            ${icon_images}
                    VERBATIM)
else()
  add_custom_target(icon COMMAND ${CMAKE_COMMAND} -E echo "The icon is drawn with rsvg-convert and \
icotool (Debian: librsvg2-bin icoutils): install them, then configure again."
                         COMMAND ${CMAKE_COMMAND} -E false)
endif()

if(EMSCRIPTEN)
  include(cmake/web.cmake)
  return()
endif()
if(WIN32)
  # The .exe with its licence and a read-me beside it, as Windows text files.
  install(TARGETS tolvane RUNTIME DESTINATION .)
  configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(packaging/README.txt README.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/LICENSE.txt ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)
  include(cmake/windows-packaging.cmake)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x86_64)
  include(CPack)
  return()
endif()

# The Debian changelog, the metainfo's releases and the manual page's date are
# made from the release notes, from this version's entry back to the first.
include(cmake/release-notes.cmake)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS CHANGELOG.md packaging/changelog.in)
list(FIND RELEASE_NOTES_VERSIONS ${PROJECT_VERSION} newest)
if(newest EQUAL -1)
  message(FATAL_ERROR "CHANGELOG.md has no entry for ${PROJECT_VERSION}: add one, then configure "
                      "again.")
endif()
list(SUBLIST RELEASE_NOTES_VERSIONS ${newest} -1 releases)
file(READ packaging/changelog.in changelog_entry)
set(changelog)
set(separator)
set(METAINFO_RELEASES)
foreach(release IN LISTS releases)
  # Debian's changelog has "  * " items, continued on lines indented by four.
  string(REPLACE "\n  " "\n    " notes "\n${RELEASE_NOTES_${release}_TEXT}")
  string(REPLACE "\n- " "\n  * " notes "${notes}")
  string(SUBSTRING "${notes}" 1 -1 notes)
  set(stamp ${RELEASE_NOTES_${release}_STAMP})
  string(CONFIGURE "${changelog_entry}" entry @ONLY)
  string(APPEND changelog "${separator}${entry}")
  set(separator "\n")  # a blank line between entries
  string(APPEND METAINFO_RELEASES "\n    <release version=\"${release}\" "
                                  "date=\"${RELEASE_NOTES_${release}_DATE}\"/>")
endforeach()
file(CONFIGURE OUTPUT changelog CONTENT "@changelog@" @ONLY)  # rewritten only if changed
set(RELEASE_DATE ${RELEASE_NOTES_${PROJECT_VERSION}_DATE})
configure_file(man/tolvane.6.in man/tolvane.6 @ONLY)

# A plain install puts the game in bin, on the user's PATH; the Debian package
# puts it in /usr/games, where Debian keeps games, with the files that Debian
# Policy asks of every package.
install(TARGETS tolvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
install(TARGETS tolvane RUNTIME DESTINATION games COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright
        COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES packaging/tolvane.lintian-overrides RENAME tolvane
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
        COMPONENT debian EXCLUDE_FROM_ALL)

# The game in the desktop's Games menu and in software centres, all under one
# id: its desktop entry, its AppStream metainfo, and its icon. The icon is
# installed as drawn: hicolor's scalable size serves every other.
set(APP_ID example.tolvane.tolvane)
# Each place the game is installed at gets its own menu entry, written when
# it is installed (cmake/menu-entry.cmake).
function(install_menu_entry program_folder)
  install(CODE "set(program_folder \"${program_folder}\")
    set(entry_template \"${PROJECT_SOURCE_DIR}/packaging/tolvane.desktop.in\")
    set(entry \"${PROJECT_BINARY_DIR}/${APP_ID}.desktop\")
    set(entry_folder \"${CMAKE_INSTALL_DATAROOTDIR}/applications\")
    set(APP_ID ${APP_ID})
    include(\"${PROJECT_SOURCE_DIR}/cmake/menu-entry.cmake\")" ${ARGN})
endfunction()
install_menu_entry(${CMAKE_INSTALL_BINDIR} COMPONENT program)
install_menu_entry(games COMPONENT debian EXCLUDE_FROM_ALL)
configure_file(packaging/tolvane.metainfo.xml.in ${APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo COMPONENT desktop)
install(FILES packaging/tolvane.svg RENAME ${APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps COMPONENT desktop)

# The manual page and the changelog are compressed as Debian Policy asks,
# without a name or a time stamp, so that the package is the same from any
# build. Without gzip the page is installed as it is, and no Debian package
# is made rather than one that lacks its changelog.
find_program(GZIP gzip)
if(NOT GZIP)
  message(WARNING "gzip not found: the manual page is installed uncompressed, "
                  "and cpack makes no Debian package")
  set(CPACK_TOLVANE_NO_DEBIAN_PACKAGE "The Debian package needs gzip (Debian: gzip): install it, \
then configure again.")
else()
  add_custom_command(OUTPUT man/tolvane.6.gz changelog.gz
                     COMMAND ${GZIP} -9nkf man/tolvane.6 changelog
                     DEPENDS ${PROJECT_BINARY_DIR}/man/tolvane.6 ${PROJECT_BINARY_DIR}/changelog
                     VERBATIM)
  add_custom_target(documentation ALL DEPENDS man/tolvane.6.gz changelog.gz)
  install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR}
          COMPONENT debian EXCLUDE_FROM_ALL)
  set(compressed .gz)
endif()
install(FILES ${PROJECT_BINARY_DIR}/man/tolvane.6${compressed}
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT manual)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL debian manual desktop)
set(CPACK_PACKAGE_DESCRIPTION [[
tolvane throws the dice for Single Roll Tolvane, a dice game for players who
share one console. Each turn it clears the console, throws five six-sided
dice, shows them, and asks whether dice-rolls remain. It keeps no score and
judges no throw: the players do that, by the rules on its welcome screen.]])
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(cmake/debian-cross.cmake)
include(cmake/rpm.cmake)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack-generators.cmake)
include(CPack)
