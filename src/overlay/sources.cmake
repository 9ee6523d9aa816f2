list(APPEND ORVALIS_SHELL_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/overlay_thread.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cross_cursor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cursor_label.cpp
    ${CMAKE_CURRENT_LIST_DIR}/overlay_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/delay_indicator.cpp)
list(APPEND ORVALIS_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/indicator_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frame_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cursor_layout.cpp)
