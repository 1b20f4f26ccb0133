#!/usr/bin/env python3
"""Checks what each deliverable of a build links against: its import table against the list kept
beside its sources (one DLL!Function a line, sorted), every listed function against the exports
of Windows NT 4.0 SP6a (nt4-exports.txt), the OS and subsystem versions (4.0), and, from the link
map, that no static constructor was linked in (no C runtime would run it).

    python3 tests/pe/check_imports.py build/win32

Prints one line per deliverable and check, each difference below it, and last
"imports: N passed, M failed"; exits non-zero when anything failed.
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from peread import PE, PEError  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
DELIVERABLES = [
    ("Zenpick.exe", "tray/Zenpick.imports"),
    ("lumora2.cpl", "applet/lumora2.imports"),
    ("Nudgel.exe", "reminder/Nudgel.imports"),
    ("Keldor.exe", "aligncontrol/Keldor.imports"),
    ("Keldhook.dll", "alignhook/Keldhook.imports"),
]
# An input section of static constructors in a link map: ".ctors  0x... 0x... file.o".
CONSTRUCTOR_SECTION = re.compile(r"^\s*\.(ctors|init_array)(\.\S*)?\s+0x[0-9a-f]+\s+0x[0-9a-f]+\s+(\S+)")


def read_list(path):
    with open(path) as f:
        return [line.strip() for line in f if line.strip() and not line.startswith("#")]


def check_imports(pe, listed, nt4):
    problems = ["missing from the binary: " + name for name in sorted(set(listed) - set(pe.imports))]
    problems += ["not in the list: " + name for name in sorted(set(pe.imports) - set(listed))]
    if listed != sorted(listed):
        problems.append("the list is not sorted")
    problems += ["not exported by Windows NT 4.0: " + name for name in listed if name not in nt4]
    return problems


def check_versions(pe):
    problems = []
    if pe.os_version != (4, 0):
        problems.append("OS version %d.%d" % pe.os_version)
    if pe.subsystem_version != (4, 0):
        problems.append("subsystem version %d.%d" % pe.subsystem_version)
    return problems


def static_constructors(map_path):
    with open(map_path, errors="replace") as f:
        return ["static constructors from " + m.group(3)
                for m in map(CONSTRUCTOR_SECTION.match, f) if m and m.group(3) != "LONG"]


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: check_imports.py BUILD_DIR")
    nt4 = set(read_list(os.path.join(HERE, "nt4-exports.txt")))
    passed = failed = 0
    for name, list_path in DELIVERABLES:
        path = os.path.join(argv[1], name)
        try:
            pe = PE(path)
            listed = read_list(os.path.join(ROOT, list_path))
        except (OSError, PEError, ValueError) as error:
            print("%s: FAILED, cannot be read: %s" % (name, error))
            failed += 1
            continue
        checks = [("imports", check_imports(pe, listed, nt4)),
                  ("versions", check_versions(pe))]
        map_path = path + ".map"
        checks.append(("constructors", static_constructors(map_path) if os.path.exists(map_path)
                       else ["no link map " + map_path]))
        for check, problems in checks:
            print("%s %s: %s" % (name, check, "FAILED" if problems else "ok"))
            for problem in problems:
                print("    " + problem)
            failed += bool(problems)
            passed += not problems
    print("imports: %d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
