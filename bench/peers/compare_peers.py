#!/usr/bin/python3
"""What users script instead of the comparer, timed on the same workbook as bench_compare.

    /usr/bin/python3 bench/peers/compare_peers.py openpyxl|pandas <workbook.xlsx> <output.xlsx>

Both count, for each data row of the first two sheets, how often its column B value occurs in
the other sheet's column B, and write the counts into a new first column; the title row stays.
openpyxl keeps the cells' formats but moves no formula (their references go stale); pandas
writes values only (formats and formulas lost). Needs python3-openpyxl and python3-pandas.
"""
import collections
import sys
import time


def with_openpyxl(source, target):
    import openpyxl
    book = openpyxl.load_workbook(source)
    left, right = book.worksheets[0], book.worksheets[1]
    keys = [[row[0] for row in sheet.iter_rows(min_row=2, min_col=2, max_col=2, values_only=True)]
            for sheet in (left, right)]
    counts = [collections.Counter(keys[1]), collections.Counter(keys[0])]
    for sheet, own, other in ((left, keys[0], counts[0]), (right, keys[1], counts[1])):
        sheet.insert_cols(1)
        for row, key in enumerate(own, start=2):
            sheet.cell(row=row, column=1, value=other[key])
    book.save(target)


def with_pandas(source, target):
    import pandas
    sheets = pandas.read_excel(source, sheet_name=None)
    names = list(sheets)
    left, right = sheets[names[0]], sheets[names[1]]
    key = left.columns[1]
    left.insert(0, "count", left[key].map(right[key].value_counts()).fillna(0).astype(int))
    right.insert(0, "count", right[key].map(left[key].value_counts()).fillna(0).astype(int))
    with pandas.ExcelWriter(target) as writer:
        for name, frame in sheets.items():
            frame.to_excel(writer, sheet_name=name, index=False)


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("openpyxl", "pandas"):
        sys.exit(__doc__)
    started = time.perf_counter()
    cpu = time.process_time()
    (with_openpyxl if sys.argv[1] == "openpyxl" else with_pandas)(sys.argv[2], sys.argv[3])
    print("%s: wall %.3f s, cpu %.3f s" % (sys.argv[1], time.perf_counter() - started, time.process_time() - cpu))


if __name__ == "__main__":
    main()
