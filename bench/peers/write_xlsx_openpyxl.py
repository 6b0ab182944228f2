"""Writes the benchmark sheet (corvane_benchdata sheet FILE: a names line, then numbers and a
text column) as openpyxl writes it, in its streaming write-only mode.

usage: write_xlsx_openpyxl.py TABLE OUT.xlsx"""

import sys

import openpyxl


def main():
    table, out = sys.argv[1], sys.argv[2]
    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet("data")
    with open(table, encoding="ascii") as f:
        sheet.append(f.readline().split())
        for line in f:
            fields = line.split()
            sheet.append([float(x) for x in fields[:-1]] + [fields[-1]])
    book.save(out)


if __name__ == "__main__":
    main()
