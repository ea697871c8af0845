# Runs one command and checks its exit code and what it wrote to standard
# error, for CTest cases whose failure must be the right failure:
#
#   cmake -DCODE=1 -DSTDERR=regex -P expect_exit.cmake -- command args...
#
# Fails, showing both, when the code differs or standard error does not match.
set(command "")
set(seen_dashes FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
  if(seen_dashes)
    list(APPEND command "${CMAKE_ARGV${i}}")
  elseif("${CMAKE_ARGV${i}}" STREQUAL "--")
    set(seen_dashes TRUE)
  endif()
endforeach()
execute_process(COMMAND ${command} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT "${code}" STREQUAL "${CODE}")
  message(FATAL_ERROR "exit code ${code}, expected ${CODE}\nstdout: ${out}\nstderr: ${err}")
endif()
if(NOT "${err}" MATCHES "${STDERR}")
  message(FATAL_ERROR "standard error does not match \"${STDERR}\"\nstderr: ${err}")
endif()
