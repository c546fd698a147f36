# Runs the skin compiler on one source that it must refuse, and checks the message it gives:
#   cmake -DCOMPILER=SkinCompile.cmake -DSOURCE=x.skin -DOUTPUT=x.she.hex -DEXPECT=<regex> -P run_case.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE "${OUTPUT}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -DSKIN_SOURCE=${SOURCE} -DSKIN_OUTPUT=${OUTPUT} -P ${COMPILER}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
if(result EQUAL 0)
  message(FATAL_ERROR "the compiler accepted ${SOURCE}")
endif()
if(EXISTS "${OUTPUT}")
  message(FATAL_ERROR "a refused skin still left ${OUTPUT}")
endif()
# CMake wraps long messages; compare with the whitespace folded.
string(REGEX REPLACE "[ \t\r\n]+" " " err "${err}")
if(NOT err MATCHES "${EXPECT}")
  message(FATAL_ERROR "expected a message matching '${EXPECT}', got:\n${err}")
endif()
