list(APPEND ORVALIS_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tray_glyph.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tray_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tray_rules.cpp)
list(APPEND ORVALIS_SHELL_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tray_icon.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tray_menu.cpp)

# The help file Orvalis.chm, compiled from help/ with chmcmd into bin/ beside the program.
# The viewer reads the project's title and its table of contents in the Japanese code
# page, so those two are converted from UTF-8 on the way; the pages say their own charset.
if(NOT WIN32)
    return()
endif()
find_program(ORVALIS_CHMCMD chmcmd DOC "CHM compiler (Debian package fp-utils)")
find_program(ORVALIS_ICONV iconv DOC "Character set converter")
if(NOT ORVALIS_CHMCMD OR NOT ORVALIS_ICONV)
    message(WARNING "chmcmd or iconv not found: Orvalis.chm is not built")
    return()
endif()
set(ORVALIS_HELP_DIR ${CMAKE_SOURCE_DIR}/help)
set(ORVALIS_HELP_WORK ${CMAKE_BINARY_DIR}/help)
set(ORVALIS_HELP_FILE ${CMAKE_BINARY_DIR}/bin/Orvalis.chm)
set(ORVALIS_HELP_CONTENT
    first.html howtouse.html uninstall.html notfound.html limit.html stopscroll.html
    files.html requirements.html about.html orvalis.css)
list(TRANSFORM ORVALIS_HELP_CONTENT PREPEND ${ORVALIS_HELP_DIR}/ OUTPUT_VARIABLE ORVALIS_HELP_INPUTS)
file(MAKE_DIRECTORY ${ORVALIS_HELP_WORK})
add_custom_command(
    OUTPUT ${ORVALIS_HELP_FILE}
    COMMAND ${CMAKE_COMMAND} -E copy ${ORVALIS_HELP_INPUTS} ${ORVALIS_HELP_WORK}
    COMMAND ${ORVALIS_ICONV} -f UTF-8 -t CP932 -o Orvalis.hhp ${ORVALIS_HELP_DIR}/Orvalis.hhp
    COMMAND ${ORVALIS_ICONV} -f UTF-8 -t CP932 -o Orvalis.hhc ${ORVALIS_HELP_DIR}/Orvalis.hhc
    COMMAND ${CMAKE_COMMAND} -E remove -f Orvalis.chm
    COMMAND ${ORVALIS_CHMCMD} --no-html-scan Orvalis.hhp
    COMMAND ${CMAKE_COMMAND} -E copy Orvalis.chm ${ORVALIS_HELP_FILE}
    WORKING_DIRECTORY ${ORVALIS_HELP_WORK}
    DEPENDS ${ORVALIS_HELP_INPUTS} ${ORVALIS_HELP_DIR}/Orvalis.hhp ${ORVALIS_HELP_DIR}/Orvalis.hhc
    COMMENT "Compiling the help file"
    VERBATIM)
add_custom_target(orvalis_help ALL DEPENDS ${ORVALIS_HELP_FILE})

# The program and the tests that read or copy the help file want it there first.
function(orvalis_tie_help)
    foreach(target Orvalis win_tests e2e_tests)
        if(TARGET ${target})
            add_dependencies(${target} orvalis_help)
        endif()
    endforeach()
endfunction()
cmake_language(DEFER CALL orvalis_tie_help)
