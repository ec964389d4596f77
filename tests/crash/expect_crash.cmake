# Runs PROGRAM under wine (or the emulator RUN names) with a time limit and
# passes only when the program started, faulted, and ended by itself with a
# non-zero status, as any crashing test program must. A wine that cannot start
# the program at all also exits non-zero, so the helper's own line and wine's
# fault report are required too.
if(NOT RUN)
  set(RUN wine)
endif()
execute_process(COMMAND ${RUN} ${PROGRAM} TIMEOUT 300
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc MATCHES "timeout|Process terminated")
  message(FATAL_ERROR "a crashing program hung under wine (${rc})")
endif()
if(rc EQUAL 0)
  message(FATAL_ERROR "a crashing program exited 0 under wine:\n${out}")
endif()
if(NOT out MATCHES "about to fault")
  message(FATAL_ERROR "the helper never ran (status ${rc}):\n${out}\n${err}")
endif()
if(out MATCHES "still alive")
  message(FATAL_ERROR "the helper did not crash:\n${out}")
endif()
if(NOT err MATCHES "[Uu]nhandled")
  message(FATAL_ERROR "no fault was reported (status ${rc}):\n${err}")
endif()
message(STATUS "the crash ended the program with status ${rc}")
