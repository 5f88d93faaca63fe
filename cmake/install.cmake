# Installation: the three programs, photo2panel (when libvips was found),
# the LUT builder, the render-data builder and the contact-sheet tool;
# libmorva6 and libulma with their public C headers, a CMake package
# (find_package(Morva6) -> Morva6::morva6, Morva6::ulma), a pkg-config file
# for each; both LUT files and the sample
# render data under share/morva6-ulma (where photo2panel looks for them),
# the README and the copyright notes under share/doc/morva6-ulma; a manual
# page for every program under share/man/man1; and a
# Debian package of it all through CPack (for amd64, or arm64 and armhf
# from the cross builds of scripts/test-cross).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS Morva6_render ulmarender ulmarender03 morva6_lut_builder make_render_data contact_sheet
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET photo2panel)
  install(TARGETS photo2panel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
set(MORVA6_BUILT_SAMPLES ${PROJECT_BINARY_DIR}/samples)
install(FILES ${MORVA6_BUILT_SAMPLES}/Morva6_Render_LUT_Default_v1.bin
              ${MORVA6_BUILT_SAMPLES}/Morva6_Render_LUT_Default_v2.bin
              ${MORVA6_BUILT_SAMPLES}/Morva6_Render_LUT_Default_v2_floyd.bin
              ${MORVA6_BUILT_SAMPLES}/Morva6_Render_LUT_Default_v2_jarvis.bin
              ${MORVA6_BUILT_SAMPLES}/Morva6_Render_LUT_Default_v2_stucki.bin
        DESTINATION ${CMAKE_INSTALL_DATADIR}/morva6-ulma)
install(DIRECTORY ${MORVA6_BUILT_SAMPLES}/ULMA_SAMPLE01_TC_03
        DESTINATION ${CMAKE_INSTALL_DATADIR}/morva6-ulma)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/samples/photos/COPYRIGHT.mate-backgrounds
              ${PROJECT_SOURCE_DIR}/samples/photos/COPYRIGHT.plasma-workspace-wallpapers
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/morva6-ulma)
install(FILES ${MORVA6_MANUALS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(TARGETS morva6 ulma EXPORT Morva6Targets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/morva6/include/morva6 ${PROJECT_SOURCE_DIR}/ulmarender/include/ulma
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(MORVA6_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Morva6)
install(EXPORT Morva6Targets NAMESPACE Morva6:: DESTINATION ${MORVA6_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/Morva6Config.cmake.in
    ${PROJECT_BINARY_DIR}/Morva6Config.cmake INSTALL_DESTINATION ${MORVA6_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/Morva6ConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/Morva6Config.cmake ${PROJECT_BINARY_DIR}/Morva6ConfigVersion.cmake
        DESTINATION ${MORVA6_CMAKE_DIR})

# The pkg-config file finds the prefix from its own place, so the package can
# be installed under any prefix (cmake --install --prefix, DESTDIR, a .deb).
set(MORVA6_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH MORVA6_PC_TO_PREFIX /prefix/${MORVA6_PC_DIR} /prefix)
string(REGEX REPLACE "/$" "" MORVA6_PC_TO_PREFIX "${MORVA6_PC_TO_PREFIX}")
foreach(library morva6 ulma)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${library}.pc.in ${PROJECT_BINARY_DIR}/${library}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${library}.pc DESTINATION ${MORVA6_PC_DIR})
endforeach()

set(CPACK_PACKAGE_NAME morva6-ulma)
set(CPACK_PACKAGE_VENDOR "Morva6 and Ulma renderer developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Renderers that prepare colour pictures for few-ink colour e-paper panels")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Morva6 and Ulma renderer developers <maintainers@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A cross build packs for its target (arm64, armhf: the toolchain files in
# cmake/toolchains name it); otherwise dpkg names the build machine's.
if(CMAKE_CROSSCOMPILING AND MORVA6_DEB_ARCHITECTURE)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${MORVA6_DEB_ARCHITECTURE})
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
# A shlibs file and the ldconfig trigger for libmorva6 and libulma.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6")
if(TARGET photo2panel)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libvips42")
endif()
if(TARGET morva6_python)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", python3 (>= ${MORVA6_PYTHON_VERSION}), python3 (<< ${MORVA6_PYTHON_VERSION}.99), python3-numpy")
endif()
include(CPack)
