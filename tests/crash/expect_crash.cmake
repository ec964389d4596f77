# Runs PROGRAM under wine with a time limit and passes only when it ended by
# itself with a non-zero status, as any crashing test program must.
execute_process(COMMAND wine ${PROGRAM} TIMEOUT 60
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc MATCHES "timeout|Process terminated")
  message(FATAL_ERROR "a crashing program hung under wine (${rc})")
endif()
if(rc EQUAL 0)
  message(FATAL_ERROR "a crashing program exited 0 under wine:\n${out}")
endif()
if(out MATCHES "still alive")
  message(FATAL_ERROR "the helper did not crash:\n${out}")
endif()
message(STATUS "the crash ended the program with status ${rc}")
