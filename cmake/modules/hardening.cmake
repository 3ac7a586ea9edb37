# The hardening Debian gives its own packages, so that an overflow or a
# corrupted return address or jump ends the game instead of taking it over:
# compile and link options for every target made after it, and a step that
# cleans the target tolvane once it exists. The flags are those that GCC and
# Clang have, named here rather than tried one by one, which would cost every
# configuration a second. MSVC's own defaults are left as they are.
# WebAssembly needs none of it: return addresses and code lie outside the
# memory that a write can reach, and Emscripten's C library has no stack guard.
if(MSVC OR EMSCRIPTEN OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  return()
endif()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

# The checked functions need the optimiser (glibc warns without it), and a
# compiler that already defines a level of its own would warn of the change.
# C++ only: CMake would hand the -D, without the -U, to Windows' resource compiler.
set(optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security
  "$<$<AND:$<COMPILE_LANGUAGE:CXX>,${optimised}>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")

if(WIN32)
  # MinGW keeps the stack guard and the checked functions in libssp, which
  # only this flag on the link brings in (statically, with -static).
  add_link_options(-fstack-protector-strong)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)  # so that position-independent code is linked with -pie
  add_link_options(LINKER:-z,relro,-z,now)
  # Control-flow protection (CET) is x86's, from GCC 8 and Clang 8 on.
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i[3-6]86)$"
     AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 8)
    add_compile_options(-fcf-protection)
  endif()
  # The compilers' version strings in .comment survive strip, and so CPack's
  # stripping, but tell the player nothing. Deferred until tolvane exists.
  # objcopy comes with the linker (binutils, or LLVM's with Clang).
  cmake_language(DEFER CALL add_custom_command TARGET tolvane POST_BUILD
                 COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment $<TARGET_FILE:tolvane>
                 VERBATIM)
endif()
