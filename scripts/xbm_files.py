"""The one builder of Ashgrove XBM files for the scripts and the tests.

    import xbm_files as xbm
    xbm.plain_xbm(2, 1, [0xF800, 0x001F])              # words top row first
    xbm.plain_xbm(64, 48, lambda x, y: xbm.rgb565(x, y, 0))
    xbm.skip_run_xbm(3, [xbm.skip_run_row([None, 0x07E0, None])])

A script elsewhere in the tree finds this module with
sys.path.insert(0, "<repository>/scripts") or PYTHONPATH.
"""
import struct

HEADER_BYTES = 64


def rgb565(r, g, b):
    """The RGB565 word of an 8-bit-per-channel colour."""
    return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)


def words(values):
    """Little-endian 16-bit words."""
    values = list(values)
    return struct.pack("<%dH" % len(values), *values)


def header(width, height, encoding=0, extra=b""):
    """The 64-byte header (bytes 0 to 19 hold a filler that is never read); a
    non-empty `extra` is announced by ExtraFlag and ExtraSize and follows it."""
    head = bytearray(0xA0 + i for i in range(20)) + bytearray(HEADER_BYTES - 20)
    struct.pack_into("<ii", head, 20, width, height)  # Width, Height
    struct.pack_into("<H", head, 30, encoding)
    if extra:
        struct.pack_into("<II", head, 36, 1, len(extra))  # ExtraFlag, ExtraSize
    return bytes(head) + extra


def plain_xbm(width, height, pixels, encoding=0, extra=b""):
    """Plain rows. `pixels` is pixel(x, y) -> word for a whole picture, or the
    words themselves, top row first, as many or as few as the file should hold."""
    if callable(pixels):
        pixel = pixels
        pixels = [pixel(x, y) for y in range(height) for x in range(width)]
    return header(width, height, encoding, extra) + words(pixels)


def skip_run_row(row):
    """One skip-run row from its pixels: a word, or None where the row stores none."""
    out = bytearray()
    x, width = 0, len(row)
    while x < width:
        gap = 0
        while x + gap < width and row[x + gap] is None:
            gap += 1
        out += struct.pack("<H", 2 * gap)
        x += gap
        if x == width:
            break
        run = 0
        while x + run < width and row[x + run] is not None:
            run += 1
        out += struct.pack("<H", 2 * run) + words(row[x:x + run])
        x += run
    return bytes(out)


def skip_run_xbm(width, rows, extra=b""):
    """Skip-run rows: the header, the row table, the rows. `rows` are the
    rows' bytes as stored (skip_run_row, or any bytes); equal rows share them."""
    table, data, offsets = bytearray(), bytearray(), {}
    for row in rows:
        if row not in offsets:
            offsets[row] = 4 * len(rows) + len(data)
            data += row
        table += struct.pack("<I", offsets[row])
    return header(width, len(rows), 1, extra) + bytes(table) + bytes(data)


def skip_run_picture(width, height, pixel, extra=b""):
    """A whole skip-run picture from pixel(x, y) -> word or None."""
    rows = [skip_run_row([pixel(x, y) for x in range(width)]) for y in range(height)]
    return skip_run_xbm(width, rows, extra)
