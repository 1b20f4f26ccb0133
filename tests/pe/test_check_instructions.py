#!/usr/bin/env python3
"""The 486 instruction check's reading of objdump lines and of a link map (plain python3)."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_instructions import not_486, parse_line, read_map  # noqa: E402

# objdump -d -M intel -w lines and what the check says of each (None: the 486 runs it).
ROWS = [
    ("   0:\t0f 44 c2             \tcmove  eax,edx", "opcode 0f 44"),
    ("   5:\tdb f1                \tfcomi  st,st(1)", "fcomi"),
    ("  13:\t66 2e 0f 1f 84 00 00 00 00 00 \tnop    WORD PTR cs:[eax+eax*1+0x0]", "opcode 0f 1f"),
    ("  1d:\t0f 6f c1             \tmovq   mm0,mm1", "opcode 0f 6f"),
    ("  23:\t66 0f ef c0          \tpxor   xmm0,xmm0", "opcode 0f ef"),
    ("  3b:\tff                   \t(bad)", "undecodable"),
    ("  40:\t0f c8                \tbswap  eax", None),
    ("  42:\tf0 0f c1 0a          \tlock xadd DWORD PTR [edx],ecx", None),
    ("  77:\tda e9                \tfucompp", None),
    ("  63:\tf3 ab                \trep stos DWORD PTR es:[edi],eax", None),
    ("  a0:\t0f b6 45 08          \tmovzx  eax,BYTE PTR [ebp+0x8]", None),
]

MAP = """\
 .text          0x00401000       0x2c libgcc.a(_chkstk_ms.o)
                0x00401000                ___chkstk_ms
 .text$_ZN12_GLOBAL__N_14DrawEv
                0x0040102c       0x20 objects.a(main.cpp.obj)
 .data$g_count  0x00402000        0x4 objects.a(main.cpp.obj)
                0x00402000                g_count
                0x0040104c        0x4 LONG 0xffffffffffffffff
"""


class ClassifierTest(unittest.TestCase):
    def test_rows(self):
        for line, expected in ROWS:
            with self.subTest(line=line):
                _, raw, text = parse_line(line)
                self.assertEqual(not_486(raw, text), expected)

    def test_map(self):
        places, data, members = read_map(MAP.splitlines())
        # Each input section of code and each symbol in it, not the data's.
        libgcc, main = "libgcc.a(_chkstk_ms.o)", "objects.a(main.cpp.obj)"
        self.assertEqual(places, [(0x401000, 0, libgcc, libgcc),
                                  (0x401000, 1, "___chkstk_ms", libgcc),
                                  (0x40102C, 0, "_ZN12_GLOBAL__N_14DrawEv", main)])
        self.assertEqual(data, [(0x40104C, 0x401050)])
        self.assertEqual(members, ["_chkstk_ms.o"])


if __name__ == "__main__":
    unittest.main()
