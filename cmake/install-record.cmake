# Run by "cmake --install" before and after everything else it does
# (packaging.cmake), to keep in the install manifest what the uninstall target
# (uninstall.cmake) needs and CMake leaves out:
# - what earlier installs from this build folder put in place, into this
#   prefix or another: CMake writes the manifest anew at each install;
# - the folders this install made, each as a line ending in a slash: the
#   uninstall removes those once empty, and no folder that was there before.
# The manifest holds one path a line, made from CMake's list of the installed
# paths, which splits at semicolons: an install whose paths would hold one or
# a line break is refused before it places anything, as is one that lacks a
# file of the build.
cmake_policy(VERSION 3.25)  # cmake_install.cmake sets none
include(${CMAKE_CURRENT_LIST_DIR}/modules/lines.cmake)
# The record's paths leave out a DESTDIR, as CMake's do.
cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_PREFIX NORMALIZE OUTPUT_VARIABLE root)  # as CMake takes it
if(install_stage STREQUAL "before")
  if("$ENV{DESTDIR}${root}" MATCHES "[;\n]")
    message(FATAL_ERROR "The install refuses a prefix or DESTDIR that holds a semicolon or a line "
                        "break, which its manifest cannot keep (one path a line): choose another.")
  endif()
  # The files it takes from the build: a list, as the build folder's path is
  # one that CMake can build in, which it cannot where a path holds a ; or an
  # unmatched bracket.
  foreach(file IN LISTS install_built)
    if(NOT file STREQUAL "" AND NOT EXISTS "${file}")
      string(APPEND unbuilt "\n  ${file}")
    endif()
  endforeach()
  if(unbuilt)
    cmake_path(GET install_manifest PARENT_PATH build)
    message(FATAL_ERROR "The install needs files that are not built yet: build them with "
                        "\"cmake --build ${build}\", then install again.${unbuilt}")
  endif()
  # The folders this install may make: each of its destinations, and each
  # folder above it, up to the first that is there now. The root folder is
  # recorded as a slash alone.
  foreach(destination IN LISTS install_destinations)
    cmake_path(ABSOLUTE_PATH destination BASE_DIRECTORY "${root}" NORMALIZE OUTPUT_VARIABLE folder)
    string(REGEX REPLACE "/+$" "" folder "${folder}")
    while(NOT EXISTS "$ENV{DESTDIR}${folder}/" AND NOT IS_SYMLINK "$ENV{DESTDIR}${folder}")
      string(APPEND install_missing "${folder}/\n")
      if(folder STREQUAL "")
        break()
      endif()
      string(REGEX REPLACE "/[^/]*$" "" folder "${folder}")
    endwhile()
  endforeach()
  return()
endif()

# The record: what earlier installs recorded and is still there (a package's
# staging folder, gone once the package is made, leaves nothing behind), then
# this install's files and the folders it made, each path once.
if(EXISTS "${install_manifest}" AND NOT CMAKE_INSTALL_COMPONENT)
  file(READ "${install_manifest}" paths)
endif()
# No path holds a ;, which parts CMake's list of this install's files.
string(REPLACE ";" "\n" paths "${paths};${CMAKE_INSTALL_MANIFEST_FILES};${install_missing}\n")
set(CMAKE_INSTALL_MANIFEST_FILES "")  # which cmake_install.cmake then writes one a line
while(NOT paths STREQUAL "")
  pop_line(paths path)
  string(FIND ";${CMAKE_INSTALL_MANIFEST_FILES}" ";${path};" known)
  if(NOT path STREQUAL "" AND known EQUAL -1
     AND (EXISTS "$ENV{DESTDIR}${path}" OR IS_SYMLINK "$ENV{DESTDIR}${path}"))
    string(APPEND CMAKE_INSTALL_MANIFEST_FILES "${path};")
  endif()
endwhile()
