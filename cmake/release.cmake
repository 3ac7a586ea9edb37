# Makes every artifact of a release of the commit checked out, into release/
# in the source folder (or the folder RELEASE_DIR names):
#   cmake [-D RELEASE_DIR=<folder>] -P cmake/release.cmake
# the source archive, the Debian and RPM packages for amd64, arm64 and armhf,
# the Windows ZIP and MSI, the web page's ZIP, and SHA256SUMS over them. Every package is built from
# the source archive itself, and dated by the commit unless SOURCE_DATE_EPOCH
# says otherwise, so that a commit gives the same files from any clone.
# The release folder must be new, empty, or hold an earlier release alone, which
# the new one replaces once it is whole; everything is made in <folder>-work.
cmake_minimum_required(VERSION 3.25)
get_filename_component(source ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
if(NOT RELEASE_DIR)
  set(RELEASE_DIR ${source}/release)
endif()
# Through any symbolic link: the checks below are of the folder written to.
file(REAL_PATH ${RELEASE_DIR} out)
set(work ${out}-work)
include(${CMAKE_CURRENT_LIST_DIR}/modules/require.cmake)

# Every tool is looked for before anything is built: a release that lacks one
# stops, rather than leave an artifact out.
foreach(tool IN ITEMS git:git c++:g++ gzip:gzip dpkg-shlibdeps:dpkg-dev dpkg-architecture:dpkg-dev
                      rpmbuild:rpm wixl:wixl msibuild:msitools faketime:faketime
                      rsvg-convert:librsvg2-bin)
  string(REPLACE ":" ";" tool ${tool})
  require(${tool} "The release")
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/modules/ports.cmake)
foreach(port IN LISTS PORTS)
  require(${PORT_${port}_COMPILER} ${PORT_${port}_DEBIAN} "The release")
  list(APPEND ports "${port}:-DCMAKE_TOOLCHAIN_FILE=${PORT_${port}_TOOLCHAIN}")
endforeach()

# A release is of the commit checked out, or nothing: before anything is made,
# the source must be a git clone's top folder, hold no change to a tracked
# file, and have release notes for its version.
file(STRINGS ${source}/CMakeLists.txt project REGEX "^project\\(tolvane VERSION ")
string(REGEX REPLACE ".* VERSION ([0-9.]+) .*" "\\1" version "${project}")
set(name tolvane-${version})
execute_process(COMMAND ${GIT} -C ${source} rev-parse --show-toplevel OUTPUT_VARIABLE top
                ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
file(REAL_PATH ${source} real_source)
if(NOT top STREQUAL real_source)
  message(FATAL_ERROR "The release is made from a git clone, and ${source} is not one.")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/modules/release-notes.cmake)
if(NOT version IN_LIST RELEASE_NOTES_VERSIONS)
  message(FATAL_ERROR "CHANGELOG.md has no entry for ${version}, the version in CMakeLists.txt: "
                      "add one, commit it, then try again.")
endif()
execute_process(COMMAND ${GIT} -C ${source} status --porcelain --untracked-files=no
                OUTPUT_VARIABLE changed COMMAND_ERROR_IS_FATAL ANY)
if(changed)
  message(FATAL_ERROR "The release is of the commit checked out, and tracked files differ from it "
                      "(git status): commit or undo the changes, then try again.")
endif()

# The release folder, and the work folder beside it, are the user's to name,
# and what the release did not make in them stays: an earlier release alone
# (the files its SHA256SUMS names) is replaced, and a work folder is cleared
# only where a release marked it as its own.
execute_process(COMMAND ${GIT} -C ${source} rev-parse --path-format=absolute --git-dir
                --git-common-dir OUTPUT_VARIABLE git_folders COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE "\n$" "" git_folders "${git_folders}")
string(REPLACE "\n" ";" git_folders "${git_folders}")
function(refuse text)
  message(FATAL_ERROR "${text}: name another with -D RELEASE_DIR=<folder>, then try again.")
endfunction()
function(check_release_folder)
  foreach(folder IN ITEMS ${out} ${work})
    cmake_path(IS_PREFIX folder ${real_source} NORMALIZE holds_source)
    if(holds_source)
      refuse("The release would write into ${folder}, which holds the clone")
    endif()
    foreach(git_folder IN LISTS git_folders)
      cmake_path(IS_PREFIX git_folder ${folder} NORMALIZE in_git)
      if(in_git)
        refuse("The release would write into ${folder}, in the clone's git folder")
      endif()
    endforeach()
  endforeach()
  if(EXISTS ${out} AND NOT IS_DIRECTORY ${out})
    refuse("The release folder ${out} is a file")
  endif()
  file(GLOB others LIST_DIRECTORIES true RELATIVE ${out} ${out}/*)
  if(others AND EXISTS ${out}/SHA256SUMS AND NOT IS_DIRECTORY ${out}/SHA256SUMS)
    file(STRINGS ${out}/SHA256SUMS artifacts REGEX "^[0-9a-f]+  tolvane[-_][^/]+$")
    list(TRANSFORM artifacts REPLACE "^[0-9a-f]+  " "")
    list(REMOVE_ITEM others SHA256SUMS ${artifacts})
  endif()
  if(others)
    list(JOIN others ", " others)
    refuse("The release folder ${out} holds ${others}, which no release of tolvane made")
  endif()
  if(EXISTS ${work} AND NOT EXISTS ${work}/made-by-a-release)
    refuse("${work}, where the release makes its files, is there and no release made it")
  endif()
endfunction()
check_release_folder()
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND ${GIT} -C ${source} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()

# Everything is made in the work folder, and put in the release folder's place
# at the end: a release that fails leaves no work folder and the earlier
# release as it was.
function(fail text)
  file(REMOVE_RECURSE ${work})
  message(FATAL_ERROR "${text}")
endfunction()
# Runs a step with its output in <work>/<log>.log, shown only if it fails.
function(step log)
  execute_process(COMMAND ${ARGN} OUTPUT_FILE ${work}/${log}.log ERROR_FILE ${work}/${log}.log
                  RESULT_VARIABLE failed)
  if(failed)
    file(READ ${work}/${log}.log output)
    list(JOIN ARGN " " command)
    fail("${output}\nThe release failed at this step: ${command}")
  endif()
endfunction()

set(made_here ${work}/${name}-release)
# A release killed between the two renames at the end left the earlier
# release in its work folder: it goes back before that folder is cleared.
if(EXISTS ${work}/earlier AND NOT EXISTS ${out})
  file(RENAME ${work}/earlier ${out})
endif()
file(REMOVE_RECURSE ${work})
file(WRITE ${work}/made-by-a-release "A release of tolvane made this folder, and clears it.\n")
file(MAKE_DIRECTORY ${made_here})
message(STATUS "${name}.tar.gz: the files of the commit")
step(archive ${GIT} -C ${source} archive --format=tar.gz --prefix=${name}/
     -o ${made_here}/${name}.tar.gz HEAD)
file(ARCHIVE_EXTRACT INPUT ${made_here}/${name}.tar.gz DESTINATION ${work})

foreach(build IN ITEMS native: ${ports})
  string(REPLACE ":" ";" build ${build})
  list(POP_FRONT build port)
  message(STATUS "The ${port} build and its packages")
  set(folder ${work}/${port})
  step(${port} ${CMAKE_COMMAND} -S ${work}/${name} -B ${folder} -DBUILD_TESTING=OFF ${build})
  step(${port} ${CMAKE_COMMAND} --build ${folder} --parallel)
  step(${port} ${CMAKE_CPACK_COMMAND} --config ${folder}/CPackConfig.cmake -B ${folder}/packages)
  file(GLOB packages ${folder}/packages/*.deb ${folder}/packages/*.rpm ${folder}/packages/*.zip)
  if(port STREQUAL "windows")
    step(${port} ${CMAKE_COMMAND} --build ${folder} --target msi)
    file(GLOB msi ${folder}/*.msi)
    list(APPEND packages ${msi})
  endif()
  file(COPY ${packages} DESTINATION ${made_here})
endforeach()

set(expected ${name}.tar.gz ${name}-windows-x86_64.msi ${name}-windows-x86_64.zip ${name}-web.zip)
foreach(architectures IN ITEMS amd64:x86_64 arm64:aarch64 armhf:armv7hl)
  string(REPLACE ":" ";" architectures ${architectures})
  list(POP_FRONT architectures debian rpm)
  list(APPEND expected tolvane_${version}_${debian}.deb ${name}-1.${rpm}.rpm)
endforeach()
file(GLOB made RELATIVE ${made_here} ${made_here}/*)
list(SORT made)
list(SORT expected)
if(NOT made STREQUAL expected)
  fail("The release made ${made}, not ${expected}")
endif()
set(sums)
foreach(artifact IN LISTS made)
  file(SHA256 ${made_here}/${artifact} sum)
  string(APPEND sums "${sum}  ${artifact}\n")
endforeach()
file(WRITE ${made_here}/SHA256SUMS "${sums}")
check_release_folder()  # again: the user may have put something there meanwhile
if(EXISTS ${out})
  file(RENAME ${out} ${work}/earlier)
endif()
file(RENAME ${made_here} ${out})
file(REMOVE_RECURSE ${work})
message(STATUS "Made in ${out}:\n${sums}")
