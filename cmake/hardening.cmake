# The hardening Debian gives its own packages, so that an overflow or a
# corrupted return address or jump ends the game instead of taking it over.
# MSVC's own defaults are left as they are.
if(MSVC)
  return()
endif()
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)
include(CheckPIESupported)

check_pie_supported(LANGUAGES CXX)
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
  return()
endif()

check_cxx_compiler_flag(-fcf-protection have_cf_protection)
if(have_cf_protection)
  add_compile_options(-fcf-protection)
endif()
check_linker_flag(CXX LINKER:-z,relro,-z,now have_relro_now)
if(have_relro_now)
  add_link_options(LINKER:-z,relro,-z,now)
endif()

# The compilers' version strings in .comment survive strip, and so CPack's
# stripping, but tell the player nothing. Deferred until tolvane exists.
if(CMAKE_OBJCOPY AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
  cmake_language(DEFER CALL add_custom_command TARGET tolvane POST_BUILD
                 COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment $<TARGET_FILE:tolvane>
                 VERBATIM)
endif()
