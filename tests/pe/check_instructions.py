#!/usr/bin/env python3
"""Checks that each deliverable of a build runs on an 80486: disassembles its code sections with
objdump and reports every instruction outside the 486's integer set and the 387's (CMOV, FCOMI,
long NOP, MMX, SSE, CPUID, ...), with the function the link map places there. The data that the
linker puts in the code section (the constructor lists, LONG in the map) is not disassembled.

    python3 tests/pe/check_instructions.py build/win32

Prints one line per deliverable (with the libgcc members it links), each finding below it, and
last "instructions: N passed, M failed"; exits non-zero when anything failed.
"""
import bisect
import os
import re
import subprocess
import sys

DELIVERABLES = ["Zenpick.exe", "lumora2.cpl", "Nudgel.exe", "Keldor.exe", "Keldhook.dll"]
TOOLS = "i686-w64-mingw32-"
PREFIXES = {"rep", "repz", "repe", "repnz", "repne", "lock", "data16", "addr16",
            "cs", "ds", "es", "fs", "gs", "ss"}
PREFIX_BYTES = {0xF0, 0xF2, 0xF3, 0x26, 0x2E, 0x36, 0x3E, 0x64, 0x65, 0x66, 0x67}
# The 486's integer instructions (its additions: BSWAP, CMPXCHG, XADD, INVD, WBINVD, INVLPG) and
# the 387's, as objdump names them in Intel syntax.
ALLOWED = set("""
    aaa aad aam aas adc add and arpl bound bsf bsr bswap bt btc btr bts call cbw cdq clc cld cli
    clts cmc cmp cmps cmpxchg cwd cwde daa das dec div enter hlt idiv imul in inc ins int int3
    into invd invlpg iret iretd jcxz jecxz jmp lahf lar lds lea leave les lfs lgdt lgs lidt lldt
    lmsw lods loop loope loopne lsl lss ltr mov movs movsx movzx mul neg nop not or out outs pop
    popa popad popf popfd push pusha pushad pushf pushfd rcl rcr ret retf rol ror sahf sal sar
    sbb scas sgdt shl shld shr shrd sidt sldt smsw stc std sti stos str sub test verr verw wait
    wbinvd xadd xchg xlat xor
    f2xm1 fabs fadd faddp fbld fbstp fchs fclex fcom fcomp fcompp fcos fdecstp fdiv fdivp fdivr
    fdivrp ffree fiadd ficom ficomp fidiv fidivr fild fimul fincstp finit fist fistp fisub fisubr
    fld fld1 fldcw fldenv fldl2e fldl2t fldlg2 fldln2 fldpi fldz fmul fmulp fnclex fninit fnop
    fnsave fnstcw fnstenv fnstsw fpatan fprem fprem1 fptan frndint frstor fsave fscale fsin
    fsincos fsqrt fst fstcw fstenv fstp fstsw fsub fsubp fsubr fsubrp ftst fucom fucomp fucompp
    fwait fxam fxch fxtract fyl2x fyl2xp1""".split()) | {
    jump + condition for jump in ("j", "set")
    for condition in "o no b ae e ne be a s ns p np l ge le g".split()}
# The second bytes of the 486's 0F opcodes: system, Jcc, SETcc, bit tests and shifts, MOVZX and
# MOVSX, CMPXCHG, XADD, BSWAP.
TWO_BYTE = set([0x00, 0x01, 0x02, 0x03, 0x06, 0x08, 0x09, 0x20, 0x21, 0x22, 0x23, 0x24, 0x26]
               + list(range(0x80, 0xA2)) + [0xA3, 0xA4, 0xA5, 0xA8, 0xA9]
               + list(range(0xAB, 0xB8)) + list(range(0xBA, 0xC2)) + list(range(0xC8, 0xD0)))
# "  401d48:\t80 3c 02 00          \tcmp    BYTE PTR [edx+eax*1],0x0"
INSTRUCTION = re.compile(r"^\s*([0-9a-f]+):\t((?:[0-9a-f]{2} )+)\s*\t(.*)$")
MAP_SECTION = re.compile(r"^ (\.text\S*)(?:\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*))?$")
MAP_PLACE = re.compile(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
MAP_SYMBOL = re.compile(r"^\s+0x([0-9a-f]+)\s{2,}([^\s=][^=]*)$")
MAP_DATA = re.compile(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(LONG|QUAD|SQUAD|SHORT|BYTE)\s")
LIBGCC = re.compile(r"libgcc\.a\(([^)]+)\)")


def not_486(raw, text):
    """Why an instruction (its bytes, objdump's Intel text) is not the 486's, or None."""
    opcode = raw.lstrip(bytes(PREFIX_BYTES))
    if opcode[:1] == b"\x0f" and opcode[1:2] and opcode[1] not in TWO_BYTE:
        return "opcode 0f %02x" % opcode[1]
    words = text.split()
    while len(words) > 1 and words[0] in PREFIXES:
        words.pop(0)
    if not words or "(bad)" in text:
        return "undecodable"
    return None if words[0] in ALLOWED else words[0]


def parse_line(line):
    """(address, bytes, text) of one objdump line, None for anything but an instruction."""
    m = INSTRUCTION.match(line)
    return m and (int(m.group(1), 16), bytes.fromhex(m.group(2)), m.group(3).strip())


def read_map(lines):
    """The named places (address, name, archive member) and the data ranges of a link map."""
    places, data, members, section = [], [], set(), None
    for line in lines:
        line = line.rstrip("\n")
        members.update(LIBGCC.findall(line))
        m = MAP_SECTION.match(line)
        if m:
            section = m.group(1)
            if not m.group(2):
                continue
            line = "  0x%s 0x%s %s" % m.group(2, 3, 4)
        d = MAP_DATA.match(line)
        p = MAP_PLACE.match(line)
        s = MAP_SYMBOL.match(line)
        if d:
            data.append((int(d.group(1), 16), int(d.group(1), 16) + int(d.group(2), 16)))
        elif p and section:
            name = section[6:] or os.path.basename(p.group(3))
            places.append((int(p.group(1), 16), 0, name, os.path.basename(p.group(3))))
        elif s and section:
            places.append((int(s.group(1), 16), 1, s.group(2).strip(), places[-1][3]))
        if not (p or s):
            section = None
    return sorted(places), data, sorted(members)


def run(tool, *args, stdin=None):
    return subprocess.run([TOOLS + tool] + list(args), input=stdin, capture_output=True, text=True,
                          check=True).stdout


def demangle(names):
    try:
        return dict(zip(names, run("c++filt", "-n", stdin="\n".join(names)).split("\n")))
    except (OSError, subprocess.CalledProcessError):
        return {}


def code_ranges(path, data):
    """[start, stop) of every code section, the map's data cut out."""
    out = run("objdump", "-h", path).splitlines()
    ranges = []
    for header, flags in zip(out, out[1:]):
        fields = header.split()
        if "CODE" in flags and len(fields) >= 4 and fields[0].isdigit():
            ranges.append((int(fields[3], 16), int(fields[3], 16) + int(fields[2], 16)))
    for low, high in sorted(data):
        ranges = [piece for start, stop in ranges
                  for piece in ((start, min(stop, low)), (max(start, high), stop))
                  if piece[0] < piece[1]]
    return ranges


def check(path):
    """The findings and the libgcc members of one deliverable."""
    with open(path + ".map", errors="replace") as f:
        places, data, members = read_map(f)
    names = demangle(sorted({name for _, _, name, _ in places}))
    findings = []
    for start, stop in code_ranges(path, data):
        out = run("objdump", "-d", "-M", "intel", "-w", "--start-address=0x%x" % start,
                  "--stop-address=0x%x" % stop, path)
        for address, raw, text in filter(None, map(parse_line, out.splitlines())):
            if not_486(raw, text):
                i = bisect.bisect_right(places, (address, 2))
                where = "%s [%s]" % (names.get(places[i - 1][2], places[i - 1][2]),
                                     places[i - 1][3]) if i else "?"
                findings.append("0x%08x %s: %s (%s)" % (address, where, text, raw.hex(" ")))
    return findings, members


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: check_instructions.py BUILD_DIR")
    passed = failed = 0
    for name in DELIVERABLES:
        try:
            findings, members = check(os.path.join(argv[1], name))
        except (OSError, subprocess.CalledProcessError) as error:
            print("%s: FAILED, cannot be read: %s" % (name, error))
            failed += 1
            continue
        print("%s: %s, libgcc: %s" % (name, "FAILED, %d not of the 486" % len(findings)
                                      if findings else "ok", ", ".join(members) or "none"))
        for finding in findings:
            print("    " + finding)
        failed += bool(findings)
        passed += not findings
    print("instructions: %d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
