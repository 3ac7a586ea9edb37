# Cross-compiles the game for 64-bit ARM Linux (arm64: a Raspberry Pi with a
# 64-bit system). Debian: g++-aarch64-linux-gnu, which finds the target's C
# library in /usr/aarch64-linux-gnu itself; the game looks for nothing else
# there (no library, header or package), so no search root is set.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
