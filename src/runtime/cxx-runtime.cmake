# link_cxx_runtime_into(<target>): the game, and the unit tests that are linked as it is.
# The C++ runtime linked in, less what the game does not use: the dynamic
# loader then maps and relocates only the C library, and the game starts in
# about 60% of the time it needs when linked wholly dynamically. The C library
# stays shared, as a distribution expects, and the sanitizers' runtimes can
# still be loaded ahead of it. The unwinder linked in with the runtime needs
# glibc 2.35 for one function, which the game brings (find_object_glibc.cpp)
# so that it needs no newer C library than 2.34.
# Reads TOLVANE_STATIC_RUNTIME, an option it sets up.
include(CheckLinkerFlag)
check_linker_flag(CXX -static-libstdc++ have_static_libstdcxx)
option(TOLVANE_STATIC_RUNTIME "Link the C++ runtime into tolvane" ${have_static_libstdcxx})
function(link_cxx_runtime_into target)
  if(TOLVANE_STATIC_RUNTIME AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/find_object_glibc.cpp)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -Wl,--gc-sections)
  endif()
endfunction()
