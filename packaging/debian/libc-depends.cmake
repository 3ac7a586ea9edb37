# Run by cpack once the files of a cross build's package are staged: the
# package depends on the C library from the release that brought the newest
# symbol version its programs need, as dpkg-shlibdeps would have it. Reads
# CPACK_READELF_EXECUTABLE (debian.cmake); sets CPACK_DEBIAN_PACKAGE_DEPENDS.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
# All of them read at once: of a file that is no ELF, readelf prints only its
# complaint, on the error output.
execute_process(COMMAND ${CPACK_READELF_EXECUTABLE} --dynamic --version-info ${staged}
                OUTPUT_VARIABLE elf ERROR_QUIET)
# With the C++ runtime linked in, nothing else should be needed.
string(REGEX MATCHALL "Shared library: \\[[^ ]+\\]" libraries "${elf}")
list(FILTER libraries EXCLUDE REGEX "\\[(libc|libm|ld-linux[-a-z0-9_]*)\\.so\\.[0-9]+\\]")
if(libraries)
  message(FATAL_ERROR "A program in ${CPACK_TEMPORARY_DIRECTORY} needs more than the C library: "
                      "${libraries}")
endif()
string(REGEX MATCHALL "Name: GLIBC_[0-9.]+" versions "${elf}")
list(TRANSFORM versions REPLACE "Name: GLIBC_" "")
list(SORT versions COMPARE NATURAL)  # as versions: 2.4 before 2.34
list(POP_BACK versions needed)
if(NOT needed)
  message(FATAL_ERROR "No program in ${CPACK_TEMPORARY_DIRECTORY} needs the C library")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= ${needed})")
