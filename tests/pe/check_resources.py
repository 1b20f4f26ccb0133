#!/usr/bin/env python3
"""Reads the compiled resources of every deliverable in a build directory and compares them
with the tables in expected.py: which resources there are, the dialog templates, menus, string
tables, icon groups with their images, bitmaps and the version resource.

    python3 tests/pe/check_resources.py build/win32

Prints one line per deliverable and area, each mismatch below it, and last
"resources: N passed, M failed"; exits non-zero when anything failed.
"""
import os
import re
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import expected  # noqa: E402
from peread import PE, PEError  # noqa: E402

RT_ICON, RT_BITMAP, RT_MENU, RT_DIALOG, RT_STRING = 3, 2, 4, 5, 6
RT_GROUP_ICON, RT_VERSION = 14, 16
DS_SETFONT = 0x40
CONTROL_CLASSES = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC", 0x83: "LISTBOX",
                   0x84: "SCROLLBAR", 0x85: "COMBOBOX"}
VFT_APP, VFT_DLL = 1, 2
VOS_NT_WINDOWS32 = 0x40004
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


# Reading the compiled forms.

class Reader:
    """Little-endian reads from a resource's bytes, with the UTF-16 strings of templates."""

    def __init__(self, data, pos=0):
        self.data, self.pos = data, pos

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.pos)
        self.pos += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def text(self):
        end = self.pos
        while self.data[end:end + 2] != b"\0\0":
            if end >= len(self.data):
                raise ValueError("text without its terminator at %d" % self.pos)
            end += 2
        value = self.data[self.pos:end].decode("utf-16-le")
        self.pos = end + 2
        return value

    def text_or_ordinal(self):
        """A template's "sz_Or_Ord": "" for none, an int for an ordinal, else the text."""
        first = struct.unpack_from("<H", self.data, self.pos)[0]
        if first == 0xFFFF:
            self.pos += 2
            return self.take("H")
        if first == 0:
            self.pos += 2
            return ""
        return self.text()

    def align(self, size=4):
        self.pos = (self.pos + size - 1) // size * size


def parse_dialog(data):
    """A DLGTEMPLATE as a dict, controls as dicts in template order. The templates are plain
    DIALOG statements; an extended template (DIALOGEX) is a fault of its own."""
    if data[0:4] == b"\x01\x00\xff\xff":
        raise ValueError("an extended template (DIALOGEX)")
    r = Reader(data)
    style, exstyle, count, x, y, cx, cy = r.take("IIHhhhh")
    dialog = {"style": style, "exstyle": exstyle, "rect": (x, y, cx, cy),
              "menu": r.text_or_ordinal(), "class": r.text_or_ordinal(), "caption": r.text(),
              "font": None, "controls": []}
    if style & DS_SETFONT:
        dialog["font"] = (r.take("H"), r.text())
    for _ in range(count):
        r.align()
        # The id is a WORD; read signed, so that an unaddressed control's is -1.
        item_style, item_exstyle, x, y, cx, cy, item_id = r.take("IIhhhhh")
        cls = r.text_or_ordinal()
        dialog["controls"].append({
            "id": item_id, "class": CONTROL_CLASSES.get(cls, cls) if isinstance(cls, int)
            else cls.upper(), "text": r.text_or_ordinal(), "style": item_style,
            "exstyle": item_exstyle, "rect": (x, y, cx, cy)})
        creation_data = r.take("H")
        r.pos += creation_data
    return dialog


def parse_menu(data):
    """A menu template as [(text, id, flags)] with popups as (text, [items], flags); flags
    without the end-of-level and popup marks. The menus are plain MENU statements."""
    r = Reader(data)
    version, offset = r.take("HH")
    if version != 0:
        raise ValueError("an extended menu template (MENUEX)")
    r.pos += offset
    return _menu_items(r)


def _menu_items(r):
    items = []
    while True:
        flags = r.take("H")
        if flags & 0x10:
            items.append((r.text(), _menu_items(r), flags & ~0x90))
        else:
            item_id = r.take("H")
            items.append((r.text(), item_id, flags & ~0x80))
        if flags & 0x80:
            return items


def parse_string_block(block, data):
    """The non-empty strings of one string table block, by id."""
    r = Reader(data)
    strings = {}
    for i in range(16):
        length = r.take("H")
        if length:
            strings[(block - 1) * 16 + i] = data[r.pos:r.pos + 2 * length].decode("utf-16-le")
        r.pos += 2 * length
    return strings


def parse_dib(data, rows=None):
    """(width, height, bits per pixel, palette entries, bytes the header says it needs) of a
    device-independent bitmap of the given rows of colour (all of them by default); an icon
    image's height counts its colour and mask halves. Only the 40-byte BITMAPINFOHEADER,
    uncompressed, is expected (a later header or a compressed image may not show on NT 4.0)."""
    size, width, height, _, bpp, compression = struct.unpack_from("<IiiHHI", data, 0)
    if size != 40 or compression != 0:
        raise ValueError("a %d-byte bitmap header with compression %d" % (size, compression))
    used = struct.unpack_from("<I", data, 32)[0]
    palette = used or (1 << bpp if bpp <= 8 else 0)
    stride = (width * bpp + 31) // 32 * 4
    rows = abs(height) if rows is None else rows
    return width, abs(height), bpp, palette, size + palette * 4 + stride * rows


def icon_images(resources, group):
    """The images of an icon group, each checked against its directory entry: returns
    [(width, height, colours)] and a list of faults."""
    data = resources[(RT_GROUP_ICON, group)]
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    faults = [] if (reserved, kind) == (0, 1) else ["icon group header %d, %d" % (reserved, kind)]
    images = []
    for i in range(count):
        width, height, colours, _, planes, bpp, size, number = struct.unpack_from(
            "<BBBBHHIH", data, 6 + 14 * i)
        width, height = width or 256, height or 256
        image = resources.get((RT_ICON, number))
        where = "image %d (icon %d)" % (i + 1, number)
        if image is None:
            faults.append("%s: missing" % where)
            continue
        if len(image) != size:
            faults.append("%s: %d bytes, directory says %d" % (where, len(image), size))
        try:
            image_w, image_h, image_bpp, palette, needed = parse_dib(image, height)
        except (ValueError, struct.error) as error:
            faults.append("%s: %s" % (where, error))
            continue
        image_h //= 2
        image_colours = 1 << image_bpp
        images.append((image_w, image_h, image_colours))
        if (image_w, image_h, image_bpp) != (width, height, bpp) or planes != 1:
            faults.append("%s: image %dx%d at %d bits, directory %dx%d at %d bits, %d planes" % (
                where, image_w, image_h, image_bpp, width, height, bpp, planes))
        if colours != (image_colours if image_bpp < 8 else 0):
            faults.append("%s: directory gives %d colours for %d bits" % (where, colours,
                                                                       image_bpp))
        mask = (image_w + 31) // 32 * 4 * image_h
        if needed + mask > len(image):
            faults.append("%s: %d bytes, too short for its header (%d)" % (where, len(image),
                                                                           needed + mask))
        if image_bpp <= 8 and palette != image_colours:
            faults.append("%s: palette of %d for %d bits" % (where, palette, image_bpp))
    return images, faults


def version_node(data, pos):
    """One node of a version resource: (key, value, children, end). Text values are str."""
    length, value_length, kind = struct.unpack_from("<HHH", data, pos)
    r = Reader(data, pos + 6)
    key = r.text()
    r.align()
    end = pos + length
    if kind == 1:
        raw = data[r.pos:min(r.pos + 2 * value_length, end)]
        value = raw.decode("utf-16-le").split("\0")[0]
        r.pos += 2 * value_length
    else:
        value = data[r.pos:r.pos + value_length]
        r.pos += value_length
    r.align()
    children = []
    while r.pos < end:
        child = version_node(data, r.pos)
        children.append(child[:3])
        r.pos = (child[3] + 3) // 4 * 4
    return key, value, children, end


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        match = re.search(r"project\(\s*DisplayTools\s+VERSION\s+(\d+)\.(\d+)\.(\d+)", f.read())
    return tuple(int(n) for n in match.groups()) if match else None


# The checks. Each returns a list of (subject, [faults]); an empty fault list is a pass.

def name(key):
    return str(key) if isinstance(key, int) else '"%s"' % key


def check_inventory(pe, table):
    wanted = {(RT_VERSION, 1)}
    wanted |= {(RT_GROUP_ICON, k) for k in table["icons"]}
    wanted |= {(RT_BITMAP, k) for k in table["bitmaps"]}
    wanted |= {(RT_MENU, k) for k in table["menus"]}
    wanted |= {(RT_DIALOG, k) for k in table["dialogs"]}
    wanted |= {(RT_STRING, k // 16 + 1) for k in table["strings"]}
    for key in table["icons"]:
        data = pe.resources.get((RT_GROUP_ICON, key), b"\0\0\0\0\0\0")
        for i in range(struct.unpack_from("<H", data, 4)[0]):
            wanted.add((RT_ICON, struct.unpack_from("<H", data, 6 + 14 * i + 12)[0]))
    found = set(pe.resources)
    faults = ["missing: type %s, name %s" % (name(t), name(n)) for t, n in sorted(
        wanted - found, key=str)]
    faults += ["not expected: type %s, name %s" % (name(t), name(n)) for t, n in sorted(
        found - wanted, key=str)]
    return [("%d resources" % len(wanted), faults)]


def compare(what, actual, wanted):
    return [] if actual == wanted else ["%s %s, expected %s" % (what, show(actual), show(wanted))]


def show(value):
    if isinstance(value, int) and value > 0xFFFF:
        return "0x%08X" % value
    return repr(value)


def check_dialogs(pe, table):
    results = []
    for key, (style, exstyle, rect, caption, font, controls) in table["dialogs"].items():
        data = pe.resources.get((RT_DIALOG, key))
        if data is None:
            results.append(("dialog %s" % name(key), ["missing"]))
            continue
        d = parse_dialog(data)
        faults = sum([compare("style", d["style"], style),
                      compare("extended style", d["exstyle"], exstyle),
                      compare("rectangle", d["rect"], rect),
                      compare("caption", d["caption"], caption),
                      compare("font", d["font"], font),
                      compare("menu", d["menu"], ""),
                      compare("class", d["class"], "")], [])
        if len(d["controls"]) != len(controls):
            faults.append("%d controls, expected %d" % (len(d["controls"]), len(controls)))
        for i, (c, want) in enumerate(zip(d["controls"], controls)):
            item_id, cls, text, item_style, x, y, cx, cy = want
            where = "control %d (id %d)" % (i + 1, item_id)
            control_faults = sum([compare("id", c["id"], item_id),
                                  compare("class", c["class"], cls.upper()),
                                  compare("text", c["text"], text) if text is not None else [],
                                  compare("style", c["style"], item_style),
                                  compare("extended style", c["exstyle"], 0),
                                  compare("rectangle", c["rect"], (x, y, cx, cy))], [])
            faults += ["%s: %s" % (where, f) for f in control_faults]
        results.append(("dialog %s" % name(key), faults))
    return results


def check_menus(pe, table):
    def normalise(items):
        return [(text, normalise(target) if isinstance(target, list) else target, 0)
                for text, target in items]
    results = []
    for key, items in table["menus"].items():
        data = pe.resources.get((RT_MENU, key))
        faults = ["missing"] if data is None else compare("items", parse_menu(data),
                                                          normalise(items))
        results.append(("menu %s" % name(key), faults))
    return results


def check_strings(pe, table):
    strings = {}
    for (kind, block), data in pe.resources.items():
        if kind == RT_STRING:
            strings.update(parse_string_block(block, data))
    results = [("string %d" % k, compare("text", strings.get(k), text))
               for k, text in table["strings"].items()]
    results += [("string %d" % k, ["not expected: %r" % text])
                for k, text in sorted(strings.items()) if k not in table["strings"]]
    return results


def check_icons(pe, table):
    results = []
    for key, images in table["icons"].items():
        if (RT_GROUP_ICON, key) not in pe.resources:
            results.append(("icon %s" % name(key), ["missing"]))
            continue
        actual, faults = icon_images(pe.resources, key)
        if not actual:
            faults.append("no images")
        if images is not None:
            faults += compare("images (width, height, colours)", actual, images)
        results.append(("icon %s" % name(key), faults))
    return results


def check_bitmaps(pe, table):
    results = []
    for key, want in table["bitmaps"].items():
        data = pe.resources.get((RT_BITMAP, key))
        if data is None:
            results.append(("bitmap %s" % name(key), ["missing"]))
            continue
        width, height, bpp, palette, needed = parse_dib(data)
        faults = compare("(width, height, bits, palette)", (width, height, bpp, palette), want)
        if needed > len(data):
            faults.append("%d bytes, too short for its header (%d)" % (len(data), needed))
        results.append(("bitmap %s" % name(key), faults))
    return results


def check_version(pe, table):
    data = pe.resources.get((RT_VERSION, 1))
    if data is None:
        return [("version", ["missing"])]
    version = project_version()
    if version is None:
        return [("version", ["no project(DisplayTools VERSION x.y.z) in CMakeLists.txt"])]
    text = "%d.%d.%d" % version
    description, internal = table["version"]
    wanted = dict(expected.VERSION_FIELDS, FileDescription=description, InternalName=internal,
                  OriginalFilename=table["file"], FileVersion=text, ProductVersion=text)
    key, fixed, children, _ = version_node(data, 0)
    faults = compare("key", key, "VS_VERSION_INFO")
    if len(fixed) != 52 or struct.unpack_from("<I", fixed, 0)[0] != 0xFEEF04BD:
        return [("version", faults + ["no fixed file information"])]
    (_, _, file_ms, file_ls, product_ms, product_ls, _, flags, os_kind, file_type,
     _, _, _) = struct.unpack_from("<13I", fixed)
    numbers = ((version[0] << 16) | version[1], version[2] << 16)
    faults += compare("file version", (file_ms, file_ls), numbers)
    faults += compare("product version", (product_ms, product_ls), numbers)
    faults += compare("flags", flags, 0) + compare("operating system", os_kind, VOS_NT_WINDOWS32)
    faults += compare("file type", file_type, VFT_DLL if pe.is_dll else VFT_APP)
    blocks = {k: c for k, _, c in children}
    tables = blocks.get("StringFileInfo", [])
    if len(tables) != 1:
        return [("version", faults + ["%d string tables, expected 1" % len(tables)])]
    language, _, strings = tables[0]
    fields = {k: v for k, v, _ in strings}
    for field in sorted(set(fields) | set(wanted)):
        faults += compare(field, fields.get(field), wanted.get(field))
    translations = [v for k, v, _ in blocks.get("VarFileInfo", []) if k == "Translation"]
    pair = struct.pack("<HH", int(language[:4], 16), int(language[4:], 16))
    faults += compare("translation", translations, [pair])
    return [("version", faults)]


AREAS = [("inventory", check_inventory), ("dialogs", check_dialogs), ("menus", check_menus),
         ("strings", check_strings), ("icons", check_icons), ("bitmaps", check_bitmaps),
         ("version", check_version)]


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: check_resources.py BUILD_DIR")
    passed = failed = 0
    for table in expected.DELIVERABLES:
        path = os.path.join(argv[1], table["file"])
        try:
            pe = PE(path)
        except (OSError, PEError, ValueError, struct.error) as error:
            print("%s: FAILED, cannot be read: %s" % (table["file"], error))
            failed += 1
            continue
        for area, check in AREAS:
            try:
                results = check(pe, table)
            except (ValueError, struct.error, IndexError) as error:
                results = [(area, ["cannot be parsed: %s" % error])]
            if not results:
                continue
            bad = [(subject, faults) for subject, faults in results if faults]
            passed += len(results) - len(bad)
            failed += len(bad)
            print("%s %s: %s" % (table["file"], area, "ok (%s)" % ", ".join(
                s for s, _ in results) if not bad else "%d of %d FAILED" % (
                len(bad), len(results))))
            for subject, faults in bad:
                for fault in faults:
                    print("    %s: %s" % (subject, fault))
    print("resources: %d passed, %d failed" % (passed, failed))
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
