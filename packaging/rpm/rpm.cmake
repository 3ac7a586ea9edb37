# The RPM package, for Fedora, openSUSE and the RHEL family, made beside the
# Debian package where rpmbuild (Debian: rpm) is installed. It is laid out as
# Fedora lays out a game: the program in /usr/bin, where its menu entry names
# it, and the licence in /usr/share/licenses (cpack-generators.cmake picks its
# components). What the program needs is read from it by rpm's own
# generator, as libc.so.6(GLIBC_2.34) and the like. Reads the release notes'
# RELEASE_NOTES_ variables (linux/linux.cmake includes them); adds RPM to
# CPACK_GENERATOR, with its CPack settings.
find_program(RPMBUILD rpmbuild)
if(RPMBUILD)
  list(APPEND CPACK_GENERATOR RPM)
endif()
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/licenses/tolvane
        COMPONENT rpm EXCLUDE_FROM_ALL)
set(CPACK_RPM_COMPONENT_INSTALL ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack-generators.cmake)
set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_RPM_PACKAGE_GROUP Amusements/Games)
set(CPACK_RPM_PACKAGE_SUMMARY "Throws five dice a turn for players who share one console")
set(CPACK_RPM_PACKAGE_URL https://tolvane.example/)
# CPack makes a package relocatable unless told not to; this one is not, as
# its menu entry names /usr/bin/tolvane.
set(CPACK_PACKAGE_RELOCATABLE OFF)
set(CPACK_RPM_USER_FILELIST "%license %{_datadir}/licenses/tolvane/LICENSE")
# The folders that the system's own packages own: filesystem, which every
# system has, and hicolor-icon-theme, which owns the icon theme's.
set(CPACK_RPM_PACKAGE_REQUIRES hicolor-icon-theme)
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/applications /usr/share/icons
    /usr/share/icons/hicolor /usr/share/icons/hicolor/scalable
    /usr/share/icons/hicolor/scalable/apps /usr/share/licenses /usr/share/man
    /usr/share/man/man6 /usr/share/metainfo)
# Its changelog is the release notes, as the Debian package's is, from this
# version back to the first, each dated as RPM dates it.
foreach(release IN LISTS RELEASE_NOTES_VERSIONS)
  string(REGEX REPLACE "^(...), (..) (...) (....) .*" "\\1 \\3 \\2 \\4" day
                       "${RELEASE_NOTES_${release}_STAMP}")
  string(APPEND rpm_changelog "* ${day} ${CPACK_PACKAGE_CONTACT} - ${release}-1\n"
                              "${RELEASE_NOTES_${release}_TEXT}\n")
endforeach()
file(CONFIGURE OUTPUT rpm-changelog CONTENT "@rpm_changelog@" @ONLY)
set(CPACK_RPM_CHANGELOG_FILE ${PROJECT_BINARY_DIR}/rpm-changelog)
# RPM's names of the processors, which the toolchain files call aarch64 and arm.
string(REGEX REPLACE "^arm$" armv7hl CPACK_RPM_PACKAGE_ARCHITECTURE ${CMAKE_SYSTEM_PROCESSOR})

# The same package from any build, byte for byte: dated by SOURCE_DATE_EPOCH,
# with no build host or build-id links of its own.
string(JOIN "\n" CPACK_RPM_SPEC_MORE_DEFINE
       "%define packager ${CPACK_PACKAGE_CONTACT}"
       "%define _buildhost reproducible"
       "%define use_source_date_epoch_as_buildtime 1"
       "%define clamp_mtime_to_source_date_epoch 1"
       "%define _build_id_links none")
