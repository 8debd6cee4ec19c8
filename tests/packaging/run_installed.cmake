# Installs the build into a staging folder (DESTDIR) and runs the given test from the installed bin
# folder, where the program's own lookups find the installed files.
# Run with -DBUILD_DIR= -DSTAGE= -DPREFIX= -DTEST_EXE=
file(REMOVE_RECURSE "${STAGE}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${STAGE}" ${CMAKE_COMMAND} --install "${BUILD_DIR}"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}\n${err}")
endif()
set(bin "${STAGE}${PREFIX}/bin")
file(COPY "${TEST_EXE}" DESTINATION "${bin}")
get_filename_component(name "${TEST_EXE}" NAME)
execute_process(COMMAND "${bin}/${name}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${name} failed from ${bin} (${rc})")
endif()
