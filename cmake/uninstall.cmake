# Removes what "cmake --install" installed, run by the uninstall target:
#   cmake -D MANIFEST=<build>/install_manifest.txt -P cmake/uninstall.cmake
# The manifest holds one path a line (install-record.cmake): the files of
# every install from that build folder, and the folders those installs made,
# which end in a slash; each under DESTDIR, as "cmake --install" takes it.
# Each path is taken whole, never split at blanks or read by a shell or as a
# pattern. The files go, then each of those folders once it is empty; a folder
# that the manifest does not name stays, empty or not. The manifest is then
# left with what is still there, so that a later uninstall takes nothing that
# was removed here and made again since by someone else.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/modules/lines.cmake)
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to remove: ${MANIFEST} is missing (cmake --install writes it).")
endif()
file(READ "${MANIFEST}" manifest)
set(paths "${manifest}\n")
while(NOT paths STREQUAL "")
  pop_line(paths path)
  set(installed "$ENV{DESTDIR}${path}")
  if(path MATCHES "/$")
    string(APPEND folders "${path}\n")
  elseif(NOT path STREQUAL "" AND (EXISTS "${installed}" OR IS_SYMLINK "${installed}"))
    set(found TRUE)
    file(REMOVE "${installed}")  # leaves a folder put in the file's place
    if(EXISTS "${installed}" OR IS_SYMLINK "${installed}")
      string(APPEND left "${path}\n")
    else()
      message(STATUS "Removed: ${installed}")
    endif()
  endif()
endwhile()
# Where no file was found, none was removed, and the folders and the manifest
# are left as they are.
if(NOT found AND manifest MATCHES "[^/\n](\n|$)")  # a file named, and none found
  message(FATAL_ERROR "None of the files that ${MANIFEST} names is there, so nothing was removed "
                      "and the manifest is kept: an install made with DESTDIR is removed with the "
                      "same DESTDIR set.")
endif()

# Folders in any order: each round removes those left empty by the one
# before, and as many rounds as folders remove the deepest chain of them.
string(REGEX MATCHALL "\n" rounds "${folders}")
foreach(round IN LISTS rounds)
  set(kept "")
  while(NOT folders STREQUAL "")
    pop_line(folders folder)
    string(REGEX REPLACE "/+$" "" installed "$ENV{DESTDIR}${folder}")  # "" for the root folder
    escape_pattern("${installed}" pattern)
    file(GLOB entries LIST_DIRECTORIES true "${pattern}/*")  # hidden ones too
    if(NOT IS_DIRECTORY "${installed}/" OR IS_SYMLINK "${installed}")
    elseif(entries STREQUAL "")
      file(REMOVE_RECURSE "${installed}")
      message(STATUS "Removed the empty folder: ${installed}")
    else()
      string(APPEND kept "${folder}\n")
    endif()
  endwhile()
  set(folders "${kept}")
endforeach()
file(WRITE "${MANIFEST}" "${left}${folders}")
