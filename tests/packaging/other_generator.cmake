# Configures the project in a fresh folder with another CMake generator than the suite's own, builds the
# translation catalogues and the program that loads them, and runs it: what a generator could get wrong
# (steps that write into folders only Ninja makes) is in that path. The whole build with every generator
# is left to the builds of the scripts, which would take this suite past its time.
# Run with -DSOURCE_DIR= -DWORK= -DGENERATOR= [-DLAUNCHER=]
file(REMOVE_RECURSE "${WORK}")
set(launcher)
if(LAUNCHER)
  set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER} -DCMAKE_C_COMPILER_LAUNCHER=${LAUNCHER})
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${WORK}" -G "${GENERATOR}" -DCMAKE_BUILD_TYPE=Debug
          -DTRIVO_BUILD_DOCS=OFF -DTRIVO_BUILD_BENCH=OFF ${launcher}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "configure with ${GENERATOR} failed (${rc}):\n${out}\n${err}")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} --build "${WORK}" --target release_translations test_common_language
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "build with ${GENERATOR} failed (${rc}):\n${out}\n${err}")
endif()
file(GLOB catalogues "${WORK}/src/common/i18n/en/*.qm")
list(LENGTH catalogues count)
if(count EQUAL 0)
  message(FATAL_ERROR "no translation catalogue built with ${GENERATOR}")
endif()
execute_process(COMMAND "${WORK}/tests/common/test_common_language" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "test_common_language built with ${GENERATOR} failed (${rc})")
endif()
message(STATUS "${GENERATOR}: ${count} translation catalogues, the English texts loaded")
file(REMOVE_RECURSE "${WORK}")
