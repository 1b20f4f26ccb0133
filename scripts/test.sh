#!/usr/bin/env bash
# Runs every test: the unit tests natively (sanitizers on), the fuzz targets for a few seconds
# each, the same unit tests cross-compiled and run under Wine, and the end-to-end tests of the
# real programs under Wine in Xvfb, the release archive's install and removal among them. Builds
# the release archive twice, from two build folders, and checks that both are the same.
# Installs what it needs first. Exits non-zero when anything fails.
set -uo pipefail
cd "$(dirname "$0")/.."

start=$SECONDS
bash scripts/setup.sh || exit 1
echo "setup: $((SECONDS - start)) s"
. scripts/wine_standin.sh  # the Wine steps' build: win32, or the win64 stand-in
echo "$DT_WINE_RUNS"
jobs=$(nproc 2>/dev/null || echo 2)
log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT
passed=0
failed=0
status=0

step() {
    echo
    echo "== $* (at $((SECONDS - start)) s)"
}
count() {  # count PASSED FAILED
    passed=$((passed + ${1:-0}))
    failed=$((failed + ${2:-0}))
}

step "format"
if ! git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format --dry-run --Werror; then
    echo "format: files differ from .clang-format (run clang-format -i)"
    status=1
fi

# setup.sh's own choices, against stand-ins for apt-get, aptitude and dpkg: installs nothing.
step "set-up's choices of Wine"
if python3 tests/setup/test_setup.py; then count 1 0; else count 0 1; status=1; fi

step "build: native and win32, and the release archive"
if ! { cmake --preset native >/dev/null && cmake --build --preset native -j"$jobs" &&
       cmake --preset win32 >/dev/null && cmake --build --preset win32 -j"$jobs" &&
       cmake --build --preset win32 --target package &&
       { [ "$DT_WINE_STANDIN" = 0 ] ||
         { cmake --preset win64 >/dev/null && cmake --build --preset win64 -j"$jobs"; }; }; }; then
    echo "build failed"
    exit 1
fi

# The 32-bit deliverables as built: their import tables, versions and static constructors, and
# their resources, against the lists and tables kept in the repository, and their code, every
# instruction of which an 80486 runs. A check's own unit test, where it has one, runs (and counts
# once) in the same step.
for check in imports resources instructions; do
    step "deliverables as built: $check"
    python3 "tests/pe/check_$check.py" build/win32 2>&1 | tee "$log/$check.txt"
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    ok=$(sed -nE "s/^$check: ([0-9]+) passed, ([0-9]+) failed$/\1/p" "$log/$check.txt")
    bad=$(sed -nE "s/^$check: ([0-9]+) passed, ([0-9]+) failed$/\2/p" "$log/$check.txt")
    count "${ok:-0}" "${bad:-1}"
    if [ -f "tests/pe/test_check_$check.py" ]; then
        if python3 "tests/pe/test_check_$check.py"; then count 1 0; else count 0 1; status=1; fi
    fi
done

# The release archive once more, from the same sources in a second build folder: it must be
# the same bytes (no link times in the programs; entries in order, with fixed times).
step "release archive: a second build gives the same bytes"
name=$(sed -nE 's/^set\(CPACK_PACKAGE_FILE_NAME "(.*)"\)$/\1/p' build/win32/CPackConfig.cmake)
again="$log/release-again"
if cmake --preset win32 -B "$again" -DDT_DIST_DIR="$again/dist" \
         -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null &&
   cmake --build "$again" -j"$jobs" --target Zenpick Nudgel Keldor Keldhook lumora2 >/dev/null &&
   (cd "$again" && cpack >/dev/null) && cmp "dist/$name.zip" "$again/dist/$name.zip"; then
    echo "release: dist/$name.zip, $(stat -c %s "dist/$name.zip") bytes," \
         "sha256 $(sha256sum <"dist/$name.zip" | cut -d' ' -f1), the same from both builds"
    count 1 0
else
    echo "release: the second build's archive is missing or differs from dist/$name.zip"
    count 0 1
    status=1
fi

step "unit tests, native (AddressSanitizer, UndefinedBehaviorSanitizer)"
ctest --preset native 2>&1 | tee "$log/native.txt"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log/native.txt")
total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed.*/\1/')
count $((${total:-0} - ${bad:-0})) "${bad:-1}"

# Every reader of outside data under libFuzzer for a few seconds each (scripts/fuzz.sh builds
# the fuzz preset), from the seeds alone: what longer runs found under build/fuzz/ can take
# longer than that to load. One line per target; a crash counts as a failure.
step "fuzz targets, 5 s each (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)"
DT_FUZZ_CORPUS="$log/fuzz-corpus" bash scripts/fuzz.sh 5 2>&1 | tee "$log/fuzz.txt"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
ok=$(sed -nE 's/^fuzz: ([0-9]+) passed, ([0-9]+) failed$/\1/p' "$log/fuzz.txt")
bad=$(sed -nE 's/^fuzz: ([0-9]+) passed, ([0-9]+) failed$/\2/p' "$log/fuzz.txt")
count "${ok:-0}" "${bad:-1}"

# Wine runs the 32-bit programs only where the kernel runs 32-bit x86 code. Where it does not
# (or with DT_WINE_STANDIN=1) the Wine steps run the x86_64 build under 64-bit Wine instead:
# the same logic through the same Win32 calls, but not the 32-bit programs and their layouts.
export DT_WINE_BUILD="build/$DT_WINE_PRESET"
standin=""
if [ "$DT_WINE_STANDIN" = 1 ]; then
    standin=" (STAND-IN: 64-bit build under wine64)"
    echo
    echo "== STAND-IN: 64-bit build under wine64 ($DT_WINE_STANDIN_WHY)"
    echo "   The unit tests under Wine and the end-to-end tests run the x86_64 programs of"
    echo "   $DT_WINE_BUILD in a 64-bit prefix. The 32-bit deliverables were built above but do not"
    echo "   run here: run scripts/test.sh on a machine that runs 32-bit x86 code for the real run."
fi

# Runs in Xvfb: makes the prefix, has it report Windows NT 4.0, checks that, runs the tests.
wine_unit() {
    local seen
    if ! { "$DT_WINE" wineboot -i && "$DT_WINE" reg add 'HKCU\Software\Wine' /v Version /d nt40 /f; } \
        >/dev/null 2>&1; then
        echo "wine: the prefix could not be made"
        return 1
    fi
    seen=$("$DT_WINE" "$DT_WINE_BUILD/e2e/probe.exe" version 2>/dev/null | tr -d '\r')
    if [ "$seen" != "4.0.1381 2 Service Pack 6a" ]; then
        echo "wine: the prefix reports '$seen', not Windows NT 4.0 (4.0.1381 2 Service Pack 6a)"
        return 1
    fi
    echo "prefix: $WINEARCH, GetVersionExA reports $seen"
    "$DT_WINE" "$DT_WINE_BUILD/tests/unit_tests.exe"
}

step "unit tests, $DT_WINE_PRESET under Wine (in Xvfb, for the window port)$standin"
export WINEPREFIX="$log/wine-unit" WINEARCH=$DT_WINE_PRESET WINEDEBUG=-all HOME="$log/home"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
[ "$DT_WINE_STANDIN" = 0 ] || export WINELOADER="$DT_WINE"
mkdir -p "$HOME"
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c "$(declare -f wine_unit); wine_unit" 2>&1 | tr -d '\r' | tee "$log/wine.txt"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
ok=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$log/wine.txt")
bad=$(sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?, listed below.*/\1/p' "$log/wine.txt")
[ -n "$ok$bad" ] || bad=1
count "${ok:-0}" "${bad:-0}"
wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
unset WINEPREFIX WINELOADER

step "end-to-end tests under Wine in Xvfb$standin"
DT_WIN32_BUILD="$PWD/$DT_WINE_BUILD" python3 tests/wine/run_e2e.py 2>&1 | tee "$log/e2e.txt"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
ok=$(sed -nE 's/^e2e: ([0-9]+) passed, ([0-9]+) failed$/\1/p' "$log/e2e.txt")
bad=$(sed -nE 's/^e2e: ([0-9]+) passed, ([0-9]+) failed$/\2/p' "$log/e2e.txt")
count "${ok:-0}" "${bad:-1}"

echo
echo "total time: $((SECONDS - start)) s"
[ "$status" -eq 0 ] || [ "$failed" -gt 0 ] || failed=1
echo "$DT_WINE_RUNS"
echo "all: $passed passed, $failed failed"
exit "$status"
