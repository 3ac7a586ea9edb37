# Run by "cmake --install" before and after everything else it does
# (packaging.cmake), to keep in the install manifest what the uninstall target
# (uninstall.cmake) needs and CMake leaves out:
# - what earlier installs from this build folder put in place, into this
#   prefix or another: CMake writes the manifest anew at each install;
# - the folders this install made, each as a line ending in a slash: the
#   uninstall removes those once empty, and no folder that was there before.
# CMake writes its list of installed paths a path a line by turning each
# semicolon into a line end, so a path that holds one cannot be kept whole:
# the lines of such a path follow a line that says how many there are.
cmake_policy(VERSION 3.25)  # cmake_install.cmake sets none
include(${CMAKE_CURRENT_LIST_DIR}/modules/lines.cmake)
# The record's paths leave out a DESTDIR, as CMake's do.
cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_PREFIX NORMALIZE OUTPUT_VARIABLE root)  # as CMake takes it
if(install_stage STREQUAL "before")
  if(root MATCHES "\n")
    message(FATAL_ERROR "The prefix holds a line break, which the install manifest cannot keep "
                        "(one path a line): choose another prefix.")
  endif()
  # The folders this install may make: each of its destinations (configure-
  # time names, free of semicolons), and each folder above it, up to the first
  # that is there now. The root folder is recorded as a slash alone.
  set(install_missing "")
  foreach(destination IN LISTS install_destinations)
    cmake_path(ABSOLUTE_PATH destination BASE_DIRECTORY "${root}" NORMALIZE
               OUTPUT_VARIABLE folder)
    string(REGEX REPLACE "/+$" "" folder "${folder}")
    while(NOT EXISTS "$ENV{DESTDIR}${folder}/" AND NOT IS_SYMLINK "$ENV{DESTDIR}${folder}")
      string(FIND "\n${install_missing}" "\n${folder}/\n" known)
      if(known EQUAL -1)
        string(APPEND install_missing "${folder}/\n")
      endif()
      cmake_path(GET folder PARENT_PATH parent)
      string(REGEX REPLACE "/+$" "" parent "${parent}")
      if(folder STREQUAL "" OR parent STREQUAL folder)
        break()
      endif()
      set(folder "${parent}")
    endwhile()
  endforeach()
  return()
endif()

# What earlier installs recorded and is still there: a package's staging
# folder, gone once the package is made, leaves nothing behind.
set(record "")
if(EXISTS "${install_manifest}" AND NOT CMAKE_INSTALL_COMPONENT)
  file(READ "${install_manifest}" earlier)
  string(APPEND earlier "\n")
  set(pieces 0)
  while(NOT earlier STREQUAL "")
    pop_line(earlier line)
    if(pieces GREATER 0)  # a line of a path split at its semicolons
      math(EXPR pieces "${pieces} - 1")
    elseif(line MATCHES "^\\(the next ([0-9]+) lines are one path")
      set(pieces ${CMAKE_MATCH_1})
    elseif(NOT IS_ABSOLUTE "${line}")  # the rest of a path that CMake split
    elseif(NOT EXISTS "$ENV{DESTDIR}${line}" AND NOT IS_SYMLINK "$ENV{DESTDIR}${line}")
      continue()
    endif()
    string(APPEND record "${line}\n")
  endwhile()
endif()

# Adds a path to the record, unless an earlier install recorded it.
function(record_path path)
  string(REPLACE ";" "\n" lines "${path}")
  string(REGEX MATCHALL "\n" breaks "${lines}")
  list(LENGTH breaks count)
  if(count GREATER 0)
    math(EXPR count "${count} + 1")
    set(lines "(the next ${count} lines are one path, split by CMake at its semicolons)\n${lines}")
  endif()
  string(FIND "\n${record}" "\n${lines}\n" known)
  if(known EQUAL -1)
    set(record "${record}${lines}\n" PARENT_SCOPE)
  endif()
endfunction()

# This install's files, from CMake's list: every one of them is in the
# prefix, so where the prefix holds a semicolon, a path begins only where the
# prefix does.
string(REGEX REPLACE "/+$" "" root "${root}")
if(root MATCHES ";")
  string(REPLACE ";${root}/" "\n${root}/" paths "${CMAKE_INSTALL_MANIFEST_FILES}")
else()
  string(REPLACE ";" "\n" paths "${CMAKE_INSTALL_MANIFEST_FILES}")
endif()
string(APPEND paths "\n${install_missing}")
while(NOT paths STREQUAL "")
  pop_line(paths path)
  if(NOT path MATCHES "^$|/$" OR IS_DIRECTORY "$ENV{DESTDIR}${path}")  # a folder, if made
    record_path("${path}")
  endif()
endwhile()
string(REGEX REPLACE "\n$" "" record "${record}")
string(REPLACE "\n" ";" CMAKE_INSTALL_MANIFEST_FILES "${record}")
