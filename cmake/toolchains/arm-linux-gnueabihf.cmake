# Cross-compiles the game for 32-bit ARM Linux with hardware floating point
# (armhf: a Raspberry Pi with a 32-bit system), where char is unsigned.
# Debian: g++-arm-linux-gnueabihf.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(triple arm-linux-gnueabihf)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
