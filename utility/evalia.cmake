# Evalia, the desktop evaluation utility (Qt 6 Widgets). The window and its
# parts form a library that the program and the tests share. The analysis
# library is bound at run time with dlopen, so it is not linked, only built
# first so that it lies next to the program.
if(QUADREL_BUILD_GUI)
    find_package(Qt6 REQUIRED COMPONENTS Widgets)

    add_library(evalia_window STATIC
        ${CMAKE_CURRENT_LIST_DIR}/analysis_session.cpp
        ${CMAKE_CURRENT_LIST_DIR}/busy_cursor.h
        ${CMAKE_CURRENT_LIST_DIR}/evaliaunit.cpp
        ${CMAKE_CURRENT_LIST_DIR}/evaliaunit.h
        ${CMAKE_CURRENT_LIST_DIR}/process_report.cpp
        ${CMAKE_CURRENT_LIST_DIR}/quadrel_library.cpp
        ${CMAKE_CURRENT_LIST_DIR}/selected_zones.cpp
        ${CMAKE_CURRENT_LIST_DIR}/user_prompts.cpp
        ${CMAKE_CURRENT_LIST_DIR}/zone_overlay.cpp)
    set_target_properties(evalia_window PROPERTIES AUTOMOC ON)
    target_include_directories(evalia_window PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(evalia_window PUBLIC quadrel_viewer quadrel_utility Qt6::Widgets
                                               ${CMAKE_DL_LIBS})

    add_executable(evalia ${CMAKE_CURRENT_LIST_DIR}/evalia_main.cpp)
    target_link_libraries(evalia PRIVATE evalia_window)
    add_dependencies(evalia quadrel)
    install(TARGETS evalia RUNTIME DESTINATION bin)
endif()
