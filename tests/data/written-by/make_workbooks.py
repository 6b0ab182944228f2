# The trial data set of the spreadsheet import tests as openpyxl, pandas with odfpy and xlwt
# write it (Debian: python3-openpyxl, python3-pandas, python3-odf, python3-xlwt).
import datetime
import re
import zipfile

import numpy as np
import openpyxl
import pandas as pd
import xlwt

d = pd.DataFrame(
    {
        "group": [1, 1, 2, 2],
        "arm": ["control", "control", "treated", "treated"],
        "score": [12.5, 14, np.nan, 11.25],
        "visit": [datetime.date(2024, 3, day) for day in (1, 2, 3, 4)],
    }
)
with pd.ExcelWriter("pandas_trial.ods", engine="odf") as w:
    d.to_excel(w, sheet_name="trial", index=False)
    pd.DataFrame({"x": [1, 2]}).to_excel(w, sheet_name="notes", index=False)

# openpyxl by hand: shared and inline strings, a custom date format, a sparse second sheet.
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "trial"
ws.append(list(d.columns))
for row in d.itertuples(index=False):
    ws.append([row.group, row.arm, None if np.isnan(row.score) else row.score, row.visit])
for r in range(2, 6):
    ws.cell(row=r, column=4).number_format = "dd/mm/yyyy"
notes = wb.create_sheet("notes")
notes["B3"] = 7
wb.save("openpyxl_trial.xlsx")

book = xlwt.Workbook()
sheet = book.add_sheet("trial")
dates = xlwt.easyxf(num_format_str="yyyy-mm-dd")
for c, name in enumerate(d.columns):
    sheet.write(0, c, name)
for r, row in enumerate(d.itertuples(index=False), start=1):
    sheet.write(r, 0, int(row.group))
    sheet.write(r, 1, row.arm)
    if not np.isnan(row.score):
        sheet.write(r, 2, row.score)
    sheet.write(r, 3, row.visit, dates)
book.add_sheet("notes").write(0, 0, "x")
book.save("xlwt_trial.xls")

# An empty row inside the table: a case whose cells are missing, never the end of the table.
book = xlwt.Workbook()
sheet = book.add_sheet("scores")
for r, row in enumerate([("group", "score"), (1, 10.5), (1, 11), None, (2, 14), (2, 15.5)]):
    for c, value in enumerate(row or ()):
        sheet.write(r, c, value)
book.save("xlwt_empty_row.xls")

# The trial data set starting at C3, below two empty rows and right of two empty columns: the
# table starts at its first row and column with a cell, as readxl reads it.
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "trial"
for c, name in enumerate(d.columns):
    ws.cell(row=3, column=3 + c, value=name)
for r, row in enumerate(d.itertuples(index=False), start=4):
    values = [row.group, row.arm, None if np.isnan(row.score) else row.score, row.visit]
    for c, value in enumerate(values):
        ws.cell(row=r, column=3 + c, value=value)
    ws.cell(row=r, column=6).number_format = "yyyy-mm-dd"
wb.save("openpyxl_offset.xlsx")

with pd.ExcelWriter("pandas_offset.ods", engine="odf") as w:
    d.to_excel(w, sheet_name="trial", index=False, startrow=2, startcol=2)

book = xlwt.Workbook()
sheet = book.add_sheet("trial")
for c, name in enumerate(d.columns):
    sheet.write(2, 2 + c, name)
for r, row in enumerate(d.itertuples(index=False), start=3):
    sheet.write(r, 2, int(row.group))
    sheet.write(r, 3, row.arm)
    if not np.isnan(row.score):
        sheet.write(r, 4, row.score)
    sheet.write(r, 5, row.visit, dates)
book.save("xlwt_offset.xls")


# openxlsx's trial workbook with its workbook part moved to the package's root, where its
# relationships then point: the parts are found through the relationships, not by their names.
def move_workbook_to_root(source, target):
    with zipfile.ZipFile(source) as old, zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as new:
        for item in old.infolist():
            data = old.read(item.filename)
            name = item.filename
            if name == "xl/workbook.xml":
                name = "workbook.xml"
            elif name == "xl/_rels/workbook.xml.rels":
                name = "_rels/workbook.xml.rels"
                data = re.sub(rb'Target="(?!/)', b'Target="xl/', data)
            elif name == "_rels/.rels":
                data = data.replace(b'Target="xl/workbook.xml"', b'Target="workbook.xml"')
            elif name == "[Content_Types].xml":
                data = data.replace(b'PartName="/xl/workbook.xml"', b'PartName="/workbook.xml"')
            new.writestr(name, data)


move_workbook_to_root("openxlsx_trial.xlsx", "openxlsx_root_workbook.xlsx")
