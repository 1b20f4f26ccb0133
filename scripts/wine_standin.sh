# Sourced by setup.sh, test.sh and demo.sh: which build the Wine steps run.
#
# Wine runs the 32-bit programs only where the kernel runs 32-bit x86 code; some machines'
# kernels refuse it ("Exec format error" for any i386 program). There the Wine steps run the
# stand-in: the same sources built for x86_64 (preset win64) under 64-bit Wine, in a 64-bit
# prefix. DT_WINE_STANDIN=1 forces the stand-in on any machine; otherwise it runs exactly where
# 32-bit code cannot.
#
# Sets DT_WINE_STANDIN (0 or 1), DT_WINE_STANDIN_WHY (why the stand-in runs), DT_WINE_PRESET
# (win32 or win64) and DT_WINE (the Wine loader that starts the preset's programs).

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

if [ "${DT_WINE_STANDIN:-0}" = 1 ]; then
    DT_WINE_STANDIN_WHY="forced by DT_WINE_STANDIN=1"
elif runs_i386; then
    DT_WINE_STANDIN=0
    DT_WINE_STANDIN_WHY=""
else
    DT_WINE_STANDIN=1
    DT_WINE_STANDIN_WHY="this machine's kernel does not run 32-bit x86 programs"
fi
if [ "$DT_WINE_STANDIN" = 1 ]; then
    # Debian's `wine` starts the 32-bit loader whenever wine32 is installed: call wine64 itself.
    DT_WINE_PRESET=win64
    DT_WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
else
    DT_WINE_PRESET=win32
    DT_WINE=wine
fi
export DT_WINE_STANDIN DT_WINE_STANDIN_WHY DT_WINE_PRESET DT_WINE
