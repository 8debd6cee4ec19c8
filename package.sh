#!/usr/bin/env bash
# Builds the Debian package build-package/trivo-cp_<version>_<arch>.deb with Debian's own tools
# (dpkg-buildpackage on debian/, which runs the unit tests during the build), checks it with lintian,
# appstreamcli and desktop-file-validate, then installs it, starts its programs from /usr/bin, removes
# and purges it.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
trivo_install_missing "${trivo_build_packages[@]}" "${trivo_doc_packages[@]}" "${trivo_package_packages[@]}"
dpkg-checkbuilddeps

name=trivo-cp
# The version is defined once, in CMakeLists.txt; debian/changelog must follow it.
version=$(sed -n 's/^project([A-Za-z_]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }
changelog=$(dpkg-parsechangelog -S Version)
[ "$changelog" = "$version" ] || {
  echo "package: debian/changelog is at $changelog, CMakeLists.txt at $version: add a changelog entry (dch -v $version)" >&2
  exit 1
}
arch=$(dpkg --print-architecture)
build=build-package
deb="$build/${name}_${version}_${arch}.deb"

# dpkg-buildpackage writes beside the source folder: a copy of the sources (the files git knows and the
# new ones it does not ignore) in build-package/ keeps the results there.
rm -rf "$build"
src="$build/$name-$version"
mkdir -p "$src"
git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -xf - -C "$src"
(cd "$src" && dpkg-buildpackage -us -uc -b -j"$(nproc 2>/dev/null || echo 2)")
echo "package: built $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
# What debhelper's helpers install beyond CMake's: a file missing here means a helper found nothing.
# (Listed once: grep -q ending a pipe early would kill dpkg-deb, which pipefail reports as a failure.)
contents=$(dpkg-deb -c "$deb")
for f in lib/udev/rules.d/70-trivo-zured.rules usr/share/man/man1/trivo-cp-cli.1.gz \
         usr/share/bash-completion/completions/trivo-cp-cli usr/share/applications/trivo-cp.desktop \
         usr/share/metainfo/fr.zured.trivocp.metainfo.xml; do
  grep -q " \./$f\$" <<<"$contents" || { echo "package: $f missing from $deb" >&2; exit 1; }
done

echo
echo "package: lintian"
lintian --fail-on error,warning --display-info --info "$build/${name}_${version}_${arch}.changes"
echo "package: lintian found no error and no warning"
root="$build/contents"
dpkg-deb -x "$deb" "$root"
echo "package: appstreamcli validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/"*.metainfo.xml
echo "package: desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/trivo-cp.desktop" && echo "  trivo-cp.desktop: valid"

# The package on this machine: installed with its dependencies, its command line started from /usr/bin,
# removed; installed again and purged.
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
state() { dpkg-query -W -f='${db:Status-Status}' "$name" 2>/dev/null || echo not-installed; }
echo
echo "package: apt install ./$deb"
$sudo apt-get install -y -q --no-install-recommends "./$deb"
installed=$(/usr/bin/trivo-cp-cli --version)
[ "$installed" = "trivo-cp-cli $version" ] || { echo "package: /usr/bin/trivo-cp-cli says $installed" >&2; exit 1; }
echo "package: /usr/bin/trivo-cp-cli --version: $installed"
echo "package: apt remove"
$sudo apt-get remove -y -q "$name"
[ ! -e /usr/bin/trivo-cp-cli ] || { echo "package: /usr/bin/trivo-cp-cli left after remove" >&2; exit 1; }
echo "package: removed, $name is $(state)"
echo "package: apt install again, then apt purge"
$sudo apt-get install -y -q --no-install-recommends "./$deb" >/dev/null
$sudo apt-get purge -y -q "$name"
[ "$(state)" = not-installed ] || { echo "package: $name is $(state) after purge" >&2; exit 1; }
echo "package: $deb installs, runs from /usr/bin, removes and purges cleanly"
