#!/usr/bin/env python3
"""Reads a workbook with openpyxl, an independent reader, and prints what the
tests compare as JSON: sheets, protection, names, merges, widths, the
selection and every cell the reader knows with its value and formats."""
import json
import sys

try:
    import openpyxl
    from openpyxl.utils import get_column_letter
except ImportError:
    print("python3-openpyxl is not installed (Debian package python3-openpyxl; scripts/setup.sh installs it)",
          file=sys.stderr)
    sys.exit(3)


def colour(c):
    if c is None or c.type != "rgb":
        return None
    return c.rgb


def cell_facts(cell):
    border = cell.border
    sides = [border.left, border.right, border.top, border.bottom]
    return {
        "type": cell.data_type,
        "value": cell.value,
        "bold": bool(cell.font.b),
        "horizontal": cell.alignment.horizontal,
        "vertical": cell.alignment.vertical,
        "wrap": bool(cell.alignment.wrap_text),
        "fill": colour(cell.fill.fgColor) if cell.fill.fill_type == "solid" else None,
        "borders": [s.style for s in sides],
        "borderColours": [colour(s.color) for s in sides],
        "format": cell.number_format,
        "locked": bool(cell.protection.locked),
    }


def widths(ws):
    out = {}
    for dim in ws.column_dimensions.values():
        if dim.width and dim.customWidth:
            for n in range(dim.min, dim.max + 1):
                out[get_column_letter(n)] = dim.width
    return out


def sheet_facts(ws):
    selection = ws.sheet_view.selection
    return {
        "protected": bool(ws.protection.sheet),
        "merges": sorted(str(r) for r in ws.merged_cells.ranges),
        "widths": widths(ws),
        "selection": selection[0].activeCell if selection else None,
        "cells": {c.coordinate: cell_facts(c) for row in ws.iter_rows() for c in row if c.has_style or c.value is not None},
    }


def main():
    wb = openpyxl.load_workbook(sys.argv[1])
    names = []
    for n in wb.defined_names.definedName:
        names.append({"name": n.name, "localSheetId": n.localSheetId, "value": n.attr_text})
    out = {
        "sheets": wb.sheetnames,
        "active": wb.sheetnames.index(wb.active.title),
        "workbookLocked": bool(wb.security is not None and wb.security.lockStructure),
        "definedNames": names,
        "sheet": {ws.title: sheet_facts(ws) for ws in wb.worksheets},
    }
    json.dump(out, sys.stdout, ensure_ascii=False, default=str)


main()
