# The program's wiring, above every window: start-up in its fixed order, the main loop and
# shut-down. main.cpp is the executable's own source (see the top CMakeLists.txt).
list(APPEND ORVALIS_SHELL_SOURCES ${CMAKE_CURRENT_LIST_DIR}/startup.cpp)
