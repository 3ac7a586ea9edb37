# tolvane.exe's icon and version information, and its MSI installer.
file(STRINGS LICENSE copyright REGEX "^Copyright" LIMIT_COUNT 1)
configure_file(packaging/tolvane.rc.in tolvane.rc @ONLY)
set_source_files_properties(${PROJECT_BINARY_DIR}/tolvane.rc PROPERTIES
                            OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/tolvane.ico)

# The MSI takes the files the ZIP holds, installed and stripped as CPack does:
# "cmake --build <dir> --target msi" (cmake/msi.cmake).
add_custom_target(msi COMMAND ${CMAKE_COMMAND} -D VERSION=${PROJECT_VERSION}
                              -D OUTPUT=tolvane-${PROJECT_VERSION}-windows-x86_64.msi
                              -P ${PROJECT_SOURCE_DIR}/cmake/msi.cmake
                      DEPENDS tolvane VERBATIM)
