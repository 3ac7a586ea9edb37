# Makes every artifact of a release of the commit checked out, into release/
# in the source folder (or the folder RELEASE_DIR names):
#   cmake [-D RELEASE_DIR=<folder>] -P cmake/release.cmake
# the source archive, the Debian packages for amd64, arm64 and armhf, the
# Windows ZIP and MSI, and SHA256SUMS over them. Every package is built from
# the source archive itself, and dated by the commit unless SOURCE_DATE_EPOCH
# says otherwise, so that a commit gives the same files from any clone.
cmake_minimum_required(VERSION 3.25)
get_filename_component(source ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
if(NOT RELEASE_DIR)
  set(RELEASE_DIR ${source}/release)
endif()
get_filename_component(out ${RELEASE_DIR} ABSOLUTE)
set(work ${out}-work)
include(${CMAKE_CURRENT_LIST_DIR}/require.cmake)

# Every tool is looked for before anything is built: a release that lacks one
# stops, rather than leave an artifact out.
foreach(tool IN ITEMS git:git c++:g++ gzip:gzip dpkg-shlibdeps:dpkg-dev
                      dpkg-architecture:dpkg-dev wixl:wixl msibuild:msitools faketime:faketime)
  string(REPLACE ":" ";" tool ${tool})
  require(${tool} "The release")
endforeach()
set(ports)
function(port name)
  cmake_parse_arguments(PARSE_ARGV 1 port "" "TOOLCHAIN;PROGRAM;COMPILER;DEBIAN" "RUNNER")
  require(${port_COMPILER} ${port_DEBIAN} "The release")
  set(ports ${ports} "${name}:-DCMAKE_TOOLCHAIN_FILE=cmake/${port_TOOLCHAIN}" PARENT_SCOPE)
endfunction()
include(${CMAKE_CURRENT_LIST_DIR}/ports.cmake)

# Runs a step with its output in <work>/<log>.log, shown only if it fails.
function(step log)
  execute_process(COMMAND ${ARGN} OUTPUT_FILE ${work}/${log}.log ERROR_FILE ${work}/${log}.log
                  RESULT_VARIABLE failed)
  if(failed)
    file(READ ${work}/${log}.log output)
    message(FATAL_ERROR "${output}\nThe release failed at this step: ${ARGN}")
  endif()
endfunction()

file(STRINGS ${source}/CMakeLists.txt project REGEX "^project\\(tolvane VERSION ")
string(REGEX REPLACE ".* VERSION ([0-9.]+) .*" "\\1" version "${project}")
set(name tolvane-${version})
file(REMOVE_RECURSE ${out} ${work})
file(MAKE_DIRECTORY ${out} ${work})
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND ${GIT} -C ${source} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()

message(STATUS "${name}.tar.gz: the files of the commit")
step(archive ${GIT} -C ${source} archive --format=tar.gz --prefix=${name}/ -o ${out}/${name}.tar.gz
     HEAD)
file(ARCHIVE_EXTRACT INPUT ${out}/${name}.tar.gz DESTINATION ${work})

foreach(build IN ITEMS native: ${ports})
  string(REPLACE ":" ";" build ${build})
  list(POP_FRONT build port)
  message(STATUS "The ${port} build and its packages")
  set(folder ${work}/${port})
  step(${port} ${CMAKE_COMMAND} -S ${work}/${name} -B ${folder} -DBUILD_TESTING=OFF ${build})
  step(${port} ${CMAKE_COMMAND} --build ${folder} --parallel)
  step(${port} ${CMAKE_CPACK_COMMAND} --config ${folder}/CPackConfig.cmake -B ${folder}/packages)
  file(GLOB packages ${folder}/packages/*.deb ${folder}/packages/*.zip)
  if(port STREQUAL "windows")
    step(${port} ${CMAKE_COMMAND} --build ${folder} --target msi)
    file(GLOB msi ${folder}/*.msi)
    list(APPEND packages ${msi})
  endif()
  file(COPY ${packages} DESTINATION ${out})
endforeach()

set(expected ${name}.tar.gz ${name}-windows-x86_64.msi ${name}-windows-x86_64.zip)
foreach(architecture IN ITEMS amd64 arm64 armhf)
  list(APPEND expected tolvane_${version}_${architecture}.deb)
endforeach()
file(GLOB made RELATIVE ${out} ${out}/*)
list(SORT made)
list(SORT expected)
if(NOT made STREQUAL expected)
  message(FATAL_ERROR "The release made ${made}, not ${expected}")
endif()
set(sums)
foreach(artifact IN LISTS made)
  file(SHA256 ${out}/${artifact} sum)
  string(APPEND sums "${sum}  ${artifact}\n")
endforeach()
file(WRITE ${out}/SHA256SUMS "${sums}")
file(REMOVE_RECURSE ${work})
message(STATUS "Made in ${out}:\n${sums}")
