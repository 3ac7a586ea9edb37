# Makes the MSI installer of a Windows build, run in its build folder by the
# msi target, or by hand for another version number:
#   cmake -D VERSION=<version> -D OUTPUT=<file> -P <source>/cmake/msi.cmake
# Every build of one version is one product: its product code is derived from
# the version, so a second build installs over the first, and either removes
# it. wixl stamps the time and draws the package code at random; here the
# package code is derived from what the package holds, and with
# SOURCE_DATE_EPOCH set the files and the time are dated by it, so that the
# same sources give the same MSI, byte for byte.
include(${CMAKE_CURRENT_LIST_DIR}/require.cmake)
require(wixl wixl "The MSI")
require(msibuild msitools "The MSI")
set(upgrade_code 258281E6-8A51-4206-9C37-87B0769ED91E)
set(wxs ${CMAKE_CURRENT_LIST_DIR}/../packaging/tolvane.wxs)
set(icon ${CMAKE_CURRENT_LIST_DIR}/../packaging/tolvane.ico)

file(REMOVE_RECURSE msi-files)
execute_process(COMMAND ${CMAKE_COMMAND} --install . --prefix msi-files --strip
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(COPY_FILE ${icon} msi-files/tolvane.ico)  # wixl takes no absolute paths
file(GLOB files msi-files/*)
set(wixl ${WIXL})
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  require(faketime faketime "A dated MSI")
  execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH} ${files} COMMAND_ERROR_IS_FATAL ANY)
  string(TIMESTAMP date "%Y-%m-%d %H:%M:%S" UTC)
  set(wixl ${CMAKE_COMMAND} -E env TZ=UTC ${FAKETIME} -f ${date} ${WIXL})
endif()
string(UUID product_code NAMESPACE ${upgrade_code} NAME "tolvane ${VERSION}" TYPE SHA1 UPPER)
execute_process(COMMAND ${wixl} --arch x64 -D Version=${VERSION} -D ProductCode=${product_code}
                        -D UpgradeCode=${upgrade_code} -o ${OUTPUT} ${wxs}
                COMMAND_ERROR_IS_FATAL ANY)

set(contents ${VERSION})
foreach(file IN LISTS files ITEMS ${wxs})
  file(SHA256 ${file} hash)
  string(APPEND contents " ${hash}")
endforeach()
string(UUID package_code NAMESPACE ${product_code} NAME "${contents}" TYPE SHA1 UPPER)
execute_process(COMMAND ${MSIBUILD} ${OUTPUT} -s "Single Roll Tolvane ${VERSION}"
                        "The tolvane developers" "x64;1033" "{${package_code}}"
                COMMAND_ERROR_IS_FATAL ANY)
