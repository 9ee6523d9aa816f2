list(APPEND ORVALIS_SHELL_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/exclusion_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/exclusion_window.cpp)
