# Runs miradel-frames with up to two arguments and checks its exit status, its standard output
# against a file (EXPECTED_OUTPUT, byte for byte) and its error output against a regular
# expression (EXPECTED_STDERR). Called by CTest with cmake -P.
execute_process(
    COMMAND ${TOOL} ${ARG1} ${ARG2}
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)

if(NOT status STREQUAL EXPECTED_STATUS)
    message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED_STATUS}\n${output}${errors}")
endif()
if(EXPECTED_OUTPUT)
    file(READ ${EXPECTED_OUTPUT} expected)
    if(NOT output STREQUAL expected)
        message(FATAL_ERROR "output differs from ${EXPECTED_OUTPUT}:\n${output}")
    endif()
endif()
if(EXPECTED_STDERR AND NOT errors MATCHES "${EXPECTED_STDERR}")
    message(FATAL_ERROR "error output does not match \"${EXPECTED_STDERR}\":\n${errors}")
endif()
