#!/usr/bin/python3
"""Writes the Humboldt test workbooks as flat OpenDocument spreadsheets and has LibreOffice save
them as .xls and .xlsx, with the formulas' results (error values included) as a spreadsheet
program leaves them. Run on a developer machine with LibreOffice installed, from this folder:

    /usr/bin/python3 workbook_sources.py

The encrypted .xls is saved through LibreOffice's UNO bridge (Debian's python3-uno); the
hand-made OLE2 files through libgsf's introspection data (gir1.2-gsf-1, python3-gi).

Cells: a number is a number, a str starting with "=" an OpenDocument formula, True/False a
boolean, ("date", "YYYY-MM-DD") a date, any other str a text.
"""

import os
import re
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape, quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))


def reference(name):
    letters, digits = re.fullmatch(r"([A-Z]+)(\d+)", name).groups()
    column = 0
    for c in letters:
        column = column * 26 + ord(c) - 64
    return int(digits), column


# --- The workbooks ------------------------------------------------------------------------

# Every kind of cell the readers must tell apart; the same book is saved in both formats.
CELLS = {
    "Values": {
        "A1": "Plain text", "A2": 42, "A3": 0.25, "A4": 1234.5678, "A5": -3, "A6": 1.5e20,
        "A7": ("date", "2024-01-05"), "A8": True, "A9": "=1/0", "A10": "=NA()",
        "A11": '="a"+1', "A12": "=SQRT(-1)", "A13": "=2*3", "A14": '="ab"&"cd"',
        "A15": "=1<2", "A16": '=""', "A17": "Déjà vu – 5 €", "A18": "Ωmega 😀",
        "A19": '=REPT("x";9000)', "A20": "0123456789" * 900 + "Ω", "A21": "=[.A3]*4",
        "A22": "=1/3", "A23": "=NOSUCHFUNCTION(1)", "A24": False, "A25": "=[.A1:.A2] ! [.B3:.B4]",
        "B1": 10, "C1": 20.5, "D1": 30, "E1": 40, "F1": 50, "Z300": "far",
    },
    "Prüfung": {"A1": "=$Values.A2*2", "B2": "second sheet"},
}

# Direct Shear: sheet 1 general, sheet 2 the summary with one column group per specimen (check
# cells C27, E27, G27 filled, I27 zero), sheets 3 to 6 the specimens (the fourth not read).
# Reading table at B12, columns B to F, headings in row 7, units in row 10.
def direct_shear():
    summary = {
        "A1": "Direct Shear Test Summary", "B2": "Humboldt Lab", "E1": "Job 17",
        "B3": "Client: Rivière Dam", "B4": "Boring B-2", "C24": "Silty sand",
        "B5": "Project Name", "C5": "Rivière Dam", "B7": "Rate of Strain", "C7": 0.05,
        "B8": "Project No", "C8": "P-1042", "B9": "Sample Location", "C9": "Station 3",
        "B14": "Normal Stress (psi)", "C14": 10, "B15": "Area", "C15": 4.91,
        "B16": "Normal Stress (psi)", "C16": 20, "B17": "Area", "C17": 4.91,
        "B18": "Normal Stress (psi)", "C18": 40, "B19": "Area", "C19": 4.91,
        "B20": "Normal Stress (psi)", "C20": 80,
        "B23": "Tested by", "B25": "Operator", "C25": "J. Doe", "D25": "checked",
        "B26": "Height", "C26": 1, "E26": 1.02, "G26": 0.98,
        "B27": "Diameter", "C27": 2.5, "E27": "=[.C27]", "G27": 2.5, "I27": 0,
        "B31": "Weight", "C31": 120.5, "E31": 121, "G31": "=1/0",
        "B45": "Sample Description", "C45": "Brown silt", "E45": "Grey silt", "G45": "Tan silt",
        "B48": "Cohesion", "C48": 1.25, "D48": "psi", "E48": 1.3, "F48": "psi", "G48": 1.1,
        "B50": "Friction angle", "C50": 31, "B51": "Void ratio", "C51": 0.61,
        "B52": "Saturation", "C52": 0.98,
    }
    info = {"G35": "Time to failure", "J35": 5.5, "K35": 6.5, "L35": 7.5}

    def specimen(letter, first_load):
        sheet = {
            "B1": f"Remarks {letter}", "B3": f"Specimen {letter}", "B4": "Undisturbed",
            "B7": "Reading", "C7": "Time (min)", "D7": "Shear Load", "E7": "Horizontal",
            "F7": "Vertical", "D10": "(lbs)", "E10": "(in)", "F10": "(in)",
        }
        for i in range(5):
            row = 12 + i
            sheet[f"B{row}"] = i
            sheet[f"C{row}"] = i * 0.5
            sheet[f"D{row}"] = first_load + 10 * i if i != 2 else f"=[.D{row - 1}]+10"
            sheet[f"E{row}"] = round(0.01 * i, 2)
            sheet[f"F{row}"] = round(-0.001 * i, 3)
        return sheet

    return {
        "General": info, "Summary": summary, "Spec A": specimen("A", 0),
        "Spec B": specimen("B", 5), "Spec C": specimen("C", 7), "Spec D": specimen("D", 9),
    }


# Unconfined Compression: the specimen on sheet 2 with its header cells; sheet 3's check cell
# G21 is empty, so one specimen. Readings from row 37: columns C, D, E, F, G filled so that
# both increments (C, E, G and C, G, F) find values; C39 is a division error and E40 says
# "specimen", which turns the row after it into zeros.
def unconfined():
    sheet = {
        "B3": "Unconfined Compression", "H2": "Job 8", "B4": "Sample 1", "B5": "Depth 2 ft",
        "B6": "Lab", "B15": "Remarks none", "D8": "Project Name", "E8": "Levee",
        "D9": "Project No", "E9": "L-7", "D21": "Diameter (in)", "G21": 1.4,
        "D22": "Height (in)", "G22": 2.8, "B30": "Failure at 3 %", "B29": "unused",
        "C34": "Reading", "E34": "Load", "G34": "Strain", "E35": "(lbs)", "G35": "(%)",
        "C37": 0, "D37": 0.1, "E37": 0, "F37": 0.2, "G37": 0,
        "C38": 1, "D38": 1.1, "E38": 15, "F38": 1.2, "G38": 0.5,
        "C39": "=1/0", "D39": 2.1, "E39": 30, "F39": 2.2, "G39": 1,
        "C40": 3, "D40": 3.1, "E40": 40, "F40": 3.2, "G40": "specimen cracked",
        "C41": 4, "D41": 4.1, "E41": 41, "F41": 4.2, "G41": 2,
        "C42": 5, "D42": 5.1, "E42": 42, "F42": 5.2, "G42": 2.5,
    }
    return {"Cover": {"A1": "Humboldt UC"}, "Specimen 1": sheet, "Notes": {"A1": "none"}}


# Unconsolidated Undrained: specimens on sheets 4 and 5, sheet 6's check cell empty. Labels in
# column D with values in E (fields 5 and 6) and G (fields 12 and 14), as the full-transfer
# header reader finds them. Readings from row 42: C the reading, D deformation, E load.
def unconsolidated():
    def specimen(number, cell_pressure, loads):
        sheet = {
            "B3": "Unconsolidated Undrained", "H2": "Job 9", "B4": f"Specimen {number}",
            "B5": "Depth 4 ft", "B6": "Lab", "B15": "Remarks", "B29": "Notes",
            "D8": "Project Name", "E8": "Canal", "D9": "Project No", "E9": "C-12",
            "D10": "Sample Location", "E10": "Pit 4", "D11": "Sample Description",
            "E11": "Grey clay", "D12": "Cell Pressure (psi)", "E12": cell_pressure,
            "D13": "Rate of Strain", "E13": 1, "D17": "Specific Gravity", "E17": 2.7,
            "D21": "Diameter (in)", "G21": 1.4, "D22": "Height (in)", "G22": 2.8,
            "D23": "Weight", "G23": 98.6, "C38": "Reading", "E38": "Load", "D38": "Deformation",
            "E40": "(lbs)", "D40": "(in)",
        }
        for i, load in enumerate(loads):
            row = 42 + i
            sheet[f"C{row}"] = i
            sheet[f"D{row}"] = round(0.02 * i, 2)
            sheet[f"E{row}"] = load
        return sheet

    return {
        "Cover": {"A1": "Humboldt UU"}, "Data": {}, "Notes": {},
        "Specimen 1": specimen(1, 5, [0, 12, 25, 31, 30]),
        "Specimen 2": specimen(2, 10, [0, 20, 38, 44, "=[.E45]-2"]),
        "Graph": {"A1": "graph data"},
    }


SMALL = {"Sheet1": {"A1": "secret", "A2": 1}}

BOOKS = {
    "workbook_cells": (CELLS, ["xls", "xlsx"]),
    "workbook_direct_shear": (direct_shear(), ["xls", "xlsx"]),
    "workbook_unconfined": (unconfined(), ["xlsx"]),
    "workbook_unconsolidated": (unconsolidated(), ["xls"]),
}

# --- Flat OpenDocument ----------------------------------------------------------------------


def cell_xml(value):
    if isinstance(value, bool):
        v = "true" if value else "false"
        return f'<table:table-cell office:value-type="boolean" office:boolean-value="{v}"/>'
    if isinstance(value, (int, float)):
        return f'<table:table-cell office:value-type="float" office:value="{value!r}"/>'
    if isinstance(value, tuple):
        return ('<table:table-cell table:style-name="date" office:value-type="date" '
                f'office:date-value="{value[1]}"/>')
    if value.startswith("="):
        return f"<table:table-cell table:formula={quoteattr('of:' + value)}/>"
    return (f'<table:table-cell office:value-type="string"><text:p>{escape(value)}</text:p>'
            "</table:table-cell>")


def table_xml(name, cells):
    rows = {}
    for ref, value in cells.items():
        r, c = reference(ref)
        rows.setdefault(r, {})[c] = value
    out = [f"<table:table table:name={quoteattr(name)}>"]
    last_row = 0
    for r in sorted(rows):
        if r - last_row > 1:
            out.append(f'<table:table-row table:number-rows-repeated="{r - last_row - 1}">'
                       "<table:table-cell/></table:table-row>")
        out.append("<table:table-row>")
        last_col = 0
        for c in sorted(rows[r]):
            if c - last_col > 1:
                out.append(f'<table:table-cell table:number-columns-repeated="{c - last_col - 1}"/>')
            out.append(cell_xml(rows[r][c]))
            last_col = c
        out.append("</table:table-row>")
        last_row = r
    if not rows:
        out.append("<table:table-row><table:table-cell/></table:table-row>")
    out.append("</table:table>")
    return "".join(out)


def fods(book):
    tables = "".join(table_xml(name, cells) for name, cells in book.items())
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
 <number:date-style style:name="N1"><number:year number:style="long"/><number:text>-</number:text>
 <number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/>
 </number:date-style>
 <style:style style:name="date" style:family="table-cell" style:data-style-name="N1"/>
</office:automatic-styles>
<office:body><office:spreadsheet>{tables}</office:spreadsheet></office:body></office:document>
"""


FILTERS = {"xls": "xls:MS Excel 97", "xlsx": "xlsx:Calc MS Excel 2007 XML"}


def save_compound_file(name, streams):
    """An OLE2 compound file with the given streams, written by libgsf (gir1.2-gsf-1)."""
    import gi
    gi.require_version("Gsf", "1")
    from gi.repository import Gsf
    out = Gsf.OutputStdio.new(os.path.join(HERE, name))
    ole = Gsf.OutfileMSOle.new(out)
    for stream, data in streams.items():
        child = ole.new_child(stream, False)
        child.write(data)
        child.close()
    ole.close()


# LibreOffice no longer saves Excel 5.0/95 files, nor encrypts .xlsx: these two are written as
# the containers those programs make, with just enough inside to be recognised. A BIFF5
# workbook is a "Book" stream (globals BOF of version 0x0500, EOF); an encrypted .xlsx is an
# OLE2 file holding "EncryptionInfo" and "EncryptedPackage" instead of a zip.
def save_handmade():
    bof5 = bytes.fromhex("0908 0800 0005 0500 0000 0000")
    save_compound_file("workbook_excel95.xls", {"Book": bof5 + bytes.fromhex("0a00 0000")})
    info = bytes.fromhex("0400 0400 4000 0000") + b'<?xml version="1.0"?><encryption/>'
    package = (1234).to_bytes(8, "little") + bytes(range(256)) * 5
    save_compound_file("workbook_encrypted.xlsx",
                       {"EncryptionInfo": info, "EncryptedPackage": package})


# Saved with the password "plovix": BIFF8 with a FILEPASS record.
ENCRYPTED = {"workbook_encrypted.xls": "MS Excel 97"}


def save_encrypted(work, profile):
    import time
    import uno
    from com.sun.star.beans import PropertyValue

    def prop(name, value):
        p = PropertyValue()
        p.Name, p.Value = name, value
        return p

    source = os.path.join(work, "workbook_encrypted.fods")
    with open(source, "w", encoding="utf-8") as f:
        f.write(fods(SMALL))
    office = subprocess.Popen(["soffice", f"-env:UserInstallation={profile}", "--headless",
                               "--norestore", "--accept=pipe,name=plovixfixtures;urp;"])
    try:
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        for _ in range(120):
            try:
                context = resolver.resolve(
                    "uno:pipe,name=plovixfixtures;urp;StarOffice.ComponentContext")
                break
            except Exception:
                time.sleep(0.5)
        desktop = context.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.Desktop", context)
        doc = desktop.loadComponentFromURL(uno.systemPathToFileUrl(source), "_blank", 0,
                                           (prop("Hidden", True),))
        for name, filter_name in ENCRYPTED.items():
            doc.storeToURL(uno.systemPathToFileUrl(os.path.join(HERE, name)),
                           (prop("FilterName", filter_name), prop("Password", "plovix")))
        doc.close(True)
        try:
            desktop.terminate()
        except Exception:
            pass
    finally:
        office.wait(timeout=60)


def main():
    with tempfile.TemporaryDirectory() as work:
        profile = "file://" + os.path.join(work, "profile")
        for name, (book, formats) in BOOKS.items():
            source = os.path.join(work, name + ".fods")
            with open(source, "w", encoding="utf-8") as f:
                f.write(fods(book))
            for fmt in formats:
                subprocess.run(["soffice", f"-env:UserInstallation={profile}", "--headless",
                                "--convert-to", FILTERS[fmt], "--outdir", HERE, source],
                               check=True, stdout=sys.stderr)
        save_encrypted(work, profile)
    save_handmade()


if __name__ == "__main__":
    main()
