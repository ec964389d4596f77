# cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DTOOLCHAIN=... -DWORK_DIR=... [-DRUN=wine] -P example_host.cmake
# Installs the build into a fresh prefix, checks the installed layout, then
# configures and builds the example host against that prefix alone, the way
# an application would, and runs its self-test when RUN names an emulator.
cmake_policy(SET CMP0057 NEW)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "failed (${rc}): ${command}\n${out}\n${err}")
  endif()
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

foreach(name Tavrolib Nellolib Orvane)
  foreach(file bin/${name}.dll lib/lib${name}.dll.a lib/cmake/${name}/${name}Config.cmake
               lib/cmake/${name}/${name}ConfigVersion.cmake lib/cmake/${name}/${name}Targets.cmake)
    if(NOT EXISTS ${prefix}/${file})
      message(FATAL_ERROR "the install lacks ${file}")
    endif()
  endforeach()
endforeach()
foreach(file include/tavrolib.h include/nellolib.h include/orvane.h lib/Tavrolib.lib lib/Nellolib.lib)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "the install lacks ${file}")
  endif()
endforeach()

run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/host -B ${WORK_DIR}/host -G Ninja
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/host)
if(RUN)
  run(${RUN} ${WORK_DIR}/host/host.exe --self-test)
endif()
message(STATUS "example host built against ${prefix}")
