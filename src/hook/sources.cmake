# The hook library ovl.dll. Its decision rules and the icon-file path are portable and
# also join the core, where the native unit tests reach them.
list(APPEND ORVALIS_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/hook_rule.cpp
    ${CMAKE_CURRENT_LIST_DIR}/icon_path.cpp
    ${CMAKE_CURRENT_LIST_DIR}/iconpos_codec.cpp)

list(APPEND OVL_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/hook_rule.cpp
    ${CMAKE_CURRENT_LIST_DIR}/icon_path.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ovl_state.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ovl_main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cbt_hook.cpp
    ${CMAKE_CURRENT_LIST_DIR}/icon_hook.cpp
    ${CMAKE_CURRENT_LIST_DIR}/icon_ops.cpp)
# The icon file is replaced the way the program replaces its own files.
list(APPEND OVL_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/iconpos_codec.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../core/file_replace.cpp)

# The shared section keeps its variables in the order they are written.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/ovl_state.cpp
        PROPERTIES COMPILE_OPTIONS -fno-toplevel-reorder)
endif()
