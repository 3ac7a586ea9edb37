# The Windows packages: tolvane.exe with its licence and a read-me beside it,
# as Windows text files, in a ZIP, and in an MSI installer; and tolvane.exe's
# own icon and version information. Sets CPACK_GENERATOR to ZIP, and the
# target msi.
install(TARGETS tolvane RUNTIME DESTINATION .)
configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${PROJECT_BINARY_DIR}/LICENSE.txt ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_SYSTEM_NAME windows-x86_64)

enable_language(RC)
file(STRINGS LICENSE copyright REGEX "^Copyright" LIMIT_COUNT 1)
configure_file(${CMAKE_CURRENT_LIST_DIR}/tolvane.rc.in tolvane.rc @ONLY)
target_sources(tolvane PRIVATE ${PROJECT_BINARY_DIR}/tolvane.rc)
set_source_files_properties(${PROJECT_BINARY_DIR}/tolvane.rc PROPERTIES
                            OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tolvane.ico)

# The MSI takes the files the ZIP holds, installed and stripped as CPack does:
# "cmake --build <dir> --target msi" (msi.cmake).
add_custom_target(msi COMMAND ${CMAKE_COMMAND} -D VERSION=${PROJECT_VERSION}
                              -D OUTPUT=tolvane-${PROJECT_VERSION}-windows-x86_64.msi
                              -P ${CMAKE_CURRENT_LIST_DIR}/msi.cmake
                      DEPENDS tolvane VERBATIM)
