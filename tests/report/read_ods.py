# Prints every table of an ODS spreadsheet as JSON, read by odfpy:
# [[name, [[cell, ...], ...]], ...], floats as numbers and dates as
# "date:<ISO value>".
import json
import sys

from odf.namespaces import OFFICENS
from odf.opendocument import load
from odf.table import Table, TableCell, TableRow

doc = load(sys.argv[1])
out = []
for table in doc.spreadsheet.getElementsByType(Table):
    rows = []
    for tr in table.getElementsByType(TableRow):
        row = []
        for cell in tr.getElementsByType(TableCell):
            kind = cell.attributes.get((OFFICENS, "value-type"))
            if kind == "float":
                row.append(float(cell.attributes[(OFFICENS, "value")]))
            elif kind == "date":
                row.append("date:" + cell.attributes[(OFFICENS, "date-value")])
            else:
                row.append(str(cell))
        rows.append(row)
    out.append([table.getAttribute("name"), rows])
print(json.dumps(out))
