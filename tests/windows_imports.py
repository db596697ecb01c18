#!/usr/bin/env python3
"""Fails when a Windows program imports a function by a name that its DLL
does not export by name on Windows, so that the loader would refuse to start
the program ("The procedure entry point ... could not be located").

Windows' named exports are taken from the mingw-w64 x86_64 import libraries:
they list exactly the names that Windows exports (an export that Windows has
only as an ordinal is missing there). Wine exports more names than Windows
does, so a program that runs under Wine proves nothing.

The 32-bit C runtime has a few exports that its 64-bit build lacks; for
32-bit programs they are listed here by hand.

Usage: windows_imports.py NM LIBDIR PROGRAM.exe...
"""
import struct
import subprocess
import sys
from pathlib import Path


X86_ONLY_EXPORTS = {
    "msvcrt.dll": {"__p__acmdln", "__p__wcmdln", "__p__commode", "__p__fmode", "_setjmp3"},
}


class PeImage:
    """The headers of a PE32 or PE32+ file and its sections, for reading the
    tables its data directories point to."""

    def __init__(self, path):
        self.path = path
        self.data = data = Path(path).read_bytes()
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError(f"{path}: not a PE file")
        self.machine, sections_count = struct.unpack_from("<HH", data, pe + 4)
        self.symbol_table, self.symbols_count = struct.unpack_from("<II", data, pe + 12)
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        self.pe32_plus = struct.unpack_from("<H", data, optional)[0] == 0x20B
        self._directories = optional + (112 if self.pe32_plus else 96)
        self.sections = []
        for i in range(sections_count):
            at = optional + optional_size + 40 * i
            name = data[at:at + 8].rstrip(b"\0").decode("ascii", "replace")
            if name.startswith("/") and name[1:].isdigit() and self.symbol_table:
                # A long name, such as .debug_info: an offset into the string table after the symbols.
                start = self.symbol_table + 18 * self.symbols_count + int(name[1:])
                name = data[start:data.index(b"\0", start)].decode("ascii", "replace")
            vsize, va, raw_size, raw_ptr = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((name, va, max(vsize, raw_size), raw_ptr))

    def directory(self, index):
        """(address, size) of data directory `index` (1 imports, 2 resources)."""
        return struct.unpack_from("<II", self.data, self._directories + 8 * index)

    def offset(self, rva):
        for _, va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError(f"{self.path}: address {rva:#x} lies in no section")


def read_imports(path):
    """Returns (whether it is a 64-bit program, {dll name: [imported function
    names]}) from a PE32 or PE32+ file; an import by ordinal is listed as '#N'."""
    image = PeImage(path)
    data, offset, pe32_plus = image.data, image.offset, image.pe32_plus
    import_rva = image.directory(1)[0]

    def c_string(at):
        return data[at:data.index(b"\0", at)].decode("ascii")

    imports = {}
    if import_rva == 0:
        return pe32_plus, imports
    entry_size, ordinal_flag = (8, 1 << 63) if pe32_plus else (4, 1 << 31)
    descriptor = offset(import_rva)
    while True:
        lookup, _, _, name_rva, thunks = struct.unpack_from("<IIIII", data, descriptor)
        if name_rva == 0:
            break
        names = []
        at = offset(lookup or thunks)
        while True:
            entry = struct.unpack_from("<Q" if pe32_plus else "<I", data, at)[0]
            if entry == 0:
                break
            if entry & ordinal_flag:
                names.append(f"#{entry & 0xFFFF}")
            else:
                names.append(c_string(offset(entry & 0x7FFFFFFF) + 2))
            at += entry_size
        imports[c_string(offset(name_rva))] = names
        descriptor += 20
    return pe32_plus, imports


def named_exports(nm, libdir, dll):
    library = Path(libdir) / f"lib{dll.lower().removesuffix('.dll')}.a"
    if not library.exists():
        return None
    listing = subprocess.run([nm, str(library)], capture_output=True, text=True, check=True).stdout
    return {line.split()[-1][len("__imp_"):] for line in listing.splitlines() if " I __imp_" in line}


def main():
    if len(sys.argv) < 4:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    nm, libdir, programs = sys.argv[1], sys.argv[2], sys.argv[3:]
    failures = 0
    exports = {}
    for program in programs:
        pe32_plus, imports = read_imports(program)
        for dll, functions in imports.items():
            key = dll.lower()
            if key not in exports:
                exports[key] = named_exports(nm, libdir, dll)
            if exports[key] is None:
                print(f"FAIL {Path(program).name}: imports from {dll}, which has no import library in {libdir}")
                failures += 1
                continue
            known = exports[key] if pe32_plus else exports[key] | X86_ONLY_EXPORTS.get(key, set())
            for function in functions:
                if not function.startswith("#") and function not in known:
                    print(f"FAIL {Path(program).name}: {dll} has no export named {function} on Windows")
                    failures += 1
        print(f"{Path(program).name}: {sum(len(f) for f in imports.values())} imports checked")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
