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


def read_imports(path):
    """Returns (whether it is a 64-bit program, {dll name: [imported function
    names]}) from a PE32 or PE32+ file; an import by ordinal is listed as '#N'."""
    data = Path(path).read_bytes()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path}: not a PE file")
    sections_count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    pe32_plus = magic == 0x20B
    directories = optional + (112 if pe32_plus else 96)
    import_rva = struct.unpack_from("<I", data, directories + 8)[0]
    sections = []
    for i in range(sections_count):
        at = optional + optional_size + 40 * i
        vsize, va, raw_size, raw_ptr = struct.unpack_from("<IIII", data, at + 8)
        sections.append((va, max(vsize, raw_size), raw_ptr))

    def offset(rva):
        for va, size, raw in sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError(f"{path}: address {rva:#x} lies in no section")

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
