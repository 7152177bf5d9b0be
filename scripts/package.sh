#!/usr/bin/env bash
# Builds Vistrel (Release) and makes its Debian package with CPack, then shows
# the package's control data and contents and checks that the files a desktop
# needs are in it. Prints the package's path last.
#   scripts/package.sh [--try-install]
# --try-install (root or sudo): installs the package with apt-get, runs
# `vistrel --version` from /usr/bin and removes the package again.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/deps.sh"
vistrel_install_deps

build="$root/build-package"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_TESTING=OFF -DVISTREL_BUILD_BENCH=OFF -DVISTREL_SANITIZE=OFF
cmake --build "$build" --target vistrel -j"$(nproc)"
(cd "$build" && rm -f vistrel_*.deb && cpack -G DEB)
deb=$(ls "$build"/vistrel_*.deb)

echo "== dpkg-deb -I"
dpkg-deb -I "$deb"
echo "== dpkg-deb -c"
contents=$(dpkg-deb -c "$deb")
echo "$contents"

fail() { echo "FAIL: $*" >&2; exit 1; }
id=example.vistrel.Vistrel
for file in ./usr/bin/vistrel ./usr/share/applications/$id.desktop \
            ./usr/share/metainfo/$id.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/$id.svg \
            ./usr/share/icons/hicolor/48x48/apps/$id.png; do
    grep -q " $file\$" <<<"$contents" || fail "$file is not in the package"
done
control=$(dpkg-deb -f "$deb" Maintainer Section Depends)
grep -q '^Maintainer: Corvantis <maintainers@vistrel.example>$' <<<"$control" || fail "maintainer"
grep -q '^Section: graphics$' <<<"$control" || fail "section"
for dep in libqt6widgets6 libfreeimage3 qt6-qpa-plugins; do
    grep -q "$dep" <<<"$control" || fail "the package does not depend on $dep"
done

if [ "${1:-}" = "--try-install" ]; then
    sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "$deb"
    version=$(/usr/bin/vistrel --version)
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove -y -qq vistrel
    echo "installed and ran: $version (removed again)"
fi
echo "$deb"
