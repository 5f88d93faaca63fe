# Installation: the three programs, libmorva6 with its public C headers, a
# CMake package (find_package(Morva6) -> Morva6::morva6), a pkg-config file,
# and a Debian package through CPack.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS Morva6_render ulmarender ulmarender03
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS morva6 EXPORT Morva6Targets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/morva6/include/morva6
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
configure_file(${PROJECT_SOURCE_DIR}/cmake/morva6.pc.in ${PROJECT_BINARY_DIR}/morva6.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/morva6.pc DESTINATION ${MORVA6_PC_DIR})

set(CPACK_PACKAGE_NAME morva6-ulma)
set(CPACK_PACKAGE_VENDOR "Morva6 and Ulma renderer developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Renderers that prepare colour pictures for few-ink colour e-paper panels")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Morva6 and Ulma renderer developers <maintainers@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
# A shlibs file and the ldconfig trigger for libmorva6.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6")
include(CPack)
