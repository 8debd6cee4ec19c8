# Builds one help document: Markdown -> groff ms -> PDF, and Markdown -> RTF (the ".doc" of the help menu).
# Run with -DPANDOC= -DGROFF= -DPERL= -DSOURCE= -DPDF= -DDOC= -DVERSION= -DWORK=
get_filename_component(stem "${SOURCE}" NAME_WE)
set(raw "${WORK}/${stem}.pandoc.ms")
set(ms "${WORK}/${stem}.ms")
set(common --from=markdown --standalone --metadata=lang:fr-FR "--metadata=date:Version ${VERSION}")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGV0} failed (${rc}): ${err}")
  endif()
  # A warning here is a document that renders wrongly: make it fail the build instead.
  if(err)
    message(FATAL_ERROR "${ARGV0}: ${err}")
  endif()
endfunction()

# Helvetica, Times and Courier are the PDF base fonts: no font file is needed to build or to read the PDF.
run(${PANDOC} ${common} --to=ms --number-sections --variable=fontfamily:H --output=${raw} ${SOURCE})
execute_process(
  COMMAND ${PERL} ${CMAKE_CURRENT_LIST_DIR}/ms_outline.pl
  INPUT_FILE ${raw} OUTPUT_FILE ${ms} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ms_outline.pl failed on ${raw}")
endif()
execute_process(
  COMMAND ${GROFF} -ms -mpdfmark -e -t -k -KUTF-8 -Tpdf -dpaper=a4 -P-pa4 ${ms}
  OUTPUT_FILE ${PDF}.tmp RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR err)
  file(REMOVE ${PDF}.tmp)
  message(FATAL_ERROR "groff failed on ${ms} (${rc}): ${err}")
endif()
file(RENAME ${PDF}.tmp ${PDF})
run(${PANDOC} ${common} --to=rtf --output=${DOC} ${SOURCE})
