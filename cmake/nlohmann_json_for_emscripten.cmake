# nlohmann-json for the web edition's build (emcmake cmake), on Debian 12
# (bookworm: nlohmann-json3-dev 3.11.2, emscripten 3.1.6).
#
# Debian's nlohmann-json3-dev is for the host: its package file lies in
# /usr/share/cmake/nlohmann_json and its header in /usr/include/nlohmann.
# emscripten's toolchain looks for packages inside its own sysroot only, so
# find_package(nlohmann_json) does not find that package file; and pointed at
# it, the target it defines puts /usr/include before emscripten's headers,
# where the host's C library breaks the build (emscripten's <iosfwd> reaches
# /usr/include/wchar.h, which wants glibc's bits/libc-header-start.h).
#
# So the header alone is linked into an include folder of the build, and a
# package file of our own, with the version of that header, names it:
# calculator/'s find_package(nlohmann_json) finds this one, as a native
# build finds Debian's.

set(json_include ${CMAKE_BINARY_DIR}/include)
set(json_package ${CMAKE_BINARY_DIR}/nlohmann_json)
file(MAKE_DIRECTORY ${json_include} ${json_package})
file(CREATE_LINK /usr/include/nlohmann ${json_include}/nlohmann SYMBOLIC)
file(WRITE ${json_package}/nlohmann_jsonConfig.cmake
  "if(NOT TARGET nlohmann_json::nlohmann_json)\n"
  "  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)\n"
  "  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${json_include})\n"
  "endif()\n")
include(CMakePackageConfigHelpers)
file(READ /usr/include/nlohmann/json.hpp json_header LIMIT 4000)
string(REGEX MATCH "version ([0-9]+\\.[0-9]+\\.[0-9]+)" _ "${json_header}")
write_basic_package_version_file(${json_package}/nlohmann_jsonConfigVersion.cmake
  VERSION ${CMAKE_MATCH_1} COMPATIBILITY SameMajorVersion)
set(nlohmann_json_DIR ${json_package} CACHE PATH "" FORCE)
include_directories(SYSTEM ${json_include})
