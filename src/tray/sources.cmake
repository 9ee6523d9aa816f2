list(APPEND ORVALIS_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tray_glyph.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tray_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tray_rules.cpp)
list(APPEND ORVALIS_SHELL_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tray_icon.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tray_menu.cpp)
