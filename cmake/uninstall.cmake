# Removes what "cmake --install" installed, run by the uninstall target:
#   cmake -D MANIFEST=<build>/install_manifest.txt -P cmake/uninstall.cmake
# The manifest holds one path a line. Each path is taken whole, never split
# at blanks or read by a shell, so any byte but a line end is safe in it. Then
# each folder between a removed file and the prefix (the folder that holds
# every installed file) goes too, once it is left empty.
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to remove: ${MANIFEST} is missing (cmake --install writes it).")
endif()
file(READ "${MANIFEST}" manifest)

# The paths are kept in a string, one a line, and never in a CMake list, which
# would split them at semicolons and group them at brackets.
set(removed "")
set(prefix "")
while(NOT manifest STREQUAL "")
  string(FIND "${manifest}" "\n" end)
  string(SUBSTRING "${manifest}" 0 ${end} path)
  math(EXPR next "${end} + 1")
  if(end EQUAL -1)
    set(manifest "")
  else()
    string(SUBSTRING "${manifest}" ${next} -1 manifest)
  endif()
  if(path STREQUAL "")
    continue()
  endif()
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    message(STATUS "Removing: ${path}")
    file(REMOVE "${path}")
  endif()
  cmake_path(GET path PARENT_PATH folder)
  cmake_path(NORMAL_PATH folder)
  string(APPEND removed "${folder}\n")
  if(prefix STREQUAL "")
    set(prefix "${folder}")
  endif()
  cmake_path(IS_PREFIX prefix "${folder}" under)
  while(NOT under AND NOT prefix STREQUAL "")
    cmake_path(GET prefix PARENT_PATH prefix)
    cmake_path(IS_PREFIX prefix "${folder}" under)
  endwhile()
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

while(NOT removed STREQUAL "")
  string(FIND "${removed}" "\n" end)
  string(SUBSTRING "${removed}" 0 ${end} folder)
  math(EXPR end "${end} + 1")
  string(SUBSTRING "${removed}" ${end} -1 removed)
  while(IS_DIRECTORY "${folder}" AND NOT folder STREQUAL prefix)
    cmake_path(IS_PREFIX prefix "${folder}" under)
    is_empty("${folder}" empty)
    if(NOT under OR NOT empty)
      break()
    endif()
    message(STATUS "Removing the empty folder: ${folder}")
    file(REMOVE_RECURSE "${folder}")
    cmake_path(GET folder PARENT_PATH folder)
  endwhile()
endwhile()
