# Debian's build flags for the optimised builds: what dpkg-buildflags gives
# with every hardening feature on (stack protector, _FORTIFY_SOURCE, format
# checks, relro and immediate binding), so the programs built here are
# hardened like any program of the distribution. They come before the build
# type's own flags, so a Release keeps its optimisation level. The sanitizer
# build goes without: _FORTIFY_SOURCE's checked functions get in
# AddressSanitizer's way, and a debug build has no optimisation for
# _FORTIFY_SOURCE to work with.
option(CAPACIMO_DEBIAN_BUILD_FLAGS "Optimised builds use Debian's build flags (dpkg-buildflags)" ON)
if(NOT CAPACIMO_DEBIAN_BUILD_FLAGS OR CAPACIMO_SANITIZE OR CMAKE_BUILD_TYPE STREQUAL "Debug")
  return()
endif()
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
  message(WARNING "dpkg-buildflags not found (package dpkg-dev): building without Debian's build flags")
  return()
endif()

set(ENV{DEB_BUILD_MAINT_OPTIONS} "hardening=+all")
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  # Run from the source tree, so the -ffile-prefix-map it gives turns this
  # checkout's path into "." and the binaries do not depend on where it lies.
  execute_process(COMMAND ${DPKG_BUILDFLAGS} --get ${kind} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE debian_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endforeach()
unset(ENV{DEB_BUILD_MAINT_OPTIONS})
message(STATUS "Debian build flags: ${debian_CPPFLAGS} ${debian_CXXFLAGS} ${debian_LDFLAGS}")
string(PREPEND CMAKE_CXX_FLAGS "${debian_CPPFLAGS} ${debian_CXXFLAGS} ")
foreach(kind EXE SHARED MODULE)
  string(PREPEND CMAKE_${kind}_LINKER_FLAGS "${debian_LDFLAGS} ")
endforeach()
