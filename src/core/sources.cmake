list(APPEND ORVALIS_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/settings_codec.cpp
    ${CMAKE_CURRENT_LIST_DIR}/view.cpp
    ${CMAKE_CURRENT_LIST_DIR}/view_record.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edge_core.cpp
    ${CMAKE_CURRENT_LIST_DIR}/input_core.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dpi_scale.cpp)
list(APPEND ORVALIS_SHELL_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/settings_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_replace.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_saver.cpp
    ${CMAKE_CURRENT_LIST_DIR}/save_failures.cpp
    ${CMAKE_CURRENT_LIST_DIR}/app.cpp
    ${CMAKE_CURRENT_LIST_DIR}/taskbar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/input.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edge_movement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/viewport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dpi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/held_messages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/view_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/stranded_windows.cpp)
list(APPEND ORVALIS_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/delay_gate_core.cpp)
list(APPEND ORVALIS_SHELL_SOURCES ${CMAKE_CURRENT_LIST_DIR}/delay_gate.cpp)
list(APPEND ORVALIS_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/collector_rules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hung_guard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_memory.cpp)
