# 64-bit ARM (arm64: Raspberry Pi 3, 4, 5 and Zero 2 W with a 64-bit system):
#   cmake -S . -B build-arm64 --toolchain cmake/toolchains/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(MORVA6_CROSS_TRIPLET aarch64-linux-gnu)
set(MORVA6_CROSS_QEMU qemu-aarch64)
set(MORVA6_DEB_ARCHITECTURE arm64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
