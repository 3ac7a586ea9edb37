# tolvane.exe's icon and version information, and its MSI installer. The icon
# is drawn from packaging/tolvane.svg at build time, in every size Windows
# asks for, so no binary file is kept in the repository.
find_program(RSVG_CONVERT rsvg-convert)
find_program(ICOTOOL icotool)
if(NOT RSVG_CONVERT)
  message(FATAL_ERROR "tolvane.exe's icon is made with rsvg-convert (Debian: librsvg2-bin)")
endif()
if(NOT ICOTOOL)
  message(FATAL_ERROR "tolvane.exe's icon is made with icotool (Debian: icoutils)")
endif()

# Each size is drawn from the SVG, not scaled down from the largest, so the
# small ones stay sharp. The largest is kept as PNG, which Windows reads, at a
# fraction of a bitmap's size.
set(svg ${PROJECT_SOURCE_DIR}/packaging/tolvane.svg)
set(icon_commands)
set(icon_images)
foreach(size IN ITEMS 16 24 32 48 64 256)
  list(APPEND icon_commands
       COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o icon-${size}.png ${svg})
  list(APPEND icon_images icon-${size}.png)
endforeach()
list(TRANSFORM icon_images PREPEND --raw= REGEX 256)
add_custom_command(OUTPUT tolvane.ico
                   ${icon_commands}
                   COMMAND ${ICOTOOL} -c -o tolvane.ico ${icon_images}
                   DEPENDS ${svg}
                   VERBATIM)

file(STRINGS LICENSE copyright REGEX "^Copyright" LIMIT_COUNT 1)
configure_file(packaging/tolvane.rc.in tolvane.rc @ONLY)
set_source_files_properties(${PROJECT_BINARY_DIR}/tolvane.rc PROPERTIES
                            OBJECT_DEPENDS ${PROJECT_BINARY_DIR}/tolvane.ico)

# The MSI takes the files the ZIP holds, installed and stripped as CPack does.
# Only this target needs wixl: "cmake --build <dir> --target msi".
set(msi tolvane-${PROJECT_VERSION}-windows-x86_64.msi)
find_program(WIXL wixl)
if(WIXL)
  add_custom_command(OUTPUT ${msi}
                     COMMAND ${CMAKE_COMMAND} --install . --prefix msi-files --strip
                     COMMAND ${WIXL} --arch x64 -D Version=${PROJECT_VERSION} -o ${msi}
                             ${PROJECT_SOURCE_DIR}/packaging/tolvane.wxs
                     DEPENDS tolvane packaging/tolvane.wxs ${PROJECT_BINARY_DIR}/tolvane.ico
                             ${PROJECT_BINARY_DIR}/LICENSE.txt ${PROJECT_BINARY_DIR}/README.txt
                     VERBATIM)
  add_custom_target(msi DEPENDS ${msi})
else()
  set(missing "The MSI is made with wixl (Debian: wixl): install it, then configure again.")
  add_custom_target(msi COMMAND ${CMAKE_COMMAND} -E echo ${missing}
                        COMMAND ${CMAKE_COMMAND} -E false
                        VERBATIM)
endif()
