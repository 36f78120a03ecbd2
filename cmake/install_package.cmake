# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# What `cmake --install` adds for callers of the library: the two shared
# libraries with their sonames, the CMake package (lib/cmake/Quadrel) with
# exported targets and a version file, and lib/pkgconfig/quadrel.pc. Both
# package files find the prefix from where they lie, so an installed tree
# can be moved (or unpacked from the Debian packages anywhere).
include(CMakePackageConfigHelpers)

install(TARGETS quadrel quadrel_memory EXPORT QuadrelTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
                NAMELINK_COMPONENT dev
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(QUADREL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Quadrel)
install(EXPORT QuadrelTargets NAMESPACE Quadrel:: DESTINATION ${QUADREL_CMAKE_DIR}
        COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/QuadrelConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/QuadrelConfig.cmake
                              INSTALL_DESTINATION ${QUADREL_CMAKE_DIR})
# Same major version: the soname changes with it.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/QuadrelConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/QuadrelConfig.cmake
              ${PROJECT_BINARY_DIR}/QuadrelConfigVersion.cmake
        DESTINATION ${QUADREL_CMAKE_DIR} COMPONENT dev)

configure_file(${CMAKE_CURRENT_LIST_DIR}/quadrel.pc.in ${PROJECT_BINARY_DIR}/quadrel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/quadrel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT dev)

# The example sources, to copy and build against the installed files.
install(FILES ${PROJECT_SOURCE_DIR}/examples/CMakeLists.txt
              ${PROJECT_SOURCE_DIR}/examples/page_zones.c
              ${PROJECT_SOURCE_DIR}/examples/page_zones.cpp
              ${PROJECT_SOURCE_DIR}/examples/pbm_reader.h
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quadrel/examples COMPONENT dev)
