# Makes the MSI installer of a Windows build, run in its build folder by the
# msi target, or by hand for another version number:
#   cmake -D VERSION=<version> -D OUTPUT=<file> -P <source>/packaging/windows/msi.cmake
# The product code and the package code are derived from what the package
# holds: a build with other contents is another product, which Windows
# Installer takes as an upgrade of the installed one, also of the same version
# (tolvane.wxs), where one product code with other contents would be refused
# (error 1638). wixl stamps the time and draws the package code at random;
# with SOURCE_DATE_EPOCH set the files and the time are dated by it, so that
# the same sources give the same MSI, byte for byte.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/modules/require.cmake)
require(wixl wixl "The MSI")
require(msibuild msitools "The MSI")
set(upgrade_code 258281E6-8A51-4206-9C37-87B0769ED91E)
set(wxs ${CMAKE_CURRENT_LIST_DIR}/tolvane.wxs)

file(REMOVE_RECURSE msi-files)
execute_process(COMMAND ${CMAKE_COMMAND} --install . --prefix msi-files --strip
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
# wixl takes no absolute paths.
file(COPY_FILE ${CMAKE_CURRENT_LIST_DIR}/tolvane.ico msi-files/tolvane.ico)
file(GLOB files msi-files/*)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  require(faketime faketime "A dated MSI")
  execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH} ${files} COMMAND_ERROR_IS_FATAL ANY)
  string(TIMESTAMP date "%Y-%m-%d %H:%M:%S" UTC)
  set(at_that_time ${CMAKE_COMMAND} -E env TZ=UTC ${FAKETIME} -f ${date})  # for wixl
endif()
set(contents ${VERSION})
foreach(file IN LISTS files ITEMS ${wxs})
  file(SHA256 ${file} hash)
  string(APPEND contents " ${hash}")
endforeach()
string(UUID product_code NAMESPACE ${upgrade_code} NAME "tolvane ${contents}" TYPE SHA1 UPPER)
string(UUID package_code NAMESPACE ${product_code} NAME "${contents}" TYPE SHA1 UPPER)
# wixl ignores IncludeMaximum: "up to this version and including it" is
# written as "below the next patch version", as Windows Installer compares the
# first three fields of a version alone.
string(REGEX MATCH "^([0-9]+\\.[0-9]+\\.)([0-9]+)$" version_fields ${VERSION})
math(EXPR next_patch "${CMAKE_MATCH_2} + 1")
execute_process(COMMAND ${at_that_time} ${WIXL} --arch x64 -D Version=${VERSION}
                        -D ProductCode=${product_code} -D UpgradeCode=${upgrade_code}
                        -D BelowVersion=${CMAKE_MATCH_1}${next_patch} -o ${OUTPUT} ${wxs}
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${MSIBUILD} ${OUTPUT} -s "Single Roll Tolvane ${VERSION}"
                        "The tolvane developers" "x64;1033" "{${package_code}}"
                COMMAND_ERROR_IS_FATAL ANY)
