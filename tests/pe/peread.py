"""Reads the parts of a Windows program or library (PE32 or PE32+) that the build checks look at:
the file header, the optional header's versions and subsystem, the import and export tables and
the resources.

    pe = PE("build/win32/Nudgel.exe")
    pe.machine, pe.is_dll, pe.subsystem, pe.subsystem_version, pe.os_version
    pe.imports      # sorted ["KERNEL32!ExitProcess", "USER32!#12", ...]
    pe.exports      # [(ordinal, name or None), ...] by ordinal
    pe.resources    # {(type, name): bytes of the first language}

Resource types and names are ints, or upper-cased strings for named ones ("KELDOR").
"""
import struct

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664

_FILE_DLL = 0x2000
_PE32 = 0x10B
_PE32_PLUS = 0x20B
_DIR_EXPORT, _DIR_IMPORT, _DIR_RESOURCE = 0, 1, 2


class PEError(Exception):
    pass


class PE:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        self.path = path
        self._read_headers()
        self.imports = self._read_imports()
        self.exports = self._read_exports()
        self.resources = self._read_resources()

    # Headers and addresses.

    def _read_headers(self):
        data = self.data
        if data[:2] != b"MZ" or len(data) < 0x40:
            raise PEError("%s: no DOS header" % self.path)
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PEError("%s: no PE signature" % self.path)
        (self.machine, sections, _, _, _, optional_size,
         characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        self.is_dll = bool(characteristics & _FILE_DLL)
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        if magic == _PE32:
            self.pe32_plus = False
            dirs = opt + 96
        elif magic == _PE32_PLUS:
            self.pe32_plus = True
            dirs = opt + 112
        else:
            raise PEError("%s: unknown optional header magic 0x%x" % (self.path, magic))
        # The versions and the subsystem sit at the same offsets in both forms.
        os_major, os_minor = struct.unpack_from("<HH", data, opt + 40)
        sub_major, sub_minor = struct.unpack_from("<HH", data, opt + 48)
        self.os_version = (os_major, os_minor)
        self.subsystem_version = (sub_major, sub_minor)
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        count = struct.unpack_from("<I", data, dirs - 4)[0]
        self.directories = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(count)]
        self.sections = []
        table = opt + optional_size
        for i in range(sections):
            name, vsize, vaddr, raw_size, raw_ptr = struct.unpack_from(
                "<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"),
                                  vaddr, max(vsize, raw_size), raw_ptr, raw_size))

    def _directory(self, index):
        if index >= len(self.directories):
            return 0, 0
        return self.directories[index]

    def offset(self, rva):
        """The file offset of a relative virtual address."""
        for _, vaddr, vsize, raw_ptr, raw_size in self.sections:
            if vaddr <= rva < vaddr + vsize:
                if rva - vaddr >= raw_size:
                    raise PEError("%s: address 0x%x has no file data" % (self.path, rva))
                return raw_ptr + rva - vaddr
        raise PEError("%s: address 0x%x is in no section" % (self.path, rva))

    def _cstring(self, rva):
        start = self.offset(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("latin-1")

    def _u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    # Imports and exports.

    def _read_imports(self):
        rva, size = self._directory(_DIR_IMPORT)
        if not rva or not size:
            return []
        thunk_size, ordinal_flag = (8, 1 << 63) if self.pe32_plus else (4, 1 << 31)
        thunk_format = "<Q" if self.pe32_plus else "<I"
        imports = []
        descriptor = rva
        while True:
            lookup, _, _, name_rva, bound = struct.unpack_from(
                "<IIIII", self.data, self.offset(descriptor))
            if not (lookup or name_rva or bound):
                break
            dll = self._cstring(name_rva).upper()
            if dll.endswith(".DLL"):
                dll = dll[:-4]
            thunk = lookup or bound
            while True:
                entry = struct.unpack_from(thunk_format, self.data, self.offset(thunk))[0]
                if not entry:
                    break
                if entry & ordinal_flag:
                    imports.append("%s!#%d" % (dll, entry & 0xFFFF))
                else:
                    imports.append("%s!%s" % (dll, self._cstring((entry & 0x7FFFFFFF) + 2)))
                thunk += thunk_size
            descriptor += 20
        return sorted(imports)

    def _read_exports(self):
        rva, size = self._directory(_DIR_EXPORT)
        if not rva or not size:
            return []
        (_, _, _, _, _, base, functions, names, functions_rva, names_rva,
         ordinals_rva) = struct.unpack_from("<IIHHIIIIIII", self.data, self.offset(rva))
        named = {}
        for i in range(names):
            index = struct.unpack_from("<H", self.data, self.offset(ordinals_rva + 2 * i))[0]
            named.setdefault(index, []).append(self._cstring(self._u32(names_rva + 4 * i)))
        exports = []
        for index in range(functions):
            if not self._u32(functions_rva + 4 * index):
                continue  # a gap in the ordinals
            for name in sorted(named.get(index, [None]), key=lambda n: n or ""):
                exports.append((base + index, name))
        return exports

    # Resources.

    def _read_resources(self):
        rva, size = self._directory(_DIR_RESOURCE)
        if not rva or not size:
            return {}
        root = self.offset(rva)
        resources = {}
        for type_key, type_dir in self._resource_entries(root, 0):
            for name_key, name_dir in self._resource_entries(root, type_dir):
                languages = self._resource_entries(root, name_dir)
                if not languages:
                    continue
                data_rva, data_size = struct.unpack_from(
                    "<II", self.data, root + (languages[0][1] & 0x7FFFFFFF))
                start = self.offset(data_rva)
                resources[(type_key, name_key)] = self.data[start:start + data_size]
        return resources

    def _resource_entries(self, root, directory):
        """The (key, target) pairs of a resource directory, in stored order."""
        base = root + (directory & 0x7FFFFFFF)
        named, numbered = struct.unpack_from("<HH", self.data, base + 12)
        entries = []
        for i in range(named + numbered):
            key, target = struct.unpack_from("<II", self.data, base + 16 + 8 * i)
            if key & 0x80000000:
                at = root + (key & 0x7FFFFFFF)
                length = struct.unpack_from("<H", self.data, at)[0]
                key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le").upper()
            entries.append((key, target))
        return entries
