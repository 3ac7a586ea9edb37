# What every package and every install shares: CPack's names for the game
# (its name and summary are the project's; CPACK_PACKAGE_VENDOR and _CONTACT
# are read by tolvane.exe's version information and the changelogs) and its
# description, the record that "cmake --install" keeps for the uninstall
# target, and the icons (icons.cmake). Then CMakeLists.txt includes the
# module of the platform's packages, each of which sets CPACK_GENERATOR.
include(GNUInstallDirs)
set(CPACK_PACKAGE_VENDOR "The tolvane developers")
set(CPACK_PACKAGE_CONTACT "The tolvane developers <developers@tolvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_CURRENT_LIST_DIR}/description.txt)
set(CPACK_STRIP_FILES ON)

# "cmake --build <dir> --target uninstall" removes what "cmake --install"
# installed from that build folder, and the folders that it made once they are
# empty. Each install records them in the manifest, first noting which of its
# destinations' folders are missing, and refusing to begin where a file it
# takes from the build is not built: a destination or a built file that a
# platform's module adds belongs in these lists too.
set(install_manifest ${PROJECT_BINARY_DIR}/install_manifest.txt)
add_custom_target(uninstall
                  COMMAND ${CMAKE_COMMAND} -D MANIFEST=${install_manifest}
                          -P ${PROJECT_SOURCE_DIR}/cmake/uninstall.cmake
                  VERBATIM)
set(install_destinations . ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_MANDIR}/man6
    ${CMAKE_INSTALL_DATAROOTDIR}/applications ${CMAKE_INSTALL_DATAROOTDIR}/metainfo
    ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
set(install_built $<TARGET_FILE:tolvane>
    $<$<TARGET_EXISTS:documentation>:${PROJECT_BINARY_DIR}/man/tolvane.6.gz>)
set(install_record "set(install_manifest [==[${install_manifest}]==])
  set(install_destinations [==[${install_destinations}]==])
  set(install_built [==[${install_built}]==])
  include([==[${PROJECT_SOURCE_DIR}/cmake/install-record.cmake]==])")
install(CODE "set(install_stage before)\n${install_record}")
# The record is written once every other file is installed.
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL install
               CODE "set(install_stage after)\n${install_record}")

include(${CMAKE_CURRENT_LIST_DIR}/icons.cmake)
