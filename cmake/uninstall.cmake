# Removes what "cmake --install" installed, run by the uninstall target:
#   cmake -D MANIFEST=<build>/install_manifest.txt -P cmake/uninstall.cmake
# The manifest holds one path a line (install-record.cmake): the files of
# every install from that build folder, and the folders those installs made,
# which end in a slash; each under DESTDIR, as "cmake --install" takes it.
# Each path is taken whole, never split at blanks or read by a shell. The
# files go, then each of those folders once it is empty; a folder that the
# manifest does not name stays, empty or not. The manifest is then left with
# what is still there, so that a later uninstall takes nothing that was
# removed here and made again since by someone else.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/modules/lines.cmake)
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to remove: ${MANIFEST} is missing (cmake --install writes it).")
endif()
file(READ "${MANIFEST}" manifest)
string(APPEND manifest "\n")

# CMake splits a path at its semicolons into lines. Such a path is named and
# left, and none of its lines is taken for a path of its own: its lines follow
# a line that counts them, or, in a manifest written without one, each line
# that is not an absolute path continues the line before it.
set(files "")
set(folders "")
set(split "")
set(path "")
set(path_is_split FALSE)
set(pieces 0)
macro(take_path)
  if(path_is_split)
    string(APPEND split "${path}\n")
  elseif(path MATCHES "^(.*[^/]|)/+$")  # a slash alone is the root folder
    string(APPEND folders "${CMAKE_MATCH_1}\n")
  elseif(NOT path STREQUAL "")
    string(APPEND files "${path}\n")
  endif()
  set(path "")
  set(path_is_split FALSE)
endmacro()
while(NOT manifest STREQUAL "")
  pop_line(manifest line)
  if(pieces GREATER 0)
    math(EXPR pieces "${pieces} - 1")
    if(path STREQUAL "")
      set(path "${line}")
    else()
      string(APPEND path ";${line}")
    endif()
  elseif(line MATCHES "^\\(the next ([0-9]+) lines are one path")
    set(count ${CMAKE_MATCH_1})
    take_path()
    set(pieces ${count})
    set(path_is_split TRUE)
  elseif(NOT line STREQUAL "" AND NOT IS_ABSOLUTE "${line}")
    string(APPEND path ";${line}")
    set(path_is_split TRUE)
  else()
    take_path()
    set(path "${line}")
  endif()
endwhile()
take_path()

set(left "")
while(NOT files STREQUAL "")
  pop_line(files file)
  set(installed "$ENV{DESTDIR}${file}")
  if(IS_SYMLINK "${installed}" OR EXISTS "${installed}" AND NOT IS_DIRECTORY "${installed}")
    message(STATUS "Removing: ${installed}")
    file(REMOVE "${installed}")
  endif()
  if(IS_SYMLINK "${installed}" OR EXISTS "${installed}")
    string(APPEND left "${file}\n")
  endif()
endwhile()

# A folder is empty when a pattern of its whole path finds nothing in it; the
# pattern's own characters in the path are escaped as one-character sets.
function(is_empty folder result)
  string(REGEX REPLACE "([][*?])" "[\\1]" pattern "${folder}")
  file(GLOB entries LIST_DIRECTORIES true "${pattern}/*")  # hidden ones too
  if(entries STREQUAL "")
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

# Folders in any order: each round removes those left empty by the one before.
set(removed TRUE)
while(removed)
  set(removed FALSE)
  set(kept "")
  while(NOT folders STREQUAL "")
    pop_line(folders folder)
    set(installed "$ENV{DESTDIR}${folder}")
    if(IS_DIRECTORY "${installed}/" AND NOT IS_SYMLINK "${installed}")
      is_empty("${installed}" empty)
      if(empty)
        message(STATUS "Removing the empty folder: ${installed}")
        file(REMOVE_RECURSE "${installed}")
        set(removed TRUE)
      else()
        string(APPEND kept "${folder}\n")
      endif()
    endif()
  endwhile()
  set(folders "${kept}")
endwhile()
string(REGEX REPLACE "([^\n]*)\n" "\\1/\n" folders "${folders}")
string(APPEND left "${folders}")

set(named "")
while(NOT split STREQUAL "")
  pop_line(split path)
  if(IS_SYMLINK "$ENV{DESTDIR}${path}" OR EXISTS "$ENV{DESTDIR}${path}")
    string(APPEND named "\n  $ENV{DESTDIR}${path}")
    string(REPLACE ";" "\n" lines "${path}")
    string(REGEX MATCHALL "\n" breaks "${lines}")
    list(LENGTH breaks count)
    math(EXPR count "${count} + 1")
    string(APPEND left "(the next ${count} lines are one path, split by CMake at its semicolons)\n"
                       "${lines}\n")
  endif()
endwhile()
file(WRITE "${MANIFEST}" "${left}")
if(NOT named STREQUAL "")
  message(FATAL_ERROR "Not removed, since the install manifest holds their paths split at their "
                      "semicolons: remove them by hand.${named}")
endif()
