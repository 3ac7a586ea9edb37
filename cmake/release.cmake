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
file(REAL_PATH ${CMAKE_CURRENT_LIST_DIR}/.. source)  # as git names it, through any symbolic link
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
include(${CMAKE_CURRENT_LIST_DIR}/modules/lines.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/modules/require.cmake)

# Every tool is looked for before anything is built: a release that lacks one
# stops, rather than leave an artifact out.
include(${CMAKE_CURRENT_LIST_DIR}/modules/ports.cmake)
foreach(tool IN ITEMS git:git c++:g++ gzip:gzip dpkg-shlibdeps:dpkg-dev dpkg-architecture:dpkg-dev
                      rpmbuild:rpm wixl:wixl msibuild:msitools faketime:faketime
                      rsvg-convert:librsvg2-bin fakeroot:fakeroot mountpoint:util-linux
                      ${PORT_COMPILERS})
  string(REPLACE ":" ";" tool ${tool})
  require(${tool} "The release")
endforeach()

# A release is of the commit checked out, or nothing: before anything is made,
# the source must be a git clone's top folder, hold no change to a tracked
# file, and have release notes for its version.
file(STRINGS ${source}/CMakeLists.txt project REGEX "^project\\(tolvane VERSION ")
# As project() would set it: the release notes must have its entry.
string(REGEX REPLACE ".* VERSION ([0-9.]+) .*" "\\1" PROJECT_VERSION "${project}")
set(name tolvane-${PROJECT_VERSION})
# The clone's top folder, then its git folder (a worktree's is in it).
execute_process(COMMAND ${GIT} -C ${source} rev-parse --path-format=absolute --show-toplevel
                --git-common-dir OUTPUT_VARIABLE git ERROR_QUIET)
if(NOT git MATCHES "^([^\n]*)\n([^\n]*)\n$" OR NOT CMAKE_MATCH_1 STREQUAL source)
  message(FATAL_ERROR "The release is made from a git clone, and ${source} is not one.")
endif()
set(git_folder ${CMAKE_MATCH_2})
include(${CMAKE_CURRENT_LIST_DIR}/modules/release-notes.cmake)
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
foreach(folder IN ITEMS ${out} ${work})
  cmake_path(IS_PREFIX folder ${source} NORMALIZE holds_source)
  cmake_path(IS_PREFIX git_folder ${folder} NORMALIZE in_git)
  if(holds_source)
    refuse("The release would write into ${folder}, which holds the clone")
  elseif(in_git)
    refuse("The release would write into ${folder}, in the clone's git folder")
  endif()
endforeach()
# What the folders hold is listed by file(GLOB), which would read the [ ], *
# and ? of a user's folder name as a pattern too.
escape_pattern(${out} out_pattern)
escape_pattern(${work} work_pattern)
function(check_release_folder)
  if(EXISTS ${out} AND NOT IS_DIRECTORY ${out})
    refuse("The release folder ${out} is a file")
  endif()
  file(GLOB others LIST_DIRECTORIES true RELATIVE ${out} "${out_pattern}/*")
  if(EXISTS ${out}/SHA256SUMS AND NOT IS_DIRECTORY ${out}/SHA256SUMS)
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
  # Each is written in, or made in its nearest folder there is; the work
  # folder is made beside the release folder.
  cmake_path(GET out PARENT_PATH parent)
  foreach(folder IN ITEMS ${parent} ${out} ${work})
    while(NOT EXISTS ${folder})
      cmake_path(GET folder PARENT_PATH folder)
    endwhile()
    execute_process(COMMAND test -w ${folder} RESULT_VARIABLE unwritable)
    if(unwritable)
      refuse("The release cannot write in ${folder}")
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
if(EXISTS ${work}/made-by-a-release)
  file(STRINGS ${work}/made-by-a-release builds REGEX "^/tmp/tolvane-release-[A-Za-z0-9]+$")
endif()
file(GLOB leftovers LIST_DIRECTORIES true RELATIVE ${work} "${work_pattern}/*")
list(REMOVE_ITEM leftovers cmake.lock)
list(TRANSFORM leftovers PREPEND ${work}/)
file(REMOVE_RECURSE ${work}/earlier ${builds} ${leftovers})  # it needs one path at least
# The builds run in a folder of a plain name, whatever the release folder's:
# rpmbuild takes no blank in a path. The mark names it, for a later release
# to clear if this one is killed.
execute_process(COMMAND mktemp -d /tmp/tolvane-release-XXXXXXXX OUTPUT_VARIABLE builds
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(WRITE ${work}/made-by-a-release "A release of tolvane made this folder, and clears it, and "
                                     "its builds in:\n${builds}\n")

# Everything is built there and gathered in the work folder, which takes the
# release folder's place at the end: a release that fails leaves neither
# folder, and the earlier release as it was.
function(fail text)
  file(REMOVE_RECURSE ${builds} ${work})
  message(FATAL_ERROR "${text}")
endfunction()
# Runs a step, its output shown only if it fails. Its umask is 022, as the
# folders the packages hold take it whatever CPack is told
# (CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS is masked by it too).
function(step)
  execute_process(COMMAND sh -c "umask 022 && exec \"$@\"" umask ${ARGN}
                  OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE failed)
  if(failed)
    list(JOIN ARGN " " command)
    fail("${output}\nThe release failed at this step: ${command}")
  endif()
endfunction()

message(STATUS "${name}.tar.gz: the files of the commit")
# git's own default umask, whatever the maintainer's settings. The archive is
# read from the builds' folder: CMake reads none in a folder of a non-ASCII
# name where the language is C.
step(${GIT} -C ${source} -c tar.umask=0002 archive --format=tar.gz --prefix=${name}/
     -o ${builds}/${name}.tar.gz HEAD)
file(ARCHIVE_EXTRACT INPUT ${builds}/${name}.tar.gz DESTINATION ${builds})
file(COPY ${builds}/${name}.tar.gz DESTINATION ${made_here})
# What the tools would take from whoever builds, and where, is the same for
# everyone: the time zone (the ZIPs' times), the language, and HOME (rpmbuild's
# macros); fakeroot gives the ZIPs' files root as owner, as the other packages'.
set(ENV{TZ} UTC)
set(ENV{LC_ALL} C.UTF-8)
set(ENV{HOME} ${builds})

# The native build has no toolchain file.
foreach(port IN ITEMS native ${PORTS})
  message(STATUS "The ${port} build and its packages")
  set(folder ${builds}/${port})
  step(${CMAKE_COMMAND} -S ${builds}/${name} -B ${folder} -DBUILD_TESTING=OFF
       -DCMAKE_TOOLCHAIN_FILE=${PORT_${port}_TOOLCHAIN})
  step(${CMAKE_COMMAND} --build ${folder} --parallel)
  step(${FAKEROOT} ${CMAKE_CPACK_COMMAND} --config ${folder}/CPackConfig.cmake
       -B ${folder}/packages)
  if(port STREQUAL "windows")
    step(${CMAKE_COMMAND} --build ${folder} --target msi)
  endif()
  file(GLOB packages ${folder}/packages/*.deb ${folder}/packages/*.rpm ${folder}/packages/*.zip
       ${folder}/*.msi)
  file(COPY ${packages} DESTINATION ${made_here})
endforeach()

# In the order of file(GLOB)'s names, and of SHA256SUMS.
set(expected ${name}-1.aarch64.rpm ${name}-1.armv7hl.rpm ${name}-1.x86_64.rpm ${name}-web.zip
    ${name}-windows-x86_64.msi ${name}-windows-x86_64.zip ${name}.tar.gz
    tolvane_${PROJECT_VERSION}_amd64.deb tolvane_${PROJECT_VERSION}_arm64.deb
    tolvane_${PROJECT_VERSION}_armhf.deb)
file(GLOB made LIST_DIRECTORIES true RELATIVE ${made_here} "${work_pattern}/${name}-release/*")
if(NOT made STREQUAL expected)
  fail("The release made ${made}, not ${expected}")
endif()
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
  file(RENAME ${work}/earlier ${out} RESULT none)  # none there if the first rename failed
  fail("The release could not take the place of ${out} (${moved}), which is kept as it was.")
endif()
file(REMOVE_RECURSE ${builds} ${work})
message(STATUS "Made in ${out}:\n${sums}")
