# Runs qzbench --quick; fails unless it exits 0 and its last line is a JSON object.
execute_process(COMMAND ${QZBENCH} --quick RESULT_VARIABLE result OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "qzbench --quick exited with ${result}:\n${err}")
endif()
string(STRIP "${out}" out)
string(REGEX MATCH "[^\n]*$" last "${out}")
if(NOT last MATCHES "^\\{\"bench\":\"qzbench\".*\\}$")
  message(FATAL_ERROR "qzbench --quick printed no JSON line:\n${out}")
endif()
message(STATUS "${last}")
