#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on a fresh Debian 12 machine.
# Safe to run again: it installs only what is missing.
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || need+=(cmake)
have git || need+=(git)
have clang-format || need+=(clang-format)
have g++ || need+=(g++)
# The fuzz targets: clang with libFuzzer and the sanitizer runtimes, which come with
# libclang-rt-dev (only a recommendation of clang's, so not installed with it here).
have clang++ || need+=(clang)
[ -f "$(clang++ -print-resource-dir 2>/dev/null)/lib/linux/libclang_rt.fuzzer-$(uname -m).a" ] ||
  need+=(libclang-rt-dev)
have llvm-symbolizer || need+=(llvm)  # function names and lines in the sanitizers' reports
have i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686)
have Xvfb || need+=(xvfb)
have xauth || need+=(xauth)  # for xvfb-run
have xdotool || need+=(xdotool)
have xdpyinfo || need+=(x11-utils)
dpkg -s imagemagick >/dev/null 2>&1 || need+=(imagemagick)
have python3 || need+=(python3)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have wine || need+=(wine)
have wineserver || need+=(wine)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
updated=0
install_needed() {
  [ ${#need[@]} -gt 0 ] || return 0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    updated=0
  fi
  # A mirror caught mid-sync fails one index or another; the install below then uses the lists
  # that did arrive, and fails by itself if a package cannot be had.
  [ "$updated" = 1 ] || $SUDO apt-get update -qq ||
    echo "setup: apt-get update reported errors; installing from the package lists it has"
  updated=1
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
}
install_needed

# The Wine that runs the Wine steps' programs (scripts/wine_standin.sh, which needs the binutils
# installed above, tells which): 32-bit Wine where the kernel runs 32-bit x86 code; elsewhere
# the 64-bit stand-in's x86_64 cross-compilers and 64-bit Wine, and no i386 package at all.
. "$(dirname "$0")/wine_standin.sh"
need=()
if [ "$DT_WINE_STANDIN" = 0 ]; then
  dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
else
  have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
  have x86_64-w64-mingw32-windres || need+=(binutils-mingw-w64-x86-64)
  [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
fi
install_needed
