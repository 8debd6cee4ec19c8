#!/usr/bin/env bash
# Installs what is missing, builds with the sanitizers and runs the whole suite through CTest (the soak on
# its emulated hour and the screenshots included), then the parsers' fuzz targets with clang for a bounded
# time each, then the tests of the program's threads (the link and the display's I/O thread, the journal,
# the production line, the windows' operations) with ThreadSanitizer. Ends with the counts of all three
# runs; fails if any run fails, a ThreadSanitizer report included.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
trivo_install_missing "${trivo_build_packages[@]}" "${trivo_test_packages[@]}"

jobs=$(nproc 2>/dev/null || echo 2)
# The configurations are CMake's presets (CMakePresets.json), each in build-<preset>.
build=build-test
cmake --preset test
cmake --build --preset test -j "$jobs"

# The main suite stays on the default compiler; the fuzz targets need clang's libFuzzer (tests/fuzz), and
# the thread tests are built apart with clang's ThreadSanitizer (TRIVO_TSAN in CMakeLists.txt says which).
fuzz=build-fuzz
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
tsan=build-tsan
tsan_started=$SECONDS
cmake --preset tsan
cmake --build --preset tsan -j "$jobs"
tsan_built=$((SECONDS - tsan_started))

status=0
rm -rf "$build/screenshots"
ctest --preset test -j "$jobs" || status=1
ctest --preset fuzz -j "$jobs" || status=1
tsan_started=$SECONDS
ctest --preset tsan -j "$jobs" || status=1
tsan_ran=$((SECONDS - tsan_started))

# The counts, from the log CTest keeps of every test's output: programs run and passed, Qt Test functions
# (and data rows) passed, failed and skipped, and why each was skipped.
counts() {
  awk '/^[0-9]+\/[0-9]+ Test: /{run++} /^Test Passed\./{passed++}
       /^Totals: /{p+=$2; f+=$4; s+=$6}
       END{printf "%d programs run, %d passed; %d test functions and rows: %d passed, %d failed, %d skipped\n",
                  run, passed, p + f + s, p, f, s}' "$1/Testing/Temporary/LastTest.log"
}
echo
echo "== Summary (${SECONDS} s) =="
echo "tests:            $(counts "$build") (the soak included)"
awk '/^SKIP   : /{sub(/^SKIP   : /, ""); print "  skipped:        " $0}' "$build/Testing/Temporary/LastTest.log"
echo "screenshots:      $(find "$build/screenshots" -name '*.png' 2>/dev/null | wc -l) pictures in $build/screenshots, each checked for its size and not blank"
echo "fuzz targets:     $(counts "$fuzz" | cut -d';' -f1), ${TRIVO_FUZZ_SECONDS:-20} s each"
echo "ThreadSanitizer:  $(counts "$tsan") in $tsan;" \
     "$(grep -c '^WARNING: ThreadSanitizer' "$tsan/Testing/Temporary/LastTest.log" || true) reports;" \
     "built in ${tsan_built} s, run in ${tsan_ran} s"
echo "result:           $([ $status -eq 0 ] && echo passed || echo FAILED)"
exit $status
