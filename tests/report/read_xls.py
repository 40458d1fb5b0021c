# Prints every sheet of an XLS workbook as JSON, read by xlrd:
# [[name, [[cell, ...], ...]], ...], numbers as numbers and dates as
# "date:Y-M-D h:m". With a second argument N, only the row count and the
# cells of the rows listed after it are printed.
import json
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1])
wanted = [int(r) for r in sys.argv[2:]]


def cell_value(sheet, r, c):
    cell = sheet.cell(r, c)
    if cell.ctype == xlrd.XL_CELL_DATE:
        t = xlrd.xldate_as_tuple(cell.value, book.datemode)
        return "date:%d-%02d-%02d %02d:%02d" % t[:5]
    return cell.value


out = []
for sheet in book.sheets():
    rows = [r for r in (wanted or range(sheet.nrows)) if r < sheet.nrows]
    cells = [[cell_value(sheet, r, c) for c in range(sheet.ncols)] for r in rows]
    out.append([sheet.name, cells, sheet.nrows])
print(json.dumps(out))
