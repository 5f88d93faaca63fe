# Shared part of the cross toolchain files: Debian's cross compilers for
# MORVA6_CROSS_TRIPLET (packages g++-<triplet>), their target libraries
# under /usr/<triplet>, and qemu's user-mode emulator MORVA6_CROSS_QEMU,
# which runs the target's programs during the build and under ctest.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${MORVA6_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${MORVA6_CROSS_TRIPLET}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${MORVA6_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The host's pkg-config files describe host libraries (libvips): not for the target.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${MORVA6_CROSS_TRIPLET}/pkgconfig:/usr/${MORVA6_CROSS_TRIPLET}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

find_program(MORVA6_CROSS_QEMU_PATH ${MORVA6_CROSS_QEMU})
if(MORVA6_CROSS_QEMU_PATH)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MORVA6_CROSS_QEMU_PATH} -L /usr/${MORVA6_CROSS_TRIPLET})
endif()
