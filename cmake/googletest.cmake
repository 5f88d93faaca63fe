# GoogleTest for the test programs: the installed package, or, in a cross
# build, GoogleTest built for the target from the sources of Debian's
# googletest package (MORVA6_GOOGLETEST_SOURCE).
if(CMAKE_CROSSCOMPILING)
  set(MORVA6_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources built for the target")
  if(NOT EXISTS ${MORVA6_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${MORVA6_GOOGLETEST_SOURCE} (Debian: googletest)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${MORVA6_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Its own code is not held to this project's warning set.
  target_compile_options(gtest PRIVATE -Wno-error)
  target_compile_options(gtest_main PRIVATE -Wno-error)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
