# Sourced by setup.sh, test.sh, demo.sh and soak.sh: which programs the Wine steps run.
#
# The 32-bit deliverables under 32-bit Wine wherever they can run: the kernel runs 32-bit x86
# code (some machines' kernels refuse it, "Exec format error" for any i386 program) and
# wine32:i386 is installed (scripts/setup.sh installs it; a mirror out of step can leave it
# uninstallable). Elsewhere the stand-in: the same sources built for x86_64 (preset win64) under
# 64-bit Wine, in a 64-bit prefix. DT_WINE_STANDIN=1 forces the stand-in on any machine.
#
# Sets DT_WINE_STANDIN (0 or 1), DT_WINE_STANDIN_WHY (why the stand-in runs), DT_WINE_PRESET
# (win32 or win64), DT_WINE (the Wine loader that starts the preset's programs) and DT_WINE_RUNS
# (one line that says which programs the Wine steps run, and why).

# Where setup.sh leaves apt-get's last error line when wine32:i386 could not be installed.
DT_WINE32_NOTE="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wine32-not-installed.txt"

runs_i386() {
    local dir rc
    dir=$(mktemp -d)
    printf '.globl _start\n_start:\n movl $1, %%eax\n movl $42, %%ebx\n int $0x80\n' >"$dir/p.s"
    if as --32 "$dir/p.s" -o "$dir/p.o" 2>/dev/null && ld -m elf_i386 "$dir/p.o" -o "$dir/p" 2>/dev/null; then
        "$dir/p" 2>/dev/null
        rc=$?
    else
        rc=1
    fi
    rm -rf "$dir"
    [ "$rc" -eq 42 ]
}

DT_WINE_STANDIN_WHY=""
if [ "${DT_WINE_STANDIN:-0}" = 1 ]; then
    DT_WINE_STANDIN_WHY="forced by DT_WINE_STANDIN=1"
elif ! runs_i386; then
    DT_WINE_STANDIN_WHY="this machine's kernel does not run 32-bit x86 programs"
elif ! dpkg -s wine32:i386 >/dev/null 2>&1; then
    if [ -s "$DT_WINE32_NOTE" ]; then
        DT_WINE_STANDIN_WHY="wine32:i386 could not be installed ($(head -n 1 "$DT_WINE32_NOTE"))"
    else
        DT_WINE_STANDIN_WHY="wine32:i386 is not installed (scripts/setup.sh installs it)"
    fi
fi
if [ -n "$DT_WINE_STANDIN_WHY" ]; then
    # Debian's `wine` starts the 32-bit loader whenever wine32 is installed: call wine64 itself.
    DT_WINE_STANDIN=1
    DT_WINE_PRESET=win64
    DT_WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
    DT_WINE_RUNS="Wine steps: the x86_64 stand-in under wine64, not the 32-bit deliverables ($DT_WINE_STANDIN_WHY)"
else
    DT_WINE_STANDIN=0
    DT_WINE_PRESET=win32
    DT_WINE=wine
    DT_WINE_RUNS="Wine steps: the 32-bit deliverables under wine32"
fi
export DT_WINE_STANDIN DT_WINE_STANDIN_WHY DT_WINE_PRESET DT_WINE DT_WINE_RUNS
