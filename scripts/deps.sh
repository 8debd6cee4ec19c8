#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing, and says which.
# Sourced by run.sh and test.sh.
set -euo pipefail

trivo_build_packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6test6 libgl-dev
  # lrelease and Qt's CMake commands for it (Qt6LinguistTools): the English catalogues from translations/*.ts.
  qt6-l10n-tools qt6-tools-dev
  libhidapi-dev libudev-dev
  libqt6svg6
  # The registers window's curves: Qt Charts, whose CMake package needs Qt OpenGL's (not in qt6-base-dev).
  qt6-charts-dev libqt6opengl6-dev
  # The service journal: Qt SQL's SQLite driver for the local database (SQLite's own headers for the check of
  # the whole file in the background), libpq for the shared server.
  libqt6sql6-sqlite libsqlite3-dev libpq-dev
  fonts-dejavu-core
  # Qt's own texts (message box buttons, file dialogs) in French, loaded at start-up.
  qt6-translations-l10n
)
# The help documents: Markdown to groff (pandoc), groff's PDF device (groff, not only groff-base).
trivo_doc_packages=(pandoc groff)
# The tests also check the help documents (pdftotext), the manual pages (man), the desktop entry and the
# AppStream metadata, so test.sh builds the documents too.
# clang and its runtime build the fuzz targets (libFuzzer with the sanitizers).
# srec_cat writes the HEX files the firmware reader is checked on; Python's intelhex reads them back.
# The journal's tests start a PostgreSQL 15 server of their own (initdb, pg_ctl) in a temporary folder.
trivo_test_packages=(
  postgresql-15 srecord python3-intelhex xvfb xauth libbenchmark-dev clang libclang-rt-14-dev
  "${trivo_doc_packages[@]}" poppler-utils man-db groff-base desktop-file-utils appstream
)
# package.sh: Debian's packaging tools (debhelper, dh_bash-completion), the tools the package's build runs its
# tests with (debian/control lists them), and the checks of the package.
trivo_package_packages=(dpkg-dev debhelper bash-completion lintian appstream desktop-file-utils
  python3 python3-intelhex srecord poppler-utils man-db)
trivo_run_packages=(xvfb xauth)

trivo_install_missing() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    echo "deps: all ${#} required packages are already installed."
    return 0
  fi
  echo "deps: installing missing Debian packages: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
      echo "deps: not root and no sudo: please install ${missing[*]} yourself." >&2
      return 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}
