# SPDX-License-Identifier: GPL-3.0-or-later
# Warnings shared by every target; the plain C++ core adds -Wconversion on top.
add_library(korvex_warnings INTERFACE)
target_compile_options(korvex_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Werror)

add_library(korvex_core_warnings INTERFACE)
target_link_libraries(korvex_core_warnings INTERFACE korvex_warnings)
target_compile_options(korvex_core_warnings INTERFACE -Wconversion -Wsign-conversion)
