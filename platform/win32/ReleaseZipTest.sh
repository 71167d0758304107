#!/usr/bin/env bash
# cpack's zip of the release build holds wakewatch.exe (the built one, byte
# for byte), README.txt with Windows line ends and the licence, and nothing
# else, all at its top level.
#   ReleaseZipTest.sh <build folder> <zip> <wakewatch.exe>
set -euo pipefail
build=$1
zip=$2
exe=$3
work=$(mktemp -d /tmp/ww-zip.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "zip: FAIL: $*"
  exit 1
}

rm -f "$zip"
cpack --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$work/cpack.log")"
[ -f "$zip" ] || fail "cpack made no $zip: $(cat "$work/cpack.log")"
mkdir "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$zip")
diff <(printf '%s\n' LICENSE README.txt wakewatch.exe) <(cd "$work/zip" && find . -type f -printf '%P\n' | sort) ||
  fail "the zip's files differ from the expected ones (< expected, > in the zip)"
cmp -s "$work/zip/wakewatch.exe" "$exe" || fail "the zip's wakewatch.exe is not the built one"
[ "$(grep -c $'\r$' "$work/zip/README.txt")" -eq "$(wc -l <"$work/zip/README.txt")" ] ||
  fail "README.txt has lines without CR LF"
grep -q 'HKEY_LOCAL_MACHINE\\Software\\Wakewatch' "$work/zip/README.txt" ||
  fail "README.txt does not say where the settings go"
grep -q 'MIT License' "$work/zip/LICENSE" || fail "LICENSE is not the licence"
echo "zip: $(basename "$zip"), $(stat -c %s "$zip") bytes: LICENSE, README.txt, wakewatch.exe"
