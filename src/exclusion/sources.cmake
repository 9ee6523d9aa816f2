list(APPEND ORVALIS_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/exclusion_rules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/exclusion_codec.cpp
    ${CMAKE_CURRENT_LIST_DIR}/exclusion_edit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/exclusion_layout.cpp)
list(APPEND ORVALIS_SHELL_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/exclusion.cpp
    ${CMAKE_CURRENT_LIST_DIR}/exclusion_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/exclusion_window.cpp)
