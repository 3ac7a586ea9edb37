# What a plain install on Linux and every Linux package share: the program,
# its manual page, and the game in the desktop's Games menu and in software
# centres, all under one id: its menu entry, its AppStream metainfo, and its
# icon, installed as drawn (hicolor's scalable size serves every other).
# Reads the release notes (cmake/modules/release-notes.cmake), whose
# RELEASE_NOTES_ variables the packages' changelogs read too. Sets:
#   APP_ID, GZIP        the id, and gzip's path
#   install_menu_entry(<program's path> <install() options>...)
#                       a menu entry that names the program where a package
#                       puts it (menu-entry.cmake writes it at the install)

# The metainfo's releases and the manual page's date are made from the
# release notes, from this version's entry back to the first.
include(${PROJECT_SOURCE_DIR}/cmake/modules/release-notes.cmake)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS CHANGELOG.md)
foreach(release IN LISTS RELEASE_NOTES_VERSIONS)
  string(APPEND METAINFO_RELEASES "\n    <release version=\"${release}\" "
                                  "date=\"${RELEASE_NOTES_${release}_DATE}\"/>")
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/tolvane.6.in man/tolvane.6)

# A plain install puts the game in bin, on the user's PATH.
install(TARGETS tolvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
set(APP_ID example.tolvane.tolvane)
function(install_menu_entry program)
  install(CODE "set(program \"${program}\")
    set(entry \"${PROJECT_BINARY_DIR}/${APP_ID}.desktop\")
    set(entry_folder \"${CMAKE_INSTALL_DATAROOTDIR}/applications\")
    set(APP_ID ${APP_ID})
    include(\"${CMAKE_CURRENT_FUNCTION_LIST_DIR}/menu-entry.cmake\")" ${ARGN})
endfunction()
install_menu_entry(${CMAKE_INSTALL_BINDIR}/tolvane COMPONENT program)
configure_file(${CMAKE_CURRENT_LIST_DIR}/tolvane.metainfo.xml.in ${APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo COMPONENT desktop)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tolvane.svg RENAME ${APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps COMPONENT desktop)

# The manual page (and the Debian package's changelog) compressed as Debian
# Policy asks, without a name or a time stamp, so that the package is the
# same from any build.
include(${PROJECT_SOURCE_DIR}/cmake/modules/require.cmake)
require(gzip gzip "The manual page")
add_custom_command(OUTPUT man/tolvane.6.gz COMMAND ${GZIP} -9nkf man/tolvane.6
                   DEPENDS ${PROJECT_BINARY_DIR}/man/tolvane.6 VERBATIM)
add_custom_target(documentation ALL DEPENDS man/tolvane.6.gz)
install(FILES ${PROJECT_BINARY_DIR}/man/tolvane.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6
        COMPONENT manual)
