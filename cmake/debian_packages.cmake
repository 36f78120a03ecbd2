# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# `cpack -G DEB` in the build tree makes up to five Debian packages, one per
# install component:
#   libquadrel1     runtime  libquadrel.so.1 and libquadrel_memory.so.1
#   libquadrel-dev  dev      headers, .so links, CMake package, quadrel.pc, examples
#   quadrel         cli      the command line and its outline module
#   evalia          evalia   the desktop utility (which loads libquadrel.so.1)
#   python3-quadrel python   the Python package, for the interpreter it was
#                            built for (lib/python3.X/dist-packages, on
#                            Debian's path under /usr)
# The two libraries share a package: they are released together, and every
# caller of libquadrel links libquadrel_memory. dpkg-shlibdeps finds the
# system libraries each package needs; the dependencies on our own packages
# are stated here with the exact version. The synopsis of every package is
# the summary; the descriptions below follow it.
set(CPACK_PACKAGE_NAME quadrel)
set(CPACK_PACKAGE_VENDOR "Quadrel developers")
set(CPACK_PACKAGE_CONTACT "Quadrel developers <quadrel@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Layout analysis of 1-bit scanned pages")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev cli)
if(QUADREL_BUILD_GUI)
    list(APPEND CPACK_COMPONENTS_ALL evalia)
endif()
if(QUADREL_BUILD_PYTHON)
    list(APPEND CPACK_COMPONENTS_ALL python)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Our own libraries are found in the staging tree and skipped by
# dpkg-shlibdeps; the exact dependency on libquadrel1 follows below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY "=")

set(quadrel_runtime_dependency "libquadrel1 (= ${PROJECT_VERSION}-1)")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libquadrel1)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
    "The shared libraries libquadrel.so.1 (plain C interface, eleven LA_ functions)\nand libquadrel_memory.so.1 (page memory blocks).")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libquadrel-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS ${quadrel_runtime_dependency})
set(CPACK_DEBIAN_DEV_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_DEV_DESCRIPTION
    "Development files: headers (C and header-only C++20), the CMake package\nQuadrel, quadrel.pc and example programs.")

set(CPACK_DEBIAN_CLI_PACKAGE_NAME quadrel)
set(CPACK_DEBIAN_CLI_PACKAGE_DEPENDS ${quadrel_runtime_dependency})
set(CPACK_DEBIAN_CLI_DESCRIPTION
    "The quadrel command line: analyses TIFF pages and writes zone tables as text,\nJSON or XML layout files, and half-size outlined images.")

set(CPACK_DEBIAN_EVALIA_PACKAGE_NAME evalia)
set(CPACK_DEBIAN_EVALIA_PACKAGE_DEPENDS ${quadrel_runtime_dependency})
set(CPACK_DEBIAN_EVALIA_DESCRIPTION
    "Evalia, the desktop evaluation utility: opens a TIFF page, runs the analysis\nand shows every zone outlined in the colour of its kind.")

# The extension module is built for one interpreter version.
math(EXPR quadrel_python_next "${Python_VERSION_MINOR} + 1")
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-quadrel)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
    "${quadrel_runtime_dependency}, python3 (>= ${Python_VERSION_MAJOR}.${Python_VERSION_MINOR}), python3 (<< ${Python_VERSION_MAJOR}.${quadrel_python_next}), python3-numpy")
set(CPACK_DEBIAN_PYTHON_PACKAGE_RECOMMENDS "python3-pil, python3-dask, python3-distributed")
set(CPACK_DEBIAN_PYTHON_DESCRIPTION
    "The Python package quadrel: analyses numpy arrays, PIL images and page files\ninto zones, and folders of pages in batches on Dask (quadrel.batch).")

# Every package carries the machine-readable copyright file where Debian
# looks for it: /usr/share/doc/<package>/copyright.
set(quadrel_doc_packages runtime:libquadrel1 dev:libquadrel-dev cli:quadrel)
if(QUADREL_BUILD_GUI)
    list(APPEND quadrel_doc_packages evalia:evalia)
endif()
if(QUADREL_BUILD_PYTHON)
    list(APPEND quadrel_doc_packages python:python3-quadrel)
endif()
foreach(component_package ${quadrel_doc_packages})
    string(REPLACE ":" ";" pair ${component_package})
    list(GET pair 0 component)
    list(GET pair 1 package)
    install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endforeach()

include(CPack)
