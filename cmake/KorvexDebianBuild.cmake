# SPDX-License-Identifier: GPL-3.0-or-later
# The build the Debian package is made from. The release preset includes this file right after
# project() (CMAKE_PROJECT_INCLUDE), so that `make run`, `make test` and `make package` all build
# the one binary the package ships.
#
# The resources go into the program without their files' modification times (rcc's format 1;
# nothing reads those times), so that the same sources give the same program whenever and wherever
# they were checked out.
list(APPEND CMAKE_AUTORCC_OPTIONS --format-version 1)

# The compiler and linker flags of Debian's own package builds, from dpkg-buildflags with every
# hardening feature on: stack protector (strong), _FORTIFY_SOURCE, -z relro -z now, and PIE, which
# Debian's GCC builds by default. A preset cannot run a command, and CMake never reads CPPFLAGS,
# where _FORTIFY_SOURCE comes; both are done here, as debhelper does for a CMake package.
#
# The build type keeps deciding optimisation and debug information: dpkg-buildflags's -O2 and -g
# are dropped, so Release is built at the project's -O2 without debug information (the package is
# stripped anyway, and nothing here makes a debug-symbols package), and RelWithDebInfo still has
# its -g. Debian's -Wformat -Werror=format-security and -Wdate-time only add to the project's own
# warnings.
#
# A Debug build made with this file keeps the stack protector and the linker's flags but not
# _FORTIFY_SOURCE: glibc's checks need optimisation, and without it glibc's headers say so in a
# #warning that -Werror turns into an error. The sanitize preset does not include this file: it
# keeps its own flags, and the sanitizers check memory accesses themselves.
#
# Without dpkg-buildflags (Debian's dpkg-dev, which `scripts/bootstrap.sh run` installs) the
# program is built without these flags; `make package-check` then refuses the package.
find_program(KORVEX_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT KORVEX_DPKG_BUILDFLAGS)
    message(WARNING "dpkg-buildflags (Debian package dpkg-dev) not found: Korvex is built without "
        "Debian's hardening flags")
    return()
endif()

# CXXFLAGS also maps the folder dpkg-buildflags runs in to "." in file names (-ffile-prefix-map).
# That is always the source folder here: CMake re-runs itself from the build folder, and flags
# that changed with it would rebuild everything. A Release build holds no file name either way:
# built without the flag in another folder, the package came out the same.
function(korvex_dpkg_buildflags name result)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${KORVEX_DPKG_BUILDFLAGS} --get ${name}
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
        OUTPUT_VARIABLE flags
        OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    set(${result} ${flags} PARENT_SCOPE)
endfunction()

korvex_dpkg_buildflags(CPPFLAGS cppflags)
korvex_dpkg_buildflags(CXXFLAGS cxxflags)
korvex_dpkg_buildflags(LDFLAGS ldflags)
list(FILTER cxxflags EXCLUDE REGEX "^-(O.*|g)$")
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
    list(FILTER cppflags EXCLUDE REGEX "^-D_FORTIFY_SOURCE")
endif()

# Before any flags given on the command line or in the environment, so that those still win.
list(JOIN cppflags " " cppflags)
list(JOIN cxxflags " " cxxflags)
list(JOIN ldflags " " ldflags)
string(STRIP "${cppflags} ${cxxflags} ${CMAKE_CXX_FLAGS}" CMAKE_CXX_FLAGS)
foreach(kind EXE SHARED MODULE)
    string(STRIP "${ldflags} ${CMAKE_${kind}_LINKER_FLAGS}" CMAKE_${kind}_LINKER_FLAGS)
endforeach()
message(STATUS "Debian's build flags: ${CMAKE_CXX_FLAGS}; linker: ${CMAKE_EXE_LINKER_FLAGS}")
