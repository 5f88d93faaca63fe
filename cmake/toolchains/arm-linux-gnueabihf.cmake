# 32-bit ARM, hard-float (armhf: ARMv7 with VFPv3-D16, Raspberry Pi 2 and
# later with a 32-bit system):
#   cmake -S . -B build-armhf --toolchain cmake/toolchains/arm-linux-gnueabihf.cmake
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(MORVA6_CROSS_TRIPLET arm-linux-gnueabihf)
set(MORVA6_CROSS_QEMU qemu-arm)
set(MORVA6_DEB_ARCHITECTURE armhf)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
