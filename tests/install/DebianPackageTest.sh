#!/usr/bin/env bash
# The Debian package, built the Debian way from a copy of the source tree:
# `dpkg-buildpackage -b -us -uc` gives wakewatch_<version>_<arch>.deb with
# the libraries it needs computed by dh_shlibdeps, and lintian finds nothing
# but what debian/ justifies. As root it is then installed with apt, the
# installed /usr/bin/wakewatch docks on a private X server and writes its own
# path into the autostart entry (an end-to-end test run against it), and it
# is purged again.
#
#   DebianPackageTest.sh <source folder> <work folder> <version> <wakewatch_e2e>
set -euo pipefail

src=$(readlink -f "$1")
work=$(readlink -m "$2")
version=$3
e2e=$(readlink -f "$4")
arch=$(dpkg --print-architecture)
deb=$work/wakewatch_${version}_${arch}.deb
tree=$work/wakewatch-$version
skip=77

fail() {
  echo "package: FAIL: $*"
  exit 1
}

rm -rf "$work"
mkdir -p "$tree"
# The source without builds, the ./run folder or git's data; the package is
# built beside the copy, as dpkg-buildpackage puts its results one level up.
tar -C "$src" --exclude=./build --exclude=./.git --exclude=./.wakewatch-run \
  --exclude='./obj-*' -cf - . | tar -C "$tree" -xf -
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
fi
echo "package: dpkg-buildpackage -b -us -uc in $tree"
(cd "$tree" && dpkg-buildpackage -b -us -uc) >"$work/build.log" 2>&1 ||
  fail "dpkg-buildpackage failed:
$(tail -n 40 "$work/build.log")"
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$work")"
echo "package: built $(basename "$deb") ($(stat -c %s "$deb") bytes)"

depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* && $depends == *libx11-6* ]] ||
  fail "Depends does not name the libraries the program links: $depends"
contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for file in ./usr/bin/wakewatch ./usr/share/applications/wakewatch.desktop \
  ./usr/share/icons/hicolor/48x48/apps/wakewatch.png ./usr/share/man/man1/wakewatch.1.gz \
  ./usr/share/metainfo/wakewatch.metainfo.xml ./usr/share/doc/wakewatch/copyright; do
  grep -qxF "$file" <<<"$contents" || fail "$file is not in the package"
done
# Users' settings and autostart entries are theirs: no maintainer script
# could touch them on removal or purge.
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -E '(pre|post)(inst|rm)$' &&
  fail "the package has maintainer scripts"

lintian --fail-on error,warning --display-level '>=warning' "$deb" ||
  fail "lintian reports errors or warnings"
echo "package: lintian clean"

if [ "$(id -u)" -ne 0 ]; then
  echo "package: SKIP installing it: that needs root"
  exit "$skip"
fi
if dpkg-query -W -f='${Status}' wakewatch 2>/dev/null | grep -q 'ok installed'; then
  echo "package: SKIP installing it: a wakewatch package is installed already and stays"
  exit "$skip"
fi
trap 'apt-get purge -y -qq wakewatch >/dev/null 2>&1 || true' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" \
  >"$work/apt.log" 2>&1 || fail "apt-get install failed: $(cat "$work/apt.log")"
[ -x /usr/bin/wakewatch ] || fail "no /usr/bin/wakewatch after installing"
env -u DISPLAY /usr/bin/wakewatch --version | grep -qx "Wakewatch $version" ||
  fail "the installed program is not version $version"
echo "package: installed; the installed program on a private X server with trayer"
WW_E2E_PROGRAM=/usr/bin/wakewatch "$e2e" \
  --gtest_filter='MenuAndWindowTest.DoubleClickOpensTheWindowAndApplyWritesTheAutostartEntry' ||
  fail "the installed program did not dock or did not write Exec=/usr/bin/wakewatch"

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq wakewatch >"$work/purge.log" 2>&1 ||
  fail "apt-get purge failed: $(cat "$work/purge.log")"
[ ! -e /usr/bin/wakewatch ] || fail "/usr/bin/wakewatch is still there after the purge"
[ ! -e /usr/share/applications/wakewatch.desktop ] || fail "the menu entry outlived the purge"
echo "package: PASS"
