# Makes every artifact of a release of the commit checked out, into release/
# in the source folder (or the folder RELEASE_DIR names):
#   cmake [-D RELEASE_DIR=<folder>] -P cmake/release.cmake
# the source archive, the Debian and RPM packages for amd64, arm64 and armhf,
# the Windows ZIP and MSI, the web page's ZIP, and SHA256SUMS over them. Every package is built from
# the source archive itself, and dated by the commit unless SOURCE_DATE_EPOCH
# says otherwise, so that a commit gives the same files from any clone, made by anyone, anywhere.
# The release folder must be new, empty, or hold an earlier release alone, which
# the new one replaces once it is whole; it is put together in <folder>-work.
cmake_minimum_required(VERSION 3.25)
get_filename_component(source ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
if(NOT DEFINED RELEASE_DIR)
  set(RELEASE_DIR ${source}/release)
endif()
function(refuse text)
  message(FATAL_ERROR "${text}: name another with -D RELEASE_DIR=<folder>, then try again.")
endfunction()
# Any name a desktop gives is taken, but a ; would split it in CMake's lists,
# and a line break, which no desktop gives, goes with it.
if(RELEASE_DIR MATCHES "[;\n]")
  refuse("The release folder's name holds a ; or a line break, which the release does not take")
endif()
# Through any symbolic link: the checks below are of the folder written to.
file(REAL_PATH "${RELEASE_DIR}" out)
set(work ${out}-work)
include(${CMAKE_CURRENT_LIST_DIR}/modules/require.cmake)

# Every tool is looked for before anything is built: a release that lacks one
# stops, rather than leave an artifact out.
foreach(tool IN ITEMS git:git c++:g++ gzip:gzip dpkg-shlibdeps:dpkg-dev dpkg-architecture:dpkg-dev
                      rpmbuild:rpm wixl:wixl msibuild:msitools faketime:faketime
                      rsvg-convert:librsvg2-bin fakeroot:fakeroot mountpoint:util-linux)
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
# What a folder holds, by the names matching a pattern: file(GLOB) would read
# the [ ], * and ? of a user's folder name as a pattern too.
function(entries_of folder pattern variable)
  string(REGEX REPLACE "([][*?])" "[\\1]" literal "${folder}")
  file(GLOB entries LIST_DIRECTORIES true RELATIVE "${folder}" "${literal}/${pattern}")
  set(${variable} ${entries} PARENT_SCOPE)
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
  entries_of(${out} * others)
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
  # The release ends by renaming, which a mount point refuses.
  execute_process(COMMAND ${MOUNTPOINT} -q ${out} RESULT_VARIABLE not_mounted)
  if(not_mounted EQUAL 0)
    refuse("The release folder ${out} is a mount point, which the release cannot replace whole")
  endif()
  # The work folder is made beside the release folder, in its nearest folder there is.
  cmake_path(GET out PARENT_PATH parent)
  while(NOT EXISTS ${parent})
    cmake_path(GET parent PARENT_PATH parent)
  endwhile()
  foreach(folder IN ITEMS ${parent} ${out} ${work})
    if(EXISTS ${folder})
      execute_process(COMMAND test -w ${folder} RESULT_VARIABLE unwritable)
      if(unwritable)
        refuse("The release cannot write in ${folder}")
      endif()
    endif()
  endforeach()
endfunction()
check_release_folder()
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND ${GIT} -C ${source} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()

# One release at a time into a folder: the work folder is locked while it runs.
file(LOCK ${work} DIRECTORY TIMEOUT 0 RESULT_VARIABLE locked)
if(NOT locked EQUAL 0)
  message(FATAL_ERROR "Another release is being made into ${out}: let it finish, then try again.")
endif()
set(made_here ${work}/${name}-release)
# A release killed between the two renames at the end left the earlier
# release in its work folder: it goes back before that folder is cleared, and
# so do the builds the killed release left.
if(EXISTS ${work}/earlier AND NOT EXISTS ${out})
  file(RENAME ${work}/earlier ${out})
endif()
if(EXISTS ${work}/builds-in)
  file(STRINGS ${work}/builds-in builds REGEX "^/tmp/tolvane-release-[A-Za-z0-9]+$")
  file(REMOVE_RECURSE ${builds})
endif()
entries_of(${work} * leftovers)
list(REMOVE_ITEM leftovers cmake.lock)
list(TRANSFORM leftovers PREPEND ${work}/)
file(REMOVE_RECURSE ${work}/earlier ${leftovers})
file(WRITE ${work}/made-by-a-release "A release of tolvane made this folder, and clears it.\n")
# The builds run in a folder of a plain name, whatever the release folder's:
# rpmbuild takes no blank in a path.
execute_process(COMMAND mktemp -d /tmp/tolvane-release-XXXXXXXX OUTPUT_VARIABLE builds
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(WRITE ${work}/builds-in "${builds}\n")

# Everything is built there and gathered in the work folder, which takes the
# release folder's place at the end: a release that fails leaves neither
# folder, and the earlier release as it was.
function(fail text)
  file(REMOVE_RECURSE ${builds} ${work})
  message(FATAL_ERROR "${text}")
endfunction()
# Runs a step with its output in <builds>/<log>.log, shown only if it fails.
# Its umask is 022, as the folders the packages hold take it whatever CPack is
# told (CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS is masked by it too).
function(step log)
  execute_process(COMMAND sh -c "umask 022 && exec \"$@\"" umask ${ARGN}
                  OUTPUT_FILE ${builds}/${log}.log ERROR_FILE ${builds}/${log}.log
                  RESULT_VARIABLE failed)
  if(failed)
    file(READ ${builds}/${log}.log output)
    list(JOIN ARGN " " command)
    fail("${output}\nThe release failed at this step: ${command}")
  endif()
endfunction()

file(MAKE_DIRECTORY ${made_here})
message(STATUS "${name}.tar.gz: the files of the commit")
# git's own default umask, whatever the maintainer's settings. The archive is
# read from the builds' folder: CMake reads none in a folder of a non-ASCII
# name where the language is C.
step(archive ${GIT} -C ${source} -c tar.umask=0002 archive --format=tar.gz --prefix=${name}/
     -o ${builds}/${name}.tar.gz HEAD)
file(ARCHIVE_EXTRACT INPUT ${builds}/${name}.tar.gz DESTINATION ${builds})
file(COPY_FILE ${builds}/${name}.tar.gz ${made_here}/${name}.tar.gz)
# What the tools would take from whoever builds, and where, is the same for
# everyone: the time zone (the ZIPs' times), the language, and HOME (rpmbuild's
# macros); fakeroot gives the ZIPs' files root as owner, as the other packages'.
set(ENV{TZ} UTC)
set(ENV{LC_ALL} C.UTF-8)
set(ENV{HOME} ${builds})

foreach(build IN ITEMS native: ${ports})
  string(REPLACE ":" ";" build ${build})
  list(POP_FRONT build port)
  message(STATUS "The ${port} build and its packages")
  set(folder ${builds}/${port})
  step(${port} ${CMAKE_COMMAND} -S ${builds}/${name} -B ${folder} -DBUILD_TESTING=OFF ${build})
  step(${port} ${CMAKE_COMMAND} --build ${folder} --parallel)
  step(${port} ${FAKEROOT} ${CMAKE_CPACK_COMMAND} --config ${folder}/CPackConfig.cmake
       -B ${folder}/packages)
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
entries_of(${made_here} * made)
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
  file(RENAME ${out} ${work}/earlier RESULT moved)
endif()
if(NOT moved)
  file(RENAME ${made_here} ${out} RESULT moved)
endif()
if(moved)
  if(EXISTS ${work}/earlier)
    file(RENAME ${work}/earlier ${out})
  endif()
  fail("The release could not take the place of ${out} (${moved}), which is kept as it was.")
endif()
file(REMOVE_RECURSE ${builds} ${work})
message(STATUS "Made in ${out}:\n${sums}")
