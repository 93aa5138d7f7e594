# Runs `miradel --demo` in a fresh folder and checks that the call was settled and printed.
file(REMOVE_RECURSE "${WORKDIR}")
execute_process(COMMAND "${PROGRAM}" --demo --workdir "${WORKDIR}" --talk 3
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 60)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "miradel --demo failed (${rc}):\n${out}\n${err}")
endif()
foreach(expected
        "state: Состояние программы - Норма"
        "ok panel 1 state 2 advance 10.00"
        "ok panel 1 state 1 calls 1 taken 10.00"
        "N84951234567"
        "ok exit"
        "demo: done")
    string(FIND "${out}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "missing \"${expected}\" in:\n${out}")
    endif()
endforeach()
