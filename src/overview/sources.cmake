list(APPEND ORVALIS_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/overview_layout.cpp)
list(APPEND ORVALIS_SHELL_SOURCES ${CMAKE_CURRENT_LIST_DIR}/overview_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/overview_paint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/overview_state.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plate_facts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/icon_tiles.cpp)
