#!/usr/bin/env bash
# Builds the Debian package build-package/trivo-cp_<version>_<arch>.deb: a release build with Debian's
# hardening flags installed under /usr into a staging folder, the dependencies computed from the binaries
# by dpkg-shlibdeps, then checked by lintian, appstreamcli and desktop-file-validate.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
trivo_install_missing "${trivo_build_packages[@]}" "${trivo_doc_packages[@]}" "${trivo_package_packages[@]}"

name=trivo-cp
# The version is defined once, in CMakeLists.txt.
version=$(sed -n 's/^project([A-Za-z_]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }
arch=$(dpkg --print-architecture)
build=build-package
root="$PWD/$build/root"
control="$PWD/$build/control"
deb="$build/${name}_${version}_${arch}.deb"
maintainer=$(sed -n 's/^Maintainer: //p' packaging/deb/control)

# Dates inside the package (changelog, metadata, manual pages) are those of the last commit.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || date +%s)
fi
export SOURCE_DATE_EPOCH

# A fresh build: CMake reads the compiler flags only when it first configures a folder.
rm -rf "$build"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
# CMake takes CXXFLAGS and LDFLAGS from the environment, not CPPFLAGS (which carries _FORTIFY_SOURCE).
export CXXFLAGS="$CXXFLAGS $CPPFLAGS"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DTRIVO_BUILD_TESTS=OFF -DTRIVO_BUILD_DOCS=ON >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)"
DESTDIR="$root" cmake --install "$build" >/dev/null

built=$("$root/usr/bin/trivo-cp-cli" --version)
[ "$built" = "trivo-cp-cli $version" ] || { echo "package: built $built, expected $version" >&2; exit 1; }

# What a Debian package carries beyond the install: stripped binaries, compressed manual pages, the
# copyright and changelog, the maintainer script, md5sums and the control file.
strip --remove-section=.comment --remove-section=.note "$root/usr/bin/trivo-cp" "$root/usr/bin/trivo-cp-cli"
gzip -9n "$root/usr/share/man/man1/"*.1
doc="$root/usr/share/doc/$name"
install -d "$doc"
sed "s/@YEAR@/$(date -u -d "@$SOURCE_DATE_EPOCH" +%Y)/" packaging/deb/copyright >"$doc/copyright"
chmod 644 "$doc/copyright"
mkdir -p "$control/debian"
{
  echo "$name ($version) stable; urgency=medium"
  echo
  echo "  * Version $version."
  echo
  echo " -- $maintainer  $(date -u -R -d "@$SOURCE_DATE_EPOCH")"
} >"$control/debian/changelog"
gzip -9nc "$control/debian/changelog" >"$doc/changelog.gz"
chmod 644 "$doc/changelog.gz"
cp packaging/deb/control "$control/debian/control"
install -d "$root/DEBIAN"
install -m 755 packaging/deb/postinst "$root/DEBIAN/postinst"
(
  cd "$control"
  dpkg-shlibdeps -Tdebian/substvars "$root/usr/bin/trivo-cp" "$root/usr/bin/trivo-cp-cli"
  dpkg-gencontrol -p"$name" -P"$root" -Tdebian/substvars -fdebian/files
)
(cd "$root" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | sort -z | xargs -0 md5sum) \
  >"$root/DEBIAN/md5sums"
chmod 644 "$root/DEBIAN/md5sums" "$root/DEBIAN/control"
find "$root" -type d -exec chmod 755 {} +
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "package: built $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

echo
echo "package: lintian"
lintian --fail-on error --display-info --info "$deb"
echo "package: lintian found no error"
echo
echo "package: appstreamcli validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/"*.metainfo.xml
echo "package: desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/trivo-cp.desktop" && echo "  trivo-cp.desktop: valid"
