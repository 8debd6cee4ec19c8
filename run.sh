#!/usr/bin/env bash
# Installs what is missing, builds and starts the program. With no display plugged in it runs on the
# built-in emulated display (training mode). Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
trivo_install_missing "${trivo_build_packages[@]}" "${trivo_run_packages[@]}"

build=build
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRIVO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target trivo-cp trivo-cp-cli

args=("$@")
# A display is present when a hidraw node of vendor 1234, product 0001 exists.
present=no
for uevent in /sys/class/hidraw/hidraw*/device/uevent; do
  [ -e "$uevent" ] || continue
  if grep -qi 'HID_ID=.*:00001234:00000001' "$uevent"; then present=yes; fi
done
if [ "$present" = no ] && [[ " ${args[*]-} " != *" --simule"* ]]; then
  echo "run: no TRIVO ZURED display found: starting on the emulated display (training mode)."
  args+=(--simule)
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No screen to show the windows on: show the same procedures at work from the command line instead.
  echo "run: no graphical session here, so the windows cannot be shown."
  echo "run: a short session of the command-line companion on the emulated display follows"
  echo "run: (start ./run.sh from a desktop session for the windows)."
  cli="$build/src/cli/trivo-cp-cli"
  sim=--simule
  [ "$present" = yes ] && sim=
  for cmd in "etat" "lire" "registres"; do
    echo
    echo "\$ trivo-cp-cli $sim $cmd"
    "$cli" $sim $cmd
  done
  exit 0
fi
exec "$build/src/shell/trivo-cp" "${args[@]}"
