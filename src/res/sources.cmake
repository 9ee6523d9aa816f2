# The resource script and its artwork. The artwork is drawing code in the portable core
# (so the unit tests check its pixels); the cross build compiles that code for the build
# machine as `artgen`, runs it to write the .ico/.cur/.bmp files, and hands the script
# and those files to the program and the Win32 tests (ORVALIS_RC, ORVALIS_RC_DEPENDS).
set(ORVALIS_ART_CODE
    ${CMAKE_CURRENT_LIST_DIR}/artwork.cpp
    ${CMAKE_CURRENT_LIST_DIR}/imagefile.cpp)
list(APPEND ORVALIS_CORE_SOURCES ${ORVALIS_ART_CODE})

# The files orvalis.rc names; artgen refuses to run when its own list differs.
set(ORVALIS_ART_FILES
    orvalis.ico orvalis_small.ico
    edge_left.cur edge_right.cur edge_up.cur edge_down.cur
    landscape.bmp checker.bmp)
foreach(k 00 01 02 03 04 05 06 07 08 09 10 11)
    list(APPEND ORVALIS_ART_FILES cross_h${k}.bmp cross_v${k}.bmp)
endforeach()
foreach(position t 1 3 5 7 9)
    list(APPEND ORVALIS_ART_FILES start_${position}.bmp)
endforeach()

set(ORVALIS_ART_DIR ${CMAKE_BINARY_DIR}/res)
set(ORVALIS_ARTGEN_SOURCES ${CMAKE_CURRENT_LIST_DIR}/artgen.cpp ${ORVALIS_ART_CODE})
set(ORVALIS_ARTGEN_HEADERS
    ${CMAKE_CURRENT_LIST_DIR}/artwork.h
    ${CMAKE_CURRENT_LIST_DIR}/imagefile.h
    ${CMAKE_CURRENT_LIST_DIR}/picture.h)

if(NOT WIN32)
    # Natively the generator is an ordinary target: handy for looking at the artwork.
    add_executable(artgen ${ORVALIS_ARTGEN_SOURCES})
    target_include_directories(artgen PRIVATE ${CMAKE_SOURCE_DIR}/src)
    set_target_properties(artgen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVALIS_ART_DIR})
    return()
endif()

if(CMAKE_CROSSCOMPILING)
    # The generator must run on the build machine: compile it with that machine's compiler.
    find_program(ORVALIS_HOST_CXX NAMES c++ g++ clang++ REQUIRED
                 NO_CMAKE_FIND_ROOT_PATH DOC "C++ compiler of the build machine, for artgen")
    set(ORVALIS_ARTGEN ${ORVALIS_ART_DIR}/artgen)
    add_custom_command(
        OUTPUT ${ORVALIS_ARTGEN}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVALIS_ART_DIR}
        COMMAND ${ORVALIS_HOST_CXX} -std=c++20 -O1 -Wall -Wextra -I${CMAKE_SOURCE_DIR}/src
                ${ORVALIS_ARTGEN_SOURCES} -o ${ORVALIS_ARTGEN}
        DEPENDS ${ORVALIS_ARTGEN_SOURCES} ${ORVALIS_ARTGEN_HEADERS}
        COMMENT "Building artgen for the build machine"
        VERBATIM)
else()
    # Built on Windows itself: the generator is an ordinary program of this build.
    add_executable(artgen ${ORVALIS_ARTGEN_SOURCES})
    target_include_directories(artgen PRIVATE ${CMAKE_SOURCE_DIR}/src)
    set_target_properties(artgen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVALIS_ART_DIR})
    set(ORVALIS_ARTGEN artgen)
endif()
list(TRANSFORM ORVALIS_ART_FILES PREPEND ${ORVALIS_ART_DIR}/ OUTPUT_VARIABLE ORVALIS_ART_PATHS)
add_custom_command(
    OUTPUT ${ORVALIS_ART_PATHS}
    COMMAND ${ORVALIS_ARTGEN} ${ORVALIS_ART_DIR} ${ORVALIS_ART_FILES}
    DEPENDS ${ORVALIS_ARTGEN}
    COMMENT "Drawing the artwork"
    VERBATIM)
add_custom_target(orvalis_artwork DEPENDS ${ORVALIS_ART_PATHS})

set(ORVALIS_RC ${CMAKE_CURRENT_LIST_DIR}/orvalis.rc)
set(ORVALIS_RC_DEPENDS ${ORVALIS_ART_PATHS} ${CMAKE_CURRENT_LIST_DIR}/orvalis.manifest
                       ${CMAKE_CURRENT_LIST_DIR}/resource.h)
# windres looks for the files the script names in its include folders.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I ${CMAKE_CURRENT_LIST_DIR} -I ${ORVALIS_ART_DIR}")

# The targets that compile the script are made after this file is read (the Win32 tests
# in their own folder), so the artwork is tied to them once the whole tree is known:
# they wait for it and recompile the script when it changes.
function(orvalis_tie_artwork)
    foreach(target Orvalis win_tests)
        if(TARGET ${target})
            add_dependencies(${target} orvalis_artwork)
        endif()
    endforeach()
    if(TARGET win_tests)
        set_source_files_properties(${ORVALIS_RC} DIRECTORY ${CMAKE_SOURCE_DIR}/tests/win
                                    PROPERTIES OBJECT_DEPENDS "${ORVALIS_RC_DEPENDS}")
    endif()
endfunction()
cmake_language(DEFER CALL orvalis_tie_artwork)
