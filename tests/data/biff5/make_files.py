# Excel 5.0/95 (BIFF5) workbooks that FreeXL 1.0.6 declines or misreads, built record by record
# in a compound file: a sheet with a rich-text cell (RSTRING, which FreeXL reads as empty), one
# whose text and sheet names are UTF-8 (code page 65001), one with only a names row whose
# DIMENSIONS record claims no rows. Run with python3 in this folder.
import struct


def rec(kind, data=b""):
    return struct.pack("<HH", kind, len(data)) + data


def compound(stream_name, data):
    # One 512-byte-sector compound file: the stream (padded past the mini-stream cutoff), one FAT
    # sector and one directory sector.
    size = 512
    data += b"\0" * (max(4096, -(-len(data) // size) * size) - len(data))
    n = len(data) // size
    fat = [i + 1 for i in range(n - 1)] + [0xFFFFFFFE, 0xFFFFFFFD, 0xFFFFFFFE]
    fat += [0xFFFFFFFF] * (size // 4 - len(fat))

    def entry(name, kind, start, length, child=0xFFFFFFFF):
        encoded = (name + "\0").encode("utf-16-le")
        e = encoded.ljust(64, b"\0") + struct.pack("<HBB", len(encoded), kind, 1)
        e += struct.pack("<III", 0xFFFFFFFF, 0xFFFFFFFF, child) + b"\0" * 36
        return e + struct.pack("<II", start, length) + b"\0" * 4

    directory = entry("Root Entry", 5, 0xFFFFFFFE, 0, 1) + entry(stream_name, 2, 0, len(data))
    header = bytes.fromhex("D0CF11E0A1B11AE1") + b"\0" * 16
    header += struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) + b"\0" * 6
    header += struct.pack("<IIIIIIIII", 0, 1, n + 1, 0, 4096, 0xFFFFFFFE, 0, 0xFFFFFFFE, 0)
    header += struct.pack("<I", n) + struct.pack("<I", 0xFFFFFFFF) * 108
    return header + data + struct.pack("<128I", *fat) + directory.ljust(size, b"\0")


def workbook(sheets, codepage=1252, encoding="cp1252"):
    bof = lambda kind: rec(0x0809, struct.pack("<HHHH", 0x0500, kind, 0x0DBB, 0x07CC))
    globals_ = bof(0x0005) + rec(0x0042, struct.pack("<H", codepage))
    globals_ += b"".join(rec(0x00E0, b"\0" * 16) for _ in range(16))
    names = [name.encode(encoding) for name, _ in sheets]
    offset = len(globals_) + sum(11 + len(n) for n in names) + 4
    bodies = b""
    for name, (_, cells) in zip(names, sheets):
        globals_ += rec(0x0085, struct.pack("<IBBB", offset + len(bodies), 0, 0, len(name)) + name)
        bodies += bof(0x0010) + cells + rec(0x000A)
    return compound("Book", globals_ + rec(0x000A) + bodies)


def dimensions(rows, columns):
    return rec(0x0200, struct.pack("<HHHHH", 0, rows, 0, columns, 0))


def label(row, column, text, encoding="cp1252", kind=0x0204, runs=None):
    b = text.encode(encoding)
    data = struct.pack("<HHHH", row, column, 15, len(b)) + b
    if runs is not None:
        data += struct.pack("<B", len(runs)) + b"".join(struct.pack("<BB", *r) for r in runs)
    return rec(kind, data)


def number(row, column, value):
    return rec(0x0203, struct.pack("<HHHd", row, column, 15, value))


def table(names_row):
    return names_row + b"".join(number(r, c, v) for r, c, v in
                                [(1, 0, 1), (1, 1, 12.5), (2, 0, 2), (2, 1, 14)])


rich = table(label(0, 0, "group") + label(0, 1, "score", kind=0x00D6, runs=[(0, 5), (2, 6)]))
with open("excel95_rich_text.xls", "wb") as f:
    f.write(workbook([("trial", dimensions(3, 2) + rich)]))
utf8 = table(label(0, 0, "gruppe", "utf-8") + label(0, 1, "größe", "utf-8"))
with open("excel95_utf8_names.xls", "wb") as f:
    f.write(workbook([("Übersicht", dimensions(3, 2) + utf8)], 65001, "utf-8"))
with open("excel95_no_data_rows.xls", "wb") as f:
    f.write(workbook([("trial", dimensions(0, 0) + label(0, 0, "group") + label(0, 1, "score"))]))
