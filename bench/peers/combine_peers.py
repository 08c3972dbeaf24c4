#!/usr/bin/python3
"""What users script instead of the combiner, timed in turn with kivexcel-cli on the workbooks of
bench_combine, each run on fresh copies; the median of the repeats is printed.

    /usr/bin/python3 bench/peers/combine_peers.py <build folder> [repeats, 3] [sheets|files]

Jobs: the 12 sheets x 10,000 rows of one workbook into a new sheet 合并 saved in the workbook
(combine-sheets), and 30 files x 2,000 rows into a new workbook, every sheet a sheet of it
(combine-files) or stacked into one sheet with the file's name first (combine-files --stack).
Every time is the wall clock of the whole process, the office's start included for the toolbox.
pandas concatenates the values (formats and formulas lost in what it writes); openpyxl copies
values and cell formats, and formulas as their text, whose references go stale where cells moved
(and whose defined names a new workbook lacks). Needs python3-openpyxl and python3-pandas.
"""
from copy import copy as shallow_copy
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

SOURCE = "来源"


def sheets_pandas(book):
    import pandas
    frames = pandas.read_excel(book, sheet_name=None)
    combined = pandas.concat(frames.values(), ignore_index=True)
    with pandas.ExcelWriter(book, engine="openpyxl", mode="a") as writer:
        combined.to_excel(writer, sheet_name="合并", index=False)


def copy_row(cells, target, row, first_column=1):
    """Values and formats; into another workbook a format goes as its font, fill, border and so on."""
    same_book = cells and cells[0].parent.parent is target.parent
    for offset, cell in enumerate(cells):
        copy = target.cell(row=row, column=first_column + offset, value=cell.value)
        if not cell.has_style:
            continue
        if same_book:
            copy._style = cell._style
            continue
        for part in ("font", "fill", "border", "alignment", "protection"):
            setattr(copy, part, shallow_copy(getattr(cell, part)))
        copy.number_format = cell.number_format


def sheets_openpyxl(book):
    import openpyxl
    workbook = openpyxl.load_workbook(book)
    sources = list(workbook.worksheets)
    combined = workbook.create_sheet("合并", 0)
    row = 1
    for index, sheet in enumerate(sources):
        for cells in sheet.iter_rows(min_row=1 if index == 0 else 2):
            copy_row(cells, combined, row)
            row += 1
    workbook.save(book)


def files_pandas(folder, result, stack):
    import pandas
    frames = []
    for name in sorted(os.listdir(folder)):
        for sheet, frame in pandas.read_excel(os.path.join(folder, name), sheet_name=None).items():
            frames.append((name, sheet, frame))
    with pandas.ExcelWriter(result) as writer:
        if stack:
            combined = pandas.concat([frame.assign(**{SOURCE: name}) for name, _, frame in frames], ignore_index=True)
            combined = combined[[SOURCE] + [c for c in combined.columns if c != SOURCE]]
            combined.to_excel(writer, sheet_name=frames[0][1], index=False)
        else:
            for name, sheet, frame in frames:
                frame.to_excel(writer, sheet_name=(os.path.splitext(name)[0] + "-" + sheet)[:31], index=False)


def files_openpyxl(folder, result, stack):
    import openpyxl
    workbook = openpyxl.Workbook()
    workbook.remove(workbook.active)
    stacked = None
    row = 1
    for name in sorted(os.listdir(folder)):
        for sheet in openpyxl.load_workbook(os.path.join(folder, name)).worksheets:
            if not stack:
                target = workbook.create_sheet((os.path.splitext(name)[0] + "-" + sheet.title)[:31])
                for number, cells in enumerate(sheet.iter_rows(), start=1):
                    copy_row(cells, target, number)
                continue
            if stacked is None:
                stacked = workbook.create_sheet(sheet.title)
            for number, cells in enumerate(sheet.iter_rows(min_row=1 if row == 1 else 2)):
                stacked.cell(row=row, column=1, value=SOURCE if row == 1 else name)
                copy_row(cells, stacked, row, 2)
                row += 1
    workbook.save(result)


def timed(command):
    started = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - started


def fresh(source, copy):
    if os.path.isdir(copy):
        shutil.rmtree(copy)
    elif os.path.exists(copy):
        os.remove(copy)
    (shutil.copytree if os.path.isdir(source) else shutil.copyfile)(source, copy)
    return copy


PEERS = ("pandas-sheets", "openpyxl-sheets", "pandas-files", "openpyxl-files", "pandas-files-stack",
         "openpyxl-files-stack")


def main():
    if len(sys.argv) > 1 and sys.argv[1] in PEERS:
        return run_peer(sys.argv[1:])
    if len(sys.argv) not in (2, 3, 4) or sys.argv[1].startswith("-"):
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[1])
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    only = sys.argv[3] if len(sys.argv) > 3 else ""
    cli = os.path.join(build, "kivexcel-cli")
    bench = os.path.join(build, "bench", "bench_combine")
    me = [sys.executable, os.path.abspath(__file__)]
    with tempfile.TemporaryDirectory() as work:
        book = os.path.join(work, "sheets.xlsx")
        folder = os.path.join(work, "files")
        if only != "files":
            subprocess.run([bench, "--generate", "sheets", book, "12", "10000"], check=True)
        if only != "sheets":
            subprocess.run([bench, "--generate", "files", folder, "30", "2000"], check=True)
        copy = os.path.join(work, "copy.xlsx")
        copies = os.path.join(work, "copies")
        result = os.path.join(work, "result.xlsx")
        jobs = {
            "combine-sheets": {
                "kivexcel-cli": lambda: [cli, "combine-sheets", fresh(book, copy), "--quiet"],
                "pandas": lambda: me + ["pandas-sheets", fresh(book, copy)],
                "openpyxl": lambda: me + ["openpyxl-sheets", fresh(book, copy)],
            },
        }
        for stack in (False, True):
            flag = ["--stack"] if stack else []
            mode = "-stack" if stack else ""
            jobs["combine-files" + (" --stack" if stack else "")] = {
                "kivexcel-cli": lambda flag=flag: [cli, "combine-files", "--folder", fresh(folder, copies), "--out",
                                                   fresh_result(result), "--quiet"] + flag,
                "pandas": lambda mode=mode: me + ["pandas-files" + mode, fresh(folder, copies), fresh_result(result)],
                "openpyxl": lambda mode=mode: me + ["openpyxl-files" + mode, fresh(folder, copies),
                                                    fresh_result(result)],
            }
        for job, runners in jobs.items():
            if only and not job.startswith("combine-" + only):
                continue
            times = {name: [] for name in runners}
            for _ in range(repeats):
                for name, command in runners.items():
                    times[name].append(timed(command()))
            print(job + ": " + "; ".join("%s %.2f s" % (name, statistics.median(values))
                                         for name, values in times.items()), flush=True)


def fresh_result(path):
    if os.path.exists(path):
        os.remove(path)
    return path


def run_peer(arguments):
    job = arguments[0]
    if job == "pandas-sheets":
        sheets_pandas(arguments[1])
    elif job == "openpyxl-sheets":
        sheets_openpyxl(arguments[1])
    elif job.startswith("pandas-files"):
        files_pandas(arguments[1], arguments[2], job.endswith("-stack"))
    elif job.startswith("openpyxl-files"):
        files_openpyxl(arguments[1], arguments[2], job.endswith("-stack"))


if __name__ == "__main__":
    main()
