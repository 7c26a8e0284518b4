# SPDX-License-Identifier: GPL-3.0-or-later
# Parts of the build that need something a plain build does without (validators, Xlib, the
# benchmarks). Each has a cache switch: AUTO takes the part when what it needs is found, ON asks
# for it and stops with a clear message when that is missing, OFF leaves it out.
#   korvex_optional_switch(KORVEX_BENCH "the benchmarks")
function(korvex_optional_switch name what)
    set(${name} AUTO CACHE STRING "Build ${what}: AUTO (when found), ON or OFF")
    set_property(CACHE ${name} PROPERTY STRINGS AUTO ON OFF)
endfunction()

#   korvex_optional_check(KORVEX_BENCH FOUND "Xlib headers" "libx11-dev" RESULT_VAR)
# Sets RESULT_VAR to TRUE when the part is to be built.
function(korvex_optional_check name found need package result)
    if(${name} STREQUAL "OFF")
        set(${result} FALSE PARENT_SCOPE)
    elseif(found)
        set(${result} TRUE PARENT_SCOPE)
    elseif(${name} STREQUAL "ON")
        message(FATAL_ERROR
            "${name}=ON needs ${need}, not found here. On Debian: apt-get install ${package}; "
            "or configure with -D${name}=OFF.")
    else()
        message(STATUS "${name}: ${need} not found, left out (Debian package: ${package})")
        set(${result} FALSE PARENT_SCOPE)
    endif()
endfunction()
