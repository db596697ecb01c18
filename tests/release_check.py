#!/usr/bin/env python3
"""Checks the release zip as a Windows user gets it: unpacks it and fails
unless it holds exactly the two programs and README.txt in one folder, and
each program
  - is a stripped 32-bit Windows program,
  - passes the import test (windows_imports.py: every import is a named
    export on Windows) and calls SetErrorMode,
  - carries its manifest: asInvoker, Windows 7 to 11, DPI-unaware, no Common
    Controls 6, long paths for xbm2bmp.exe only,
  - carries its version record: the project's version, the product name, a
    description and its own file name,
  - carries the program icon in every size the icon file has;
and README.txt tells, in Russian and English, what both programs do.

Usage: release_check.py ZIP PROJECT_CMAKELISTS NM LIBDIR
"""
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from windows_imports import PeImage, read_imports  # noqa: E402

PROGRAMS = ("ASGXBMConverter.exe", "xbm2bmp.exe")
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
I386 = 0x14C
SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}
ICON_SIZES = [16, 32, 48, 256]

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def resources(image):
    """{type: {name: bytes}} of the first language of each resource; names
    and types are numbers or strings."""
    rva, _ = image.directory(2)
    if rva == 0:
        return {}
    data, base = image.data, image.offset(rva)

    def entries(at):
        named, numbered = struct.unpack_from("<HH", data, at + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, at + 16 + 8 * i)
            if name & 0x80000000:
                start = base + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", data, start)[0]
                name = data[start + 2:start + 2 + 2 * length].decode("utf-16-le")
            yield name, target

    found = {}
    for kind, kind_dir in entries(base):
        for name, name_dir in entries(base + (kind_dir & 0x7FFFFFFF)):
            _, leaf = next(entries(base + (name_dir & 0x7FFFFFFF)))
            data_rva, size = struct.unpack_from("<II", data, base + leaf)
            found.setdefault(kind, {})[name] = data[image.offset(data_rva):image.offset(data_rva) + size]
    return found


def version_blocks(data, at=0):
    """The version record as nested (key, value bytes, is text, children)."""
    length, value_length, is_text = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_end = at + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[at + 6:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    value_size = 2 * value_length if is_text else value_length
    value = data[value_at:value_at + value_size]
    children = []
    child = (value_at + value_size + 3) & ~3
    while child < end:
        block, child_end = version_blocks(data, child)
        children.append(block)
        child = (child_end + 3) & ~3
    return (key, value, bool(is_text), children), end


def version_strings(record):
    strings = {}
    for block in record[3]:
        if block[0] == "StringFileInfo":
            for table in block[3]:
                for key, value, _, _ in table[3]:
                    strings[key] = value.decode("utf-16-le").rstrip("\0")
    return strings


def check_manifest(program, manifest):
    try:
        root = ElementTree.fromstring(manifest)
    except ElementTree.ParseError as error:
        check(False, f"{program}: the manifest is no well-formed XML: {error}")
        return
    everything = list(root.iter())

    def local(element):
        return element.tag.rsplit("}", 1)[-1]

    def values(name):
        return [e for e in everything if local(e) == name]

    levels = [e.get("level") for e in values("requestedExecutionLevel")]
    check(levels == ["asInvoker"], f"{program}: requested execution level {levels}, want ['asInvoker']")
    oses = {e.get("Id") for e in values("supportedOS")}
    check(oses == set(SUPPORTED_OS), f"{program}: supportedOS {sorted(oses)}, want {sorted(SUPPORTED_OS)}")
    aware = [(e.text or "").strip().lower() for e in values("dpiAware")]
    awareness = [(e.text or "").strip().lower() for e in values("dpiAwareness")]
    check(aware == ["false"] and awareness == ["unaware"],
          f"{program}: dpiAware {aware} and dpiAwareness {awareness}, want DPI-unaware stated in both")
    long_paths = [(e.text or "").strip().lower() for e in values("longPathAware")]
    want_long = ["true"] if program == "xbm2bmp.exe" else []
    check(long_paths == want_long, f"{program}: longPathAware {long_paths}, want {want_long}")
    dependencies = [e.get("name") for e in values("assemblyIdentity") if e.get("name", "").startswith("Microsoft.Windows")]
    check(not dependencies, f"{program}: depends on {dependencies}; the classic controls are wanted")
    identities = values("assemblyIdentity")
    check(len(identities) == 1 and re.fullmatch(r"\d+\.\d+\.\d+\.\d+", identities[0].get("version", "")),
          f"{program}: the manifest needs one assemblyIdentity with a four-part version")


def check_version(program, record, version):
    key, fixed, _, _ = record
    check(key == "VS_VERSION_INFO", f"{program}: version record named {key!r}")
    signature, _, ms, ls, product_ms, product_ls = struct.unpack_from("<IIIIII", fixed)
    check(signature == 0xFEEF04BD, f"{program}: the version record has no fixed part")
    want = ((version[0] << 16) | version[1], 0)
    check((ms, ls) == want and (product_ms, product_ls) == want,
          f"{program}: file version {ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}, want {version[0]}.{version[1]}.0.0")
    strings = version_strings(record)
    text = f"{version[0]}.{version[1]}"
    expected = {"ProductName": "Ashgrove XBM Converter", "OriginalFilename": program, "FileVersion": text,
                "ProductVersion": text}
    for name, value in expected.items():
        check(strings.get(name) == value, f"{program}: {name} is {strings.get(name)!r}, want {value!r}")
    check(bool(strings.get("FileDescription")), f"{program}: no FileDescription")


def check_icon(program, found):
    groups = found.get(RT_GROUP_ICON, {})
    if not check("MAINICON" in groups, f"{program}: no icon MAINICON (has {list(groups)})"):
        return
    group = groups["MAINICON"]
    count = struct.unpack_from("<H", group, 4)[0]
    sizes = []
    for i in range(count):
        width, _, _, _, _, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        sizes.append(width or 256)
        image = found.get(RT_ICON, {}).get(icon_id)
        check(image is not None and len(image) == size and bits == 32,
              f"{program}: icon image {icon_id} missing or not the size the group says")
    check(sizes == ICON_SIZES, f"{program}: icon sizes {sizes}, want {ICON_SIZES}")


def check_program(program, path, version, nm, libdir):
    image = PeImage(path)
    check(image.machine == I386 and not image.pe32_plus, f"{program}: not a 32-bit x86 program")
    debug = [name for name, *_ in image.sections if name.startswith(".debug")]
    check(image.symbols_count == 0 and not debug,
          f"{program}: not stripped ({image.symbols_count} symbols, {len(debug)} debug sections)")
    imports = subprocess.run([sys.executable, str(Path(__file__).with_name("windows_imports.py")), nm, libdir, str(path)],
                             capture_output=True, text=True)
    check(imports.returncode == 0, f"{program}: import test failed:\n{imports.stdout}{imports.stderr}")
    _, imported = read_imports(path)
    kernel32 = next((names for dll, names in imported.items() if dll.lower() == "kernel32.dll"), [])
    check("SetErrorMode" in kernel32, f"{program}: does not call SetErrorMode")

    found = resources(image)
    manifests = found.get(RT_MANIFEST, {})
    if check(list(manifests) == [1], f"{program}: manifest resources {list(manifests)}, want one, number 1"):
        check_manifest(program, manifests[1])
    records = found.get(RT_VERSION, {})
    if check(len(records) == 1, f"{program}: {len(records)} version records, want 1"):
        check_version(program, version_blocks(next(iter(records.values())))[0], version)
    check_icon(program, found)


def check_readme(text):
    for word in ("ASGXBMConverter.exe", "xbm2bmp", "BMP", "Windows 7"):
        check(word in text, f"README.txt does not mention {word}")
    check(re.search("[А-Яа-я]{4,}", text) is not None, "README.txt has no Russian text")
    check("In English" in text and "По-русски" in text, "README.txt needs a Russian and an English part")


def main():
    if len(sys.argv) != 5:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    archive, cmakelists, nm, libdir = sys.argv[1:]
    project = re.search(r"project\(\w+ VERSION (\d+)\.(\d+)", Path(cmakelists).read_text())
    version = (int(project.group(1)), int(project.group(2)))
    folder = f"ASGXBMConverter-{version[0]}.{version[1]}-win32"
    check(Path(archive).name == folder + ".zip", f"{archive}: want the name {folder}.zip")
    with tempfile.TemporaryDirectory() as unpacked, zipfile.ZipFile(archive) as release:
        names = sorted(n for n in release.namelist() if not n.endswith("/"))
        want = sorted(f"{folder}/{name}" for name in PROGRAMS + ("README.txt",))
        check(names == want, f"the zip holds {names}, want {want}")
        release.extractall(unpacked)
        for program in PROGRAMS:
            path = Path(unpacked) / folder / program
            if check(path.is_file(), f"{program} missing"):
                check_program(program, path, version, nm, libdir)
        readme = Path(unpacked) / folder / "README.txt"
        if check(readme.is_file(), "README.txt missing"):
            raw = readme.read_bytes()
            check(raw.startswith(b"\xef\xbb\xbf"), "README.txt: no UTF-8 byte order mark, which Notepad needs")
            check(b"\r\n" in raw and b"\n" not in raw.replace(b"\r\n", b""), "README.txt: want Windows line ends")
            check_readme(raw.decode("utf-8-sig"))
    for failure in failures:
        print("FAIL", failure)
    if not failures:
        print(f"{archive}: {', '.join(PROGRAMS)} and README.txt as a release needs them")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
