"""Dumps an .xlsx file as JSON for the export tests: sheets, cells, styles, widths."""
import json
import sys

import openpyxl
from openpyxl.utils import get_column_letter


def side(s):
    return s.style if s is not None and s.style is not None else ""


def main(path):
    book = openpyxl.load_workbook(path)
    out = {"sheets": []}
    for ws in book.worksheets:
        cells = {}
        for row in ws.iter_rows():
            for c in row:
                b = c.border
                cells[c.coordinate] = {
                    "value": c.value,
                    "type": c.data_type,
                    "bold": bool(c.font.b),
                    "border": [side(b.left), side(b.right), side(b.top), side(b.bottom)],
                }
        widths = {}
        for i in range(1, 40):
            letter = get_column_letter(i)
            dim = ws.column_dimensions.get(letter)
            if dim is not None and dim.customWidth:
                widths[letter] = dim.width
        out["sheets"].append({
            "name": ws.title,
            "rightToLeft": bool(ws.sheet_view.rightToLeft),
            "maxRow": ws.max_row,
            "cells": cells,
            "widths": widths,
        })
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])
