# Run by cpack once the files of a cross build's package are staged: the
# package depends on the C library, and on the unwinder libgcc_s where a
# program uses it, each from the release that brought the newest symbol
# version its programs need, as dpkg-shlibdeps would have it.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
set(GLIBC 0)
set(GCC 0)
foreach(file IN LISTS staged)
  execute_process(COMMAND ${CPACK_READELF_EXECUTABLE} --dynamic --version-info ${file}
                  OUTPUT_VARIABLE elf RESULT_VARIABLE not_elf ERROR_QUIET)
  if(not_elf)
    continue()
  endif()
  # With the C++ runtime linked in, nothing else should be needed.
  string(REGEX MATCHALL "Shared library: \\[[^ ]+\\]" libraries "${elf}")
  list(FILTER libraries EXCLUDE REGEX "\\[(libc|libm|libgcc_s|ld-linux[-a-z0-9_]*)\\.so\\.[0-9]+\\]")
  if(libraries)
    message(FATAL_ERROR "${file} needs more than the C library and libgcc_s: ${libraries}")
  endif()
  foreach(library IN ITEMS GLIBC GCC)
    string(REGEX MATCHALL "Name: ${library}_[0-9.]+" versions "${elf}")
    foreach(version IN LISTS versions)
      string(REPLACE "Name: ${library}_" "" version ${version})
      if(version VERSION_GREATER ${library})
        set(${library} ${version})
      endif()
    endforeach()
  endforeach()
endforeach()
if(NOT GLIBC)
  message(FATAL_ERROR "No program in ${CPACK_TEMPORARY_DIRECTORY} needs the C library")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= ${GLIBC})")
if(GCC)
  # Debian names GCC_4.2.0's release 4.2.
  string(REGEX REPLACE "^([0-9]+\\.[0-9]+)\\.0$" "\\1" GCC ${GCC})
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libgcc-s1 (>= ${GCC})")
endif()
