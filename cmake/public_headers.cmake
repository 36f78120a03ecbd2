# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# The installed headers live together under include/quadrel/. Each is also
# copied into the build tree's include/quadrel/, so that code in this tree
# (the examples, the tests of the C++ face) includes them exactly as a caller
# does: #include <quadrel/la_api.h>. The copy is refreshed whenever CMake
# re-runs, which an edit of the header triggers.
function(quadrel_public_header file)
    configure_file(${CMAKE_CURRENT_SOURCE_DIR}/${file}
                   ${PROJECT_BINARY_DIR}/include/quadrel/${file} COPYONLY)
    install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/${file}
            DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quadrel COMPONENT dev)
endfunction()
