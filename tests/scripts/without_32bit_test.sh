#!/usr/bin/env bash
# What the 32-bit stages do on a machine that runs no 32-bit program,
# tried on this one with KVT_ASSUME_NO_32BIT=1: the probe answers no and
# keeps no answer; the 32-bit Wine loader is refused while the 64-bit one
# is still named; and a linux-x86 or windows-x86 build, configured there,
# lists each suite as one test instead of running its programs to discover
# them. Without the variable the build does what the probe answers.
# tests/scripts/without_32bit_test.sh SOURCE_DIR WORK_DIR
set -uo pipefail
src=${1:?usage: without_32bit_test.sh SOURCE_DIR WORK_DIR}
work=${2:?usage: without_32bit_test.sh SOURCE_DIR WORK_DIR}
rm -rf "$work" && mkdir -p "$work"
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
expect_in() { grep -q -- "$2" "$1" || fail "$1 lacks \"$2\""; }
expect_not_in() { ! grep -q -- "$2" "$1" || fail "$1 has \"$2\""; }

KVT_ASSUME_NO_32BIT=1 "$src/scripts/can-run-32bit" "$work/probe" >"$work/probe.txt" && fail "the probe answered yes"
expect_in "$work/probe.txt" "^no: "
[ -e "$work/probe/can-run-32bit.txt" ] && fail "the assumed answer was kept"

KVT_ASSUME_NO_32BIT=1 "$src/scripts/wine-loader" 32 "$work/probe" 2>"$work/wine32.txt" && fail "a 32-bit Wine loader was named"
expect_in "$work/wine32.txt" "cannot run 32-bit programs"
if "$src/scripts/wine-loader" 64 >/dev/null 2>&1; then
  KVT_ASSUME_NO_32BIT=1 "$src/scripts/wine-loader" 64 >"$work/wine64.txt" || fail "the 64-bit Wine loader was refused"
  expect_in "$work/wine64.txt" "wine64$"
fi

# Configures PRESET into work/NAME; the build's files are then read.
configure() {
  local preset=$1 name=$2
  shift 2
  (cd "$src" && env "$@" cmake --preset "$preset" -B "$work/$name" >"$work/$name.txt" 2>&1) ||
    { fail "configuring $preset failed (see $work/$name.txt)"; return 1; }
}
if [ -x "$(command -v g++)" ] && echo 'int main(){}' | g++ -m32 -x c++ - -o "$work/m32" 2>/dev/null; then
  if configure linux-x86 x86-no KVT_ASSUME_NO_32BIT=1; then
    expect_in "$work/x86-no.txt" "Built, not run: no: "
    expect_in "$work/x86-no/tests/CTestTestfile.cmake" 'add_test(\[=\[mill\]=\]'
    expect_not_in "$work/x86-no/build.ninja" GoogleTestAddTests
  fi
  if configure linux-x86 x86-asked; then
    if "$src/scripts/can-run-32bit" "$work/x86-asked" >/dev/null; then
      expect_in "$work/x86-asked/build.ninja" GoogleTestAddTests
    else
      expect_not_in "$work/x86-asked/build.ninja" GoogleTestAddTests
    fi
  fi
else
  echo "linux-x86: not configured: g++ -m32 builds nothing here" >&2
fi
if command -v i686-w64-mingw32-g++-posix >/dev/null; then
  if configure windows-x86 win32-no KVT_ASSUME_NO_32BIT=1; then
    expect_in "$work/win32-no.txt" "Built, not run: this machine cannot run 32-bit programs"
    expect_not_in "$work/win32-no/tests/CTestTestfile.cmake" "wine"
  fi
else
  echo "windows-x86: not configured: mingw-w64 is missing" >&2
fi
[ $failed -eq 0 ] && rm -rf "$work"
exit $failed
