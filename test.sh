#!/usr/bin/env bash
# Installs what is missing, builds with the sanitizers and runs the whole suite through CTest.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
trivo_install_missing "${trivo_build_packages[@]}" "${trivo_test_packages[@]}"

build=build-test
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRIVO_SANITIZE=ON -DTRIVO_BUILD_BENCH=ON
cmake --build "$build" -j "$jobs"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs"
