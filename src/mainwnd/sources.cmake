list(APPEND ORVALIS_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hand_off_rules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/placement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/track_view.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tiling.cpp)
list(APPEND ORVALIS_SHELL_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tracking.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hand_off.cpp
    ${CMAKE_CURRENT_LIST_DIR}/arrange.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_lists.cpp)
