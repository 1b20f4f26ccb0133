#!/usr/bin/env bash
# Runs every test: the unit tests natively (sanitizers on), the same unit tests cross-compiled
# and run under Wine, and the end-to-end tests of the real programs under Wine in Xvfb.
# Installs what it needs first. Exits non-zero when anything fails.
set -uo pipefail
cd "$(dirname "$0")/.."

start=$SECONDS
bash scripts/setup.sh || exit 1
echo "setup: $((SECONDS - start)) s"
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

step "build: native and win32"
if ! { cmake --preset native >/dev/null && cmake --build --preset native -j"$jobs" &&
       cmake --preset win32 >/dev/null && cmake --build --preset win32 -j"$jobs"; }; then
    echo "build failed"
    exit 1
fi

# The 32-bit deliverables as built: their import tables, versions and static constructors, and
# their resources, against the lists and tables kept in the repository.
for check in imports resources; do
    step "deliverables as built: $check"
    python3 "tests/pe/check_$check.py" build/win32 2>&1 | tee "$log/$check.txt"
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    ok=$(sed -nE "s/^$check: ([0-9]+) passed, ([0-9]+) failed$/\1/p" "$log/$check.txt")
    bad=$(sed -nE "s/^$check: ([0-9]+) passed, ([0-9]+) failed$/\2/p" "$log/$check.txt")
    count "${ok:-0}" "${bad:-1}"
done

step "unit tests, native (AddressSanitizer, UndefinedBehaviorSanitizer)"
ctest --preset native 2>&1 | tee "$log/native.txt"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log/native.txt")
total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed.*/\1/')
count $((${total:-0} - ${bad:-0})) "${bad:-1}"

# Wine runs the 32-bit programs only where the kernel runs 32-bit x86 code; some machines'
# kernels refuse it ("Exec format error"). There the Wine steps cannot run at all: they are
# reported as skipped, loudly, and the build above has still cross-compiled everything.
runs_i386() {
    local dir rc
    dir=$(mktemp -d)
    printf '.globl _start\n_start:\n movl $1, %%eax\n movl $42, %%ebx\n int $0x80\n' >"$dir/p.s"
    as --32 "$dir/p.s" -o "$dir/p.o" && ld -m elf_i386 "$dir/p.o" -o "$dir/p" && "$dir/p" 2>/dev/null
    rc=$?
    rm -rf "$dir"
    [ "$rc" -eq 42 ]
}
if ! runs_i386; then
    echo
    echo "== SKIPPED: unit tests under Wine and end-to-end tests: this machine's kernel does not"
    echo "   run 32-bit x86 programs, so Wine cannot start. Run scripts/test.sh on a machine"
    echo "   that does (Debian 12 on x86-64 normally does) to run them."
    echo
    echo "total time: $((SECONDS - start)) s"
    [ "$status" -eq 0 ] || [ "$failed" -gt 0 ] || failed=1
    echo "all: $passed passed, $failed failed, Wine steps skipped"
    exit "$status"
fi

step "unit tests, win32 under Wine (in Xvfb, for the window port)"
export WINEPREFIX="$log/wine-unit" WINEARCH=win32 WINEDEBUG=-all HOME="$log/home"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" wine build/win32/tests/unit_tests.exe 2>&1 | tr -d '\r' | tee "$log/wine.txt"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
ok=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$log/wine.txt")
bad=$(sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?, listed below.*/\1/p' "$log/wine.txt")
[ -n "$ok$bad" ] || bad=1
count "${ok:-0}" "${bad:-0}"
wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
unset WINEPREFIX

step "end-to-end tests under Wine in Xvfb"
python3 tests/wine/run_e2e.py 2>&1 | tee "$log/e2e.txt"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
ok=$(sed -nE 's/^e2e: ([0-9]+) passed, ([0-9]+) failed$/\1/p' "$log/e2e.txt")
bad=$(sed -nE 's/^e2e: ([0-9]+) passed, ([0-9]+) failed$/\2/p' "$log/e2e.txt")
count "${ok:-0}" "${bad:-1}"

echo
echo "total time: $((SECONDS - start)) s"
[ "$status" -eq 0 ] || [ "$failed" -gt 0 ] || failed=1
echo "all: $passed passed, $failed failed"
exit "$status"
