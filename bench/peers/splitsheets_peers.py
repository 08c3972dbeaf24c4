#!/usr/bin/python3
"""What users script instead of the sheet-to-files split, timed on the same workbook as bench_splitsheets.

    /usr/bin/python3 bench/peers/splitsheets_peers.py openpyxl|pandas <workbook.xlsx> <output folder>

Both write every sheet as a workbook file of its own, <sheet>.xlsx in the folder. pandas writes
values only (formats, formulas and views lost); openpyxl loads the workbook once per sheet and
removes the other sheets (formats kept; formulas pointing at other sheets break). Needs
python3-openpyxl and python3-pandas.
"""
import os
import sys
import time


def with_openpyxl(source, folder):
    import openpyxl
    names = openpyxl.load_workbook(source, read_only=True).sheetnames
    for name in names:
        book = openpyxl.load_workbook(source)
        for other in [sheet for sheet in book.worksheets if sheet.title != name]:
            book.remove(other)
        book.save(os.path.join(folder, name + ".xlsx"))


def with_pandas(source, folder):
    import pandas
    for name, frame in pandas.read_excel(source, sheet_name=None).items():
        frame.to_excel(os.path.join(folder, name + ".xlsx"), sheet_name=name, index=False)


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("openpyxl", "pandas"):
        sys.exit(__doc__)
    started = time.perf_counter()
    cpu = time.process_time()
    os.makedirs(sys.argv[3], exist_ok=True)
    (with_openpyxl if sys.argv[1] == "openpyxl" else with_pandas)(sys.argv[2], sys.argv[3])
    print("%s: wall %.3f s, cpu %.3f s" % (sys.argv[1], time.perf_counter() - started, time.process_time() - cpu))


if __name__ == "__main__":
    main()
