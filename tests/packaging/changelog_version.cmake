# The Debian package's version (the first entry of debian/changelog) is the project's.
# Run with -DCHANGELOG= -DVERSION=
file(STRINGS "${CHANGELOG}" first LIMIT_COUNT 1)
if(NOT first MATCHES "^trivo-cp \\(([^)]+)\\) ")
  message(FATAL_ERROR "${CHANGELOG}: no entry on its first line: ${first}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(FATAL_ERROR "debian/changelog is at ${CMAKE_MATCH_1}, the project at ${VERSION}: add an entry (dch -v ${VERSION})")
endif()
