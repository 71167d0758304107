#!/usr/bin/env bash
# `cmake --install` of a build into a temporary DESTDIR with the prefix /usr:
# exactly the expected files; the menu entry, AppStream data and manual page
# pass their validators; the icons have their sizes and only the tray
# picture's colours (nothing smoothed); the installed program answers
# --help and --version with no display at all.
#
#   InstallTreeTest.sh <build folder> <project version>
set -euo pipefail

build=$1
version=$2
work=$(mktemp -d /tmp/ww-install.XXXXXX)
trap 'rm -rf "$work"' EXIT
root=$work/root
sizes=(16 22 24 32 48 64 128 256)

fail() {
  echo "install: FAIL: $*"
  exit 1
}

DESTDIR=$root cmake --install "$build" --prefix /usr >"$work/install.log" ||
  fail "cmake --install failed: $(cat "$work/install.log")"

expected=(
  usr/bin/wakewatch
  usr/share/applications/wakewatch.desktop
  usr/share/icons/hicolor/scalable/apps/wakewatch.svg
  usr/share/man/man1/wakewatch.1
  usr/share/metainfo/wakewatch.metainfo.xml
)
for size in "${sizes[@]}"; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/wakewatch.png")
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . -type f -printf '%P\n' | sort) ||
  fail "the installed files differ from the expected ones (< expected, > installed)"
[ -x "$root/usr/bin/wakewatch" ] || fail "usr/bin/wakewatch is not executable"
echo "install: $(printf '%s\n' "${expected[@]}" | wc -l) files in place"

share=$root/usr/share
desktop-file-validate "$share/applications/wakewatch.desktop" || fail "desktop-file-validate"
grep -qx 'Exec=wakewatch' "$share/applications/wakewatch.desktop" ||
  fail "the menu entry does not start wakewatch from the PATH"
appstreamcli validate --no-net "$share/metainfo/wakewatch.metainfo.xml" || fail "appstreamcli validate"
grep -qF "<release version=\"$version\"" "$share/metainfo/wakewatch.metainfo.xml" ||
  fail "the AppStream release is not $version"
mandoc -T lint "$share/man/man1/wakewatch.1" || fail "mandoc -T lint"
xmllint --noout "$share/icons/hicolor/scalable/apps/wakewatch.svg" || fail "the SVG is not well-formed"

# The tray picture's colours, transparent included, at every size: a
# smoothed enlargement would mix new ones in.
colours16=
for size in "${sizes[@]}"; do
  png=$share/icons/hicolor/${size}x${size}/apps/wakewatch.png
  read -r width height colours <<<"$(identify -format '%w %h %k' "$png")"
  [ "$width x $height" = "$size x $size" ] || fail "$png is $width x $height"
  colours16=${colours16:-$colours}
  [ "$colours" = "$colours16" ] || fail "$png has $colours colours, the 16-pixel icon $colours16"
  # Enlarged by the largest whole factor: the drawing fills at least half.
  drawn=$(convert "$png" -trim -format '%w' info:)
  [ $((drawn * 2)) -ge "$size" ] || fail "$png: the drawing is only $drawn pixels wide"
done
echo "install: icons at ${sizes[*]} pixels, $colours16 colours each"

# GNU's informational options, answered before any display or instance check.
program=$root/usr/bin/wakewatch
env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version >"$work/version" ||
  fail "--version ended with $?"
[ "$(head -n1 "$work/version")" = "Wakewatch $version" ] ||
  fail "--version printed: $(cat "$work/version")"
env -u DISPLAY -u WAYLAND_DISPLAY "$program" -POPUP --help >"$work/help" ||
  fail "--help ended with $?"
grep -q '^Usage: wakewatch ' "$work/help" || fail "--help printed: $(cat "$work/help")"
grep -q -- '-POPUP' "$work/help" || fail "--help does not name -POPUP"
# Anything else still needs the display.
if env -u DISPLAY -u WAYLAND_DISPLAY "$program" -POPUP >/dev/null 2>&1; then
  fail "without a display the program did not refuse to start"
fi
echo "install: --help and --version answer without a display"
echo "install: PASS"
