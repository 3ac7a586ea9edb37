# Cross-compiles the game for 64-bit ARM Linux (arm64: a Raspberry Pi with a
# 64-bit system). Debian: g++-aarch64-linux-gnu.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(triple aarch64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
