# Compresses one file for share/doc or share/man as Debian wants it: best
# compression, and -n so that neither the file's name nor its time goes into
# the output and the same text gives the same bytes.
#   cmake -DGZIP=path -DINPUT=file -DOUTPUT=file.gz -P gzip_file.cmake
execute_process(COMMAND "${GZIP}" -9nc "${INPUT}" OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${INPUT} (${result})")
endif()
