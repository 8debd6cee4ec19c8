#!/usr/bin/env bash
# Installs what is missing, builds with the sanitizers and runs the whole suite through CTest, then builds
# the parsers' fuzz targets with clang and fuzzes each for a bounded time. Fails if either run fails.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
trivo_install_missing "${trivo_build_packages[@]}" "${trivo_test_packages[@]}"

jobs=$(nproc 2>/dev/null || echo 2)
build=build-test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRIVO_SANITIZE=ON -DTRIVO_BUILD_BENCH=ON
cmake --build "$build" -j "$jobs"

# The main suite stays on the default compiler; the fuzz targets need clang's libFuzzer (tests/fuzz).
fuzz=build-fuzz
cmake -S . -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DTRIVO_FUZZ=ON
cmake --build "$fuzz" -j "$jobs"

status=0
# The soak test (label soak) is run on its own: ctest -L soak (see README.md).
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" -LE soak) || status=1
(cd "$fuzz" && ctest --output-on-failure -j "$jobs") || status=1
exit $status
