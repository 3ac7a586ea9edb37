# Run by cpack once the files of a cross build's package are staged: the
# package depends on the C library from the release that brought the newest
# symbol version its programs need, as dpkg-shlibdeps would have it.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
set(needed 0)
foreach(file IN LISTS staged)
  execute_process(COMMAND ${CPACK_READELF_EXECUTABLE} --dynamic --version-info ${file}
                  OUTPUT_VARIABLE elf RESULT_VARIABLE not_elf ERROR_QUIET)
  if(not_elf)
    continue()
  endif()
  # With the C++ runtime linked in, nothing else should be needed.
  string(REGEX MATCHALL "Shared library: \\[[^ ]+\\]" libraries "${elf}")
  list(FILTER libraries EXCLUDE REGEX "\\[(libc|libm|ld-linux[-a-z0-9_]*)\\.so\\.[0-9]+\\]")
  if(libraries)
    message(FATAL_ERROR "${file} needs more than the C library: ${libraries}")
  endif()
  string(REGEX MATCHALL "Name: GLIBC_[0-9.]+" versions "${elf}")
  foreach(version IN LISTS versions)
    string(REPLACE "Name: GLIBC_" "" version ${version})
    if(version VERSION_GREATER needed)
      set(needed ${version})
    endif()
  endforeach()
endforeach()
if(NOT needed)
  message(FATAL_ERROR "No program in ${CPACK_TEMPORARY_DIRECTORY} needs the C library")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= ${needed})")
