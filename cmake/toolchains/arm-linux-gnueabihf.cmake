# Cross-compiles the game for 32-bit ARM Linux with hardware floating point
# (armhf: a Raspberry Pi with a 32-bit system), where char is unsigned.
# Debian: g++-arm-linux-gnueabihf, which finds the target's C library in
# /usr/arm-linux-gnueabihf itself, as aarch64-linux-gnu.cmake says.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
