# SPDX-License-Identifier: GPL-3.0-or-later
# One Qt Test executable, registered once with CTest under its own name.
#   korvex_add_test(NAME tst_engine SOURCES tst_engine.cpp LIBS korvex_engine [ENV VAR=value ...])
function(korvex_add_test)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    set_target_properties(${ARG_NAME} PROPERTIES AUTOMOC ON)
    target_include_directories(${ARG_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} Qt6::Test korvex_warnings)
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
    if(ARG_ENV)
        set_tests_properties(${ARG_NAME} PROPERTIES ENVIRONMENT "${ARG_ENV}")
    endif()
endfunction()
