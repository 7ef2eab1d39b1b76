#!/usr/bin/python3
"""Reads an .xls workbook with xlrd (not LibreOffice) and prints what the
office tests check as JSON: sheet names, and for the first sheet every cell
with its type, value, font and borders (--values-only: type and value), the merged areas and column widths."""
import json
import sys

import xlrd

TYPES = {xlrd.XL_CELL_EMPTY: "empty", xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number",
         xlrd.XL_CELL_DATE: "date", xlrd.XL_CELL_BOOLEAN: "boolean", xlrd.XL_CELL_ERROR: "error",
         xlrd.XL_CELL_BLANK: "blank"}


def cell_info(book, cell):
    xf = book.xf_list[cell.xf_index]
    font = book.font_list[xf.font_index]
    b = xf.border
    return {
        "type": TYPES.get(cell.ctype, str(cell.ctype)),
        "value": cell.value,
        "font": {"name": font.name, "height": font.height, "weight": font.weight, "italic": bool(font.italic)},
        "border": [b.top_line_style, b.bottom_line_style, b.left_line_style, b.right_line_style],
        "format": book.format_map[xf.format_key].format_str,
    }


def main(path, values_only):
    book = xlrd.open_workbook(path, formatting_info=True)
    sheet = book.sheet_by_index(0)
    cells = {}
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_EMPTY:
                continue
            if values_only:
                cells[xlrd.cellname(r, c)] = {"type": TYPES.get(cell.ctype), "value": cell.value}
            else:
                cells[xlrd.cellname(r, c)] = cell_info(book, cell)
    print(json.dumps({
        "sheets": book.sheet_names(),
        "rows": sheet.nrows,
        "columns": sheet.ncols,
        "cells": cells,
        "merged": sorted(xlrd.cellname(r0, c0) + ":" + xlrd.cellname(r1 - 1, c1 - 1)
                         for r0, r1, c0, c1 in sheet.merged_cells),
        "widths": {xlrd.colname(c): info.width for c, info in sheet.colinfo_map.items()},
    }, ensure_ascii=False))


if __name__ == "__main__":
    main(sys.argv[-1], "--values-only" in sys.argv[1:-1])
