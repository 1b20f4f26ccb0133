#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on a fresh Debian 12 machine.
# Safe to run again: it installs only what is missing. apt-get, aptitude and dpkg are called by
# name from PATH (tests/setup/test_setup.py puts stand-ins for them first).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

have() { command -v "$1" >/dev/null 2>&1; }
base_needs() {
  need=()
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
  return 0
}

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
apt_get() { $SUDO env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }
updated=0
update_once() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    updated=0
  fi
  # A mirror caught mid-sync fails one index or another; the installs then use the lists that
  # did arrive, and fail by themselves if a package cannot be had.
  [ "$updated" = 1 ] || apt_get update -qq ||
    echo "setup: apt-get update reported errors; installing from the package lists it has"
  updated=1
}
install_needed() {
  [ ${#need[@]} -gt 0 ] || return 0
  update_once
  apt_get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
}
base_needs
install_needed

# The 32-bit Wine, wine32:i386, with libxrandr2:i386, which it recommends: without it the 32-bit
# Wine offers the plain screen's depths only. apt-get first. A mirror out of step (the i386 index
# of one suite missing, the amd64 libraries already installed at versions that no i386 package
# left matches) leaves apt-get's resolver, which takes each package's candidate version only,
# without a way; aptitude's resolver also takes other versions of the amd64 libraries, or their
# i386 builds. Told to count removals first and never to settle by leaving wine32 out, it finds
# the way there is; its -y takes the first solution found. Returns non-zero, with apt-get's last
# error line in the file DT_WINE32_NOTE, when neither installed it.
wine32=(wine32:i386 libxrandr2:i386)
install_wine32() {
  local out err
  rm -f "$DT_WINE32_NOTE"
  update_once
  if out=$(apt_get install -y -qq --no-install-recommends "${wine32[@]}" 2>&1) &&
     dpkg -s "${wine32[@]}" >/dev/null 2>&1; then
    echo "setup: wine32:i386 installed with apt-get"
    return 0
  fi
  err=$(printf '%s\n' "$out" | grep '^E: ' | tail -n 1 || true)
  [ -n "$err" ] || err=$(printf '%s\n' "$out" | tail -n 1)
  echo "setup: apt-get could not install wine32:i386 ($err); asking aptitude's resolver"
  if { have aptitude || apt_get install -y -qq --no-install-recommends aptitude >/dev/null 2>&1; } &&
     $SUDO env DEBIAN_FRONTEND=noninteractive aptitude -y -q --without-recommends \
       -o Aptitude::Delete-Unused=false \
       -o 'Aptitude::ProblemResolver::SolutionCost=removals, safety, priority' \
       -o 'Aptitude::ProblemResolver::Hints::=discard ?exact-name(wine32)?architecture(i386) :UNINST' \
       install "${wine32[@]}" </dev/null >/dev/null 2>&1 &&
     dpkg -s "${wine32[@]}" >/dev/null 2>&1; then
    echo "setup: wine32:i386 installed with aptitude's resolver"
    return 0
  fi
  mkdir -p "$(dirname "$DT_WINE32_NOTE")"
  printf '%s\n' "$err" >"$DT_WINE32_NOTE"
  echo "setup: wine32:i386 could not be installed, by apt-get ($err) nor by aptitude;" \
       "the Wine steps run the x86_64 stand-in"
  return 1
}

# The Wine that runs the Wine steps' programs (scripts/wine_standin.sh, which needs the binutils
# installed above, tells which): 32-bit Wine where the kernel runs 32-bit x86 code and wine32 can
# be had; elsewhere the 64-bit stand-in's x86_64 cross-compilers and 64-bit Wine.
forced=${DT_WINE_STANDIN:-0}
. "$here/wine_standin.sh"
if [ "$forced" != 1 ] && runs_i386 && ! dpkg -s "${wine32[@]}" >/dev/null 2>&1; then
  if install_wine32; then
    # aptitude's way may have taken a tool above with it, or moved it to its i386 build
    base_needs
    install_needed
  fi
fi
DT_WINE_STANDIN=$forced
. "$here/wine_standin.sh"
if [ "$DT_WINE_STANDIN" = 1 ]; then
  need=()
  have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
  have x86_64-w64-mingw32-windres || need+=(binutils-mingw-w64-x86-64)
  [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
  install_needed
fi
