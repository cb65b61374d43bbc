# Writes a program's man page (section 1) from its own --help and --version
# with help2man, compressed for share/man/man1. INCLUDE, when given, is a
# help2man include file with the sections --help does not give.
#   cmake -DHELP2MAN=... -DGZIP=... -DPROGRAM=path -DNAME=text -DSOURCE=text -DOUTPUT=page.1.gz
#         [-DINCLUDE=file.h2m] -P man_page.cmake
get_filename_component(directory "${PROGRAM}" DIRECTORY)
get_filename_component(command "${PROGRAM}" NAME)
string(REGEX REPLACE "\\.gz$" "" page "${OUTPUT}")

# Started by its bare name through PATH, the program shows that name in its
# usage line rather than the build directory.
set(ENV{PATH} "${directory}:$ENV{PATH}")
# A sanitizer build must not report leaks into the page.
set(ENV{ASAN_OPTIONS} "detect_leaks=0")
set(include_option)
if(INCLUDE)
  set(include_option "--include=${INCLUDE}")
endif()
execute_process(
  COMMAND "${HELP2MAN}" --no-info --no-discard-stderr --section=1 "--name=${NAME}" "--source=${SOURCE}"
          ${include_option} "--output=${page}" "${command}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "help2man could not write the man page of ${command} (${result})")
endif()
# -n: no name or time stamp inside, the same page gives the same file.
execute_process(COMMAND "${GZIP}" -9nf "${page}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${page} (${result})")
endif()
