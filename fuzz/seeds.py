#!/usr/bin/env python3
"""Writes the fuzz targets' seed inputs into fuzz/corpus/<target>/: a handful of small files
each, in the input layout that the header of fuzz/<target>.cpp describes. Each seed is a case
worth starting from (a usual board, a wrong type, a value at a buffer's edge, an extreme word),
named for it. The fuzzing itself never writes here.

    python3 fuzz/seeds.py
"""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
TYPES = {"none": 0, "sz": 1, "expand": 2, "binary": 3, "dword": 4, "multi": 5}
SERVICES = "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\"


def value(kind, data, length=None):
    """A registry value: [type][length: 2][given: 2][given bytes], repeated up to the length."""
    return bytes([TYPES[kind]]) + struct.pack("<HH", len(data) if length is None else length,
                                              len(data)) + data


def text(s, terminated=True):
    return value("sz", s.encode("latin-1") + (b"\0" if terminated else b""))


def words(*values):
    return b"".join(struct.pack("<I", v & 0xFFFFFFFF) for v in values)


def present(v):
    return b"\1" + v


ABSENT = b"\0" + value("none", b"")


def put(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def device_map():
    # [Video0][Video1][keys][extra service]
    lumora = text(SERVICES + "lumora\\Device0")
    put("device_map", "one_adapter", present(lumora) + ABSENT + b"\x03\0")
    put("device_map", "two_adapters",
        present(lumora) + present(text(SERVICES + "lumora\\Device1")) + b"\x0b\0")
    put("device_map", "two_heads",
        present(text("\\REGISTRY\\Machine\\System\\ControlSet002\\Services\\lumora\\Device0"))
        + ABSENT + b"\x0b\0")
    put("device_map", "upper_case_other_service",
        present(text(SERVICES + "LUMORA\\Device0")) + present(text(SERVICES + "vga\\Device0"))
        + b"\x0c" + bytes([7]) + b"lumoraX")
    put("device_map", "unterminated_full_buffer",
        present(value("sz", (SERVICES + "lumora\\Device0").encode().ljust(256, b"x")))
        + present(value("binary", b"lumora".ljust(128, b"\0"))) + b"\x0f\0")
    put("device_map", "expand_sz_64k",
        present(value("expand", (SERVICES + "lumora\\Device0\0").encode(), 0xFFFF))
        + present(value("dword", words(1))) + b"\x8b\0")


def registry_readers():
    # [board] then the slots: Primary.SelectedMonitor, Secondary.SelectedMonitor,
    # Primary.IsLeft, AvailableTVSet, SelectedTVSet, Primary.BoardID, the second key's two names,
    # OrvelIsInstalled, TwinControlFlag; then dialog commands.
    def slots(*values):
        return b"".join(ABSENT if v is None else present(v) for v in values)

    put("registry_readers", "chosen_single", bytes([0x04]) + slots(
        text("31kHz VGA"), None, value("dword", words(1)), value("binary", words(3)),
        value("binary", words(1)), value("binary", words(0x0102A0B0)), None, None,
        value("dword", words(2)), value("dword", words(3))) + bytes([6, 4, 7]))
    put("registry_readers", "placeholder_two_adapters", bytes([0x1d]) + slots(
        text("Standard 000"), text("Generic 640x480"), value("dword", words(0)),
        value("binary", words(1)), None, value("binary", words(5)), text("x000"), None,
        value("dword", words(0)), value("binary", words(1))) + bytes([4, 0, 6]))
    put("registry_readers", "wrong_types", bytes([0x16]) + slots(
        value("binary", b"31kHz VGA\0"), text("Generic", False), value("binary", words(1)),
        value("dword", words(3)), value("sz", b"\1\0\0\0"), value("dword", words(1)), None, None,
        value("binary", words(1)), text("3")) + bytes([0, 5, 7]))
    put("registry_readers", "long_names", bytes([0x14]) + slots(
        value("sz", b"M" * 70, 6000), value("sz", b"N" * 63 + b"\0"), value("dword", words(2)),
        value("binary", words(0xFFFFFFFF)), value("binary", words(3)), value("binary", b"\1\2\3"),
        None, None, value("dword", words(0xFFFFFFFF)), value("dword", b"\7\0\0\0\0"))
        + bytes([1, 6, 2]))


def timing_database():
    # [flags][model: length, bytes][file]
    database = (
        b"[MONITOR]\nGeneric 640x480=1\n31kHz VGA=1\nOrvel 17 single=1\nOrvel 21 SINGLE=1\n"
        b"Orvel 19 Single=1\n[31kHz VGA]\nX_SIZE=320\nY_SIZE=240\n[Generic 640x480]\n"
        b"X_SIZE= -5 \n[Orvel 19 Single]\nX_SIZE=\"360\"\nY_SIZE=4294967296\n"
        b"[Orvel 17 single]\nX_SIZE=\nY_SIZE=250\n")
    put("timing_database", "monitors", b"\0" + bytes([9]) + b"31kHz VGA" + database)
    put("timing_database", "monitors_dual", b"\1" + bytes([15]) + b"Generic 640x480" + database)
    put("timing_database", "comments_and_cut_lines",
        b"\1" + bytes([1]) + b"A" + b"; [MONITOR]\r\n[MONITOR\n[ MONITOR ]\r=x\n A = 1 \0B=2\rC\n"
        b";D=3\n[A]\nX_SIZE=" + b"9" * 300 + b"\n[monitor]\nE=1\n")
    put("timing_database", "key_list_too_long", b"\0" + bytes([0]) + b"[MONITOR]\n"
        + b"".join(b"Model %03d of the long list ...=\n" % i for i in range(170)))
    put("timing_database", "long_names",
        b"\0" + bytes([39]) + b"N" * 39 + b"[MONITOR]\n" + b"N" * 39 + b"=1\n" + b"L" * 40
        + b"=1\n[" + b"N" * 39 + b"]\nX_SIZE=+12abc\nY_SIZE=\t7\n")


def last_mode():
    # [flags][LastTVMode][LastMonMode]
    tv = present(value("binary", words(0, 640, 480, 8, 50, 0)))
    monitor = present(value("binary", words(0, 1024, 768, 16, 75, 0)))
    put("last_mode", "usual", b"\0" + tv + monitor)
    put("last_mode", "display_properties_open", b"\2" + tv + monitor)
    put("last_mode", "short_and_missing",
        b"\1" + present(value("binary", words(0, 800, 600)[:10])) + ABSENT)
    put("last_mode", "wrong_type_and_long",
        b"\0" + present(value("dword", words(0, 800, 600, 16, 60, 0)))
        + present(value("binary", words(0, 1024, 768, 16, 75, 0, 7))))
    put("last_mode", "extreme_words",
        b"\4" + present(value("binary", words(0xFFFFFFFF, 0xFFFFFFFF, 2, 0x80000000, 0xFFFFFFFF, 1)))
        + present(value("binary", words(0, 0, 0, 0, 0, 0))))


def escape_replies():
    # [screen: 4 words] then operations; each escape's reply is [answered][every word]
    # [result word, when answered].
    def reply(ws, answered=True):
        return bytes([1 if answered else 0]) + words(*ws) + (words(1) if answered else b"")

    def visible(left, top, right, bottom):
        return reply([7, 1] + [0] * 9 + [left, top, right, bottom])

    screen = words(16, 1024, 768, 75)
    put("escape_replies", "queries_answered", screen
        + bytes([0]) + reply([0, 0, 1, 0, 0, 0, 0, 0])
        + bytes([1]) + reply([0, 0, 0x05000000, 0, 0, 0, 0, 0])
        + bytes([4]) + reply([3, 0, 2, 0])
        + bytes([7]) + reply([5, 0, 1, 0])
        + bytes([9]) + visible(100, 50, 740, 530))
    put("escape_replies", "nothing_answered", screen
        + bytes([0]) + reply([0] * 8, False) + bytes([5]) + reply([0] * 4, False) + bytes([6])
        + bytes([8]) + reply([0] * 4, False) + bytes([10]) + reply([0] * 8, False))
    put("escape_replies", "zoom_button_drag", screen
        + bytes([19, 1, 13]) + visible(100, 50, 740, 530)
        + bytes([14]) + struct.pack("<HH", 10, 10)
        + bytes([15]) + struct.pack("<HH", 900, 700) + visible(100, 50, 740, 530)
        + bytes([16, 0, 0, 0, 0]) + reply([4, 0, 0, 0]) + reply([4, 1, 1, 0])
        + visible(100, 50, 740, 530)
        + bytes([17]) + visible(140, 40, 780, 520))
    put("escape_replies", "tv_switch_both_ways", words(8, 640, 480, 60)
        + bytes([11]) + reply([0] * 8) + reply([0, 0, 1, 0, 0, 0, 0, 0])
        + reply([2, 1, 1, 640, 480, 16, 50, 0])
        + bytes([12]) + reply([0, 0, 1, 0, 0, 0, 0, 0]) + reply([2, 0, 0, 640, 480, 16, 1, 0]))
    put("escape_replies", "extreme_rectangles", words(16, 0x80000000, 0xFFFFFFFF, 1)
        + bytes([21]) + words(0x7FFFFFF0, 0x80000000, 0x80000005, 0x7FFFFFFF)
        + bytes([22]) + words(0x7FFFFFFF, 0x80000000) + bytes([1])
        + bytes([19, 1, 13]) + visible(0x80000000, 0x7FFFFFFF, 0x80000001, 5)
        + bytes([17]) + visible(0x7FFFFFFF, 0x80000000, 0, 0))


def alignment_hook():
    # [setup][four sizes and the flags] then messages.
    def message(kind, code, style, rect, known, name, cursor, fields):
        return (bytes([kind, code & 0xFF]) + words(style, *rect) + bytes([known, len(name)])
                + b"".join(struct.pack("<H", ord(c)) for c in name) + words(*cursor)
                + words(*fields))

    sizes = (present(value("binary", words(1024))) + present(value("binary", words(768)))
             + present(value("dword", words(1280))) + present(value("none", words(1024)))
             + present(value("dword", words(3))))
    put("alignment_hook", "maximize", b"\1" + sizes + message(
        0, 0, 0x10CF0000, (0, 0, 800, 600), 3, "Notepad", (1500, 300),
        (0, 0, 1024, 768, 0, 0, 0, 0, 2304, 1024)))
    put("alignment_hook", "dialog_across_seam", b"\1" + sizes + message(
        1, 0, 0x80C80000, (900, 100, 1300, 400), 3, "#32770", (200, 300),
        (900, 100, 400, 300, 3, 0, 0, 0, 0, 0)))
    put("alignment_hook", "combo_list", b"\2" + sizes + message(
        1, 0, 0x44800000, (1000, 100, 1100, 300), 3, "ComboLBox", (1200, 300),
        (1000, 100, 100, 200, 1, 0, 0, 0, 0, 0))
        + message(2, 0, 0, (0, 0, 0, 0), 0, "", (0, 0), (0,) * 10))
    put("alignment_hook", "extreme_sizes", b"\1"
        + present(value("binary", words(0x7FFFFFFF))) + present(value("binary", words(0)))
        + present(value("binary", words(0x80000000))) + present(value("sz", b"\1\2"))
        + present(value("binary", words(0xFFFFFFFF)))
        + message(1, 0, 0, (0x80000000, 0, 0x7FFFFFFF, 0), 3, "X", (0x80000000, 0),
                  (0x80000000, 0, 0x7FFFFFFF, 0, 1, 0, 0, 0, 0, 0))
        + message(1, 0, 0x80000000, (0, 0, 0, 0), 3, "X", (0x7FFFFFFF, 0),
                  (0x7FFFFFF0, 0, 0x7FFFFFFF, 0, 0, 0, 0, 0, 0, 0)))
    put("alignment_hook", "not_dual", b"\0" + sizes
        + message(0, 0, 0, (0, 0, 1, 1), 3, "A", (5, 5), (0,) * 10)
        + message(1, 0xFF, 0, (0, 0, 1, 1), 3, "A", (5, 5), (0,) * 10))


def mode_catalogue():
    # [count: 4][steps][flags][command: 2][screen: 4 words][records]
    def mode(bits, width, height, rate, fields=0x5C0000, name=b"lumora"):
        return words(bits, width, height, rate, fields) + name.ljust(8, b"\0")[:8]

    def board(count, steps, flags, command, screen, modes):
        return (words(count) + bytes([steps, flags]) + struct.pack("<H", command)
                + words(*screen) + b"".join(modes))

    usual = [mode(8, 640, 480, 60), mode(8, 640, 480, 75), mode(16, 1024, 768, 75),
             mode(16, 1280, 480, 60), mode(16, 1664, 768, 60), mode(32, 1920, 1200, 60),
             mode(32, 2560, 768, 1), mode(24, 800, 600, 56), mode(7, 800, 600, 60),
             mode(4, 319, 200, 0)]
    put("mode_catalogue", "usual_board", board(10, 0, 0, 3, (16, 1024, 768, 75), usual))
    put("mode_catalogue", "nt_without_driver", board(10, 0, 2, 5, (8, 640, 480, 60), usual))
    put("mode_catalogue", "not_nt_tv_on", board(10, 0, 1 | 4 | 8, 7, (16, 1024, 768, 75), usual))
    put("mode_catalogue", "thousand_varied",
        board(1000, 0x21, 0, 900, (16, 1024, 768, 75), usual[:4]))
    big = [mode(32, 640, 480, 60), mode(15, 3200, 600, 1)]
    put("mode_catalogue", "seventy_thousand_merged",
        board(0xFF000000 | 70000, 0, 0x10, 0, (32, 2560, 1024, 60), big))
    put("mode_catalogue", "seventy_thousand_unmerged",
        board(0xFF000000 | 70000, 0x11, 2, 0, (32, 2560, 1024, 60), big))
    put("mode_catalogue", "extreme_fields", board(
        3, 0xFF, 0, 1, (0xFFFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFF),
        [mode(32, 0xFFFFFFFF, 0x80000000, 0xFFFFFFFF, 0, b"vgaVGAvga"),
         mode(4, 0x80000000, 0xFFFFFFFF, 1, 0xFFFFFFFF), mode(16, 1920, 1024, 0xFFFFFFFE)]))


if __name__ == "__main__":
    for write in (device_map, registry_readers, timing_database, last_mode, escape_replies,
                  alignment_hook, mode_catalogue):
        write()
