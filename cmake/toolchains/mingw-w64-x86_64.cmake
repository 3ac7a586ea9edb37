# Cross-compiles tolvane.exe for 64-bit Windows with MinGW-w64 (Debian:
# g++-mingw-w64-x86-64-posix).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# One self-contained .exe: the C++ runtime, libgcc and winpthread linked in,
# so it runs on a Windows machine without MinGW's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
