// Column split: the whole run against the office's own load + store of the result, and against
// the one-cell-per-call way of splitting; report workbooks with formulas, merged titles, styles and
// Chinese texts; the size of the result against the source; the office's peak memory.
//
// Build and run (one command):
//   bash scripts/build.sh && QT_QPA_PLATFORM=offscreen build/bench/bench_splitcolumn
// Optional arguments: <data rows for the floor comparison, 100000> <data rows for the per-cell
// comparison, 10000> <data rows for the report workbooks, 20000> <data rows split by 50 and by 500
// values, 20000>; 0 leaves a part out. --generate <path> <rows> <values> only writes such a
// workbook (sheet "Data", the values in column B).
//
// Goals: the run at most 2 x the floor at 100,000 rows; at least 20 x faster than the per-cell
// path at 10,000 rows; a report workbook with formulas (and one with rows of their own height,
// hidden rows and a merged note) split at most 3 x the floor at 20,000 rows and about 7 values;
// 500 values at most 5 x the time of 50 on the same rows; every result at
// most 2.2 x the size of its source. The two paths' workbooks are compared sheet by sheet as well.

#include "common/dialogs.h"
#include "bench/support/benchutil.h"
#include "automation/axobject.h"
#include "automation/officeentry.h"
#include "customerbook.h"
#include "formulabook.h"
#include "excelop/excelopkiv.h"
#include "tools/splitcolumn/columnsplitrun.h"
#include "tools/splitcolumn/splitsheetfromcolumn.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cstdio>
#include <limits>
#include <memory>

namespace {

constexpr int kValues = 50;
constexpr int kReferColumn = 2; // B
const QString kSheet = QStringLiteral("Data");

// A title row and `rows` data rows as users' sheets hold them (Chinese texts, styled columns, a
// formula column); column B holds one of kValues values, interleaved at random with a fixed seed,
// so every run splits the same workbook.
bool writeSourceWorkbook(const QString& path, int rows)
{
    return CustomerBook::write(path, {CustomerBook::dataSheet(kSheet, rows, 20240607, kValues)}, false);
}

// Every worksheet's used area, by name.
QMap<QString, QVariant> workbookContents(const QString& path)
{
    QMap<QString, QVariant> contents;
    ExcelOpKiv book;
    book.openWorkBook(path);
    book.openSheets();
    for (int i = 0; i < book.sheetCount(); ++i) {
        SheetEntry* entry = book.sheetAt(i);
        std::unique_ptr<AxObject> used(entry->sheet->querySubObject("UsedRange"));
        contents.insert(entry->getSheetName(), used ? used->property("Value") : QVariant());
    }
    return contents;
}

// The run as the user starts it: the window's form filled in, then "开始分割".
void runThroughWindow(const QString& path, int rows, const QString& startCell = QStringLiteral("A1"),
                      const QString& endColumn = QStringLiteral("J"))
{
    SplitSheetFromColumn window;
    window.findChild<QTextEdit*>("importFilePath")->setPlainText(path);
    window.findChild<QComboBox*>("comboBoxSheets")->addItem(kSheet);
    window.findChild<QTextEdit*>("startCellText")->setPlainText(startCell);
    window.findChild<QTextEdit*>("endCellText")
        ->setPlainText(endColumn + QString::number(startCell.mid(1).toInt() + rows));
    window.findChild<QTextEdit*>("referColText")->setPlainText(QStringLiteral("B"));
    KivMessageBox::clearShownTexts();
    window.findChild<QPushButton*>("pushButton")->click();
    const QStringList shown = KivMessageBox::shownTexts();
    if (shown.isEmpty() || !shown.first().startsWith(QStringLiteral("处理完毕")))
        std::printf("  unexpected outcome: %s\n", qPrintable(shown.join(QStringLiteral(" | "))));
}

// The split as first written: the value set gathered one cell per call, and every value's copy
// walked one cell per call, deleting each block of other rows as it ends.
void runOneCellPerCall(const QString& path, int rows)
{
    const int titleRow = 1;
    const int endRow = rows + 1;
    ExcelOpKiv book;
    book.openWorkBook(path);
    book.openSheets();
    QSet<QString> values;
    SheetEntry* source = book.findSheet(kSheet);
    for (int r = titleRow + 1; r <= endRow; ++r)
        values.insert(source->getCellValue(r, kReferColumn));
    for (const QString& value : qAsConst(values)) {
        SheetEntry* copy = book.findSheet(book.copySheet(kSheet, value));
        int currentRow = titleRow + 1;
        int blockStart = 0;
        int blockLength = 0;
        for (int i = titleRow + 1; i <= endRow; ++i) {
            const QString text = copy->getCellValue(currentRow, kReferColumn);
            if (text != value) {
                if (blockLength == 0)
                    blockStart = currentRow;
                ++blockLength;
            }
            if ((text == value || i == endRow) && blockLength != 0) {
                copy->deleteRows(blockStart, blockStart + blockLength - 1);
                blockLength = 0;
                currentRow = blockStart + 1;
            } else {
                ++currentRow;
            }
        }
    }
    book.saveWorkbook();
}

double loadAndStoreSeconds(const QString& path)
{
    return benchutil::secondsOf([&] {
        ExcelOpKiv book;
        book.openWorkBook(path);
        book.saveWorkbook();
    });
}

bool copyFresh(const QString& from, const QString& to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

// The office's peak resident memory (VmHWM of soffice.bin) in MiB, 0 when unknown; the peak can
// be set back to the present use so each case shows its own.
double officePeakMiB()
{
    QFile status(QStringLiteral("/proc/%1/status").arg(OfficeServer::officeProcessForTests()));
    if (OfficeServer::officeProcessForTests() <= 0 || !status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void resetOfficePeak()
{
    QFile clear(QStringLiteral("/proc/%1/clear_refs").arg(OfficeServer::officeProcessForTests()));
    if (OfficeServer::officeProcessForTests() > 0 && clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void printSizes(const QString& source, const QString& result)
{
    const double ratio = double(QFileInfo(result).size()) / qMax<qint64>(1, QFileInfo(source).size());
    benchutil::printLine(QStringLiteral("file size: source -> result"), QStringLiteral("%1 KiB -> %2 KiB (%3 x)")
                                                                            .arg(QFileInfo(source).size() / 1024)
                                                                            .arg(QFileInfo(result).size() / 1024)
                                                                            .arg(ratio, 0, 'f', 2));
    benchutil::printGoal(QStringLiteral("result <= 2.2 x the source's size"), ratio <= 2.2);
}

void compareWithFloor(const QString& folder, int rows)
{
    const QString source = folder + QStringLiteral("/source-%1.xlsx").arg(rows);
    const QString work = folder + QStringLiteral("/fast-%1.xlsx").arg(rows);
    if (!writeSourceWorkbook(source, rows) || !copyFresh(source, work)) {
        std::printf("could not write the %d-row workbook\n", rows);
        return;
    }
    // The memory goal is against the office's peak when it only loads the workbook, measured
    // first, while it holds little else.
    resetOfficePeak();
    {
        ExcelOpKiv book;
        book.openWorkBook(source);
    }
    const double loadPeak = officePeakMiB();
    resetOfficePeak();
    const double run = benchutil::secondsOf([&] { runThroughWindow(work, rows); });
    const double runPeak = officePeakMiB();
    loadAndStoreSeconds(work); // warm the office's file cache the same way the run found it
    const double floor = loadAndStoreSeconds(work);
    std::printf(
        "%d data rows x %d columns (Chinese texts, styles, a formula column), %d values interleaved at random\n", rows,
        int(CustomerBook::titles().size()), kValues);
    benchutil::printSeconds(QStringLiteral("whole run (open, split, save)"), run);
    benchutil::printSeconds(QStringLiteral("floor: office load + store of the result"), floor);
    benchutil::printLine(QStringLiteral("ratio"), QString::number(run / floor, 'f', 2));
    benchutil::printGoal(QStringLiteral("run <= 2 x floor"), run <= 2 * floor);
    benchutil::printLine(QStringLiteral("office peak memory during the run / loading alone"),
                         QStringLiteral("%1 MiB / %2 MiB (%3 x)")
                             .arg(runPeak, 0, 'f', 0)
                             .arg(loadPeak, 0, 'f', 0)
                             .arg(runPeak / qMax(1.0, loadPeak), 0, 'f', 2));
    benchutil::printGoal(QStringLiteral("office peak memory <= 3 x loading alone"), runPeak <= 3 * loadPeak);
    printSizes(source, work);
}

// Seven regions, as a sales report might be split.
const QStringList kRegions = {QStringLiteral("华东"), QStringLiteral("华北"), QStringLiteral("华南"),
                              QStringLiteral("西南"), QStringLiteral("西北"), QStringLiteral("东北"),
                              QStringLiteral("华中")};

// The library call on an opened workbook, block by block or as the run chooses, then the save.
double splitDirectly(const QString& path, const FormulaBook::Layout& layout, bool blockByBlock)
{
    return benchutil::secondsOf([&] {
        ExcelOpKiv book;
        book.openWorkBook(path);
        book.openSheets();
        ColumnSplitSettings settings{kSheet, FormulaBook::titleRow(), FormulaBook::lastDataRow(layout), kReferColumn,
                                     false};
        if (blockByBlock)
            settings.blocksForSortedCopy = settings.blocksForSortedCopyWithFormulas = std::numeric_limits<int>::max();
        ColumnSplitRun(book, settings).run();
        book.saveWorkbook();
    });
}

// A report workbook through the window, against the floor; the block-by-block way beside it where
// it finishes in reasonable time.
void compareReport(const QString& folder, const QString& name, const FormulaBook::Layout& layout, bool withBlockByBlock)
{
    const QString source = folder + QStringLiteral("/%1-source.xlsx").arg(name);
    const QString work = folder + QStringLiteral("/%1.xlsx").arg(name);
    if (!FormulaBook::write(source, layout) || !copyFresh(source, work)) {
        std::printf("could not write the %s workbook\n", qPrintable(name));
        return;
    }
    resetOfficePeak();
    const double run = benchutil::secondsOf([&] {
        runThroughWindow(work, layout.dataRows, QStringLiteral("A%1").arg(FormulaBook::titleRow()),
                         FormulaBook::lastColumn(layout));
    });
    const double runPeak = officePeakMiB();
    loadAndStoreSeconds(work);
    const double floor = loadAndStoreSeconds(work);
    std::printf("%s: %d data rows, %d values, %s texts%s%s%s\n", qPrintable(name), layout.dataRows,
                int(layout.values.size()), layout.chineseTexts ? "Chinese" : "ASCII",
                layout.mergedTitle ? ", merged report line" : "",
                layout.ownRowFormula ? ", a formula on its own row" : "",
                layout.otherSheetFormula ? ", a formula on another sheet" : "");
    if (layout.runningTotal)
        std::printf("  a running total pointing at the row above\n");
    if (layout.rowsOfTheirOwn)
        std::printf("  rows of their own height, hidden rows, a merged note below the data, conditional formats,\n"
                    "  a validation, manual page breaks\n");
    benchutil::printSeconds(QStringLiteral("whole run (open, split, save)"), run);
    benchutil::printSeconds(QStringLiteral("floor: office load + store of the result"), floor);
    benchutil::printLine(QStringLiteral("ratio"), QString::number(run / floor, 'f', 2));
    benchutil::printGoal(QStringLiteral("run <= 3 x floor"), run <= 3 * floor);
    benchutil::printLine(QStringLiteral("office peak memory during the run"),
                         QStringLiteral("%1 MiB").arg(runPeak, 0, 'f', 0));
    printSizes(source, work);
    if (withBlockByBlock) {
        const QString blocks = folder + QStringLiteral("/%1-blocks.xlsx").arg(name);
        const QString chosen = folder + QStringLiteral("/%1-chosen.xlsx").arg(name);
        if (!copyFresh(source, blocks) || !copyFresh(source, chosen))
            return;
        const double blockSeconds = splitDirectly(blocks, layout, true);
        const double chosenSeconds = splitDirectly(chosen, layout, false);
        benchutil::printSeconds(QStringLiteral("library call, block by block"), blockSeconds);
        benchutil::printSeconds(QStringLiteral("library call, the way the run chooses"), chosenSeconds);
        benchutil::printLine(QStringLiteral("resulting sheets"), workbookContents(blocks) == workbookContents(chosen)
                                                                     ? QStringLiteral("identical")
                                                                     : QStringLiteral("DIFFER"));
    }
}

// At 2,000 rows against the block-by-block way too, then at the rows asked for.
void compareReportAtTwoSizes(const QString& folder, const QString& name, FormulaBook::Layout layout, int rows)
{
    layout.values = kRegions;
    layout.dataRows = 2000;
    compareReport(folder, name + QStringLiteral("-2000"), layout, true);
    layout.dataRows = rows;
    compareReport(folder, name + QStringLiteral("-%1").arg(rows), layout, false);
}

void compareReports(const QString& folder, int rows)
{
    FormulaBook::Layout formulas;
    formulas.chineseTexts = false;
    compareReportAtTwoSizes(folder, QStringLiteral("formulas"), formulas, rows);

    // A sales report as users keep one: Chinese texts, a formula column pointing at the rates
    // sheet, rows of their own height, hidden rows and a merged note below the data.
    FormulaBook::Layout sales;
    sales.rowsOfTheirOwn = true;
    compareReportAtTwoSizes(folder, QStringLiteral("sales"), sales, rows);

    // A running total: each row's formula points at the row above, which often goes to another
    // value's sheet; the cell then keeps the value it showed.
    FormulaBook::Layout running;
    running.runningTotal = true;
    compareReportAtTwoSizes(folder, QStringLiteral("running"), running, rows);

    FormulaBook::Layout chinese;
    chinese.values = kRegions;
    chinese.dataRows = rows;
    chinese.mergedTitle = false;
    chinese.otherSheetFormula = false;
    compareReport(folder, QStringLiteral("chinese-%1").arg(rows), chinese, false);
}

void compareWithOneCellPerCall(const QString& folder, int rows)
{
    const QString source = folder + QStringLiteral("/source-%1.xlsx").arg(rows);
    const QString fast = folder + QStringLiteral("/fast-%1.xlsx").arg(rows);
    const QString slow = folder + QStringLiteral("/percell-%1.xlsx").arg(rows);
    if (!writeSourceWorkbook(source, rows) || !copyFresh(source, fast) || !copyFresh(source, slow)) {
        std::printf("could not write the %d-row workbook\n", rows);
        return;
    }
    const double fastSeconds = benchutil::secondsOf([&] { runThroughWindow(fast, rows); });
    const double slowSeconds = benchutil::secondsOf([&] { runOneCellPerCall(slow, rows); });
    const bool same = workbookContents(fast) == workbookContents(slow);
    std::printf("%d data rows, fast path against one cell per call\n", rows);
    benchutil::printSeconds(QStringLiteral("whole run (open, split, save)"), fastSeconds);
    benchutil::printSeconds(QStringLiteral("one cell per call (open, split, save)"), slowSeconds);
    benchutil::printLine(QStringLiteral("speed-up"), QString::number(slowSeconds / fastSeconds, 'f', 1));
    benchutil::printLine(QStringLiteral("resulting sheets"),
                         same ? QStringLiteral("identical") : QStringLiteral("DIFFER"));
    benchutil::printGoal(QStringLiteral(">= 20 x faster than one cell per call"), slowSeconds >= 20 * fastSeconds);
}

// The same rows split by 50 and by 500 values: the cost should grow little with the values.
void compareValueCounts(const QString& folder, int rows)
{
    double seconds[2] = {0, 0};
    const int counts[2] = {50, 500};
    for (int k = 0; k < 2; ++k) {
        const QString path = folder + QStringLiteral("/values-%1.xlsx").arg(counts[k]);
        if (!CustomerBook::write(path, {CustomerBook::dataSheet(kSheet, rows, 20240607, counts[k])}, false)) {
            std::printf("could not write the %d-value workbook\n", counts[k]);
            return;
        }
        seconds[k] = benchutil::secondsOf([&] { runThroughWindow(path, rows); });
    }
    std::printf("%d data rows split by 50 and by 500 values\n", rows);
    benchutil::printSeconds(QStringLiteral("whole run, 50 values"), seconds[0]);
    benchutil::printSeconds(QStringLiteral("whole run, 500 values"), seconds[1]);
    benchutil::printLine(QStringLiteral("ratio"), QString::number(seconds[1] / seconds[0], 'f', 2));
    benchutil::printGoal(QStringLiteral("500 values <= 5 x the time of 50"), seconds[1] <= 5 * seconds[0]);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    OfficeServer::registerAsExcel();
    const QStringList arguments = application.arguments();
    // --generate <path> <rows> <values>: the workbook the 50/500 values part splits, to run by hand.
    if (arguments.size() == 5 && arguments.at(1) == QLatin1String("--generate"))
        return CustomerBook::write(
                   arguments.at(2),
                   {CustomerBook::dataSheet(kSheet, arguments.at(3).toInt(), 20240607, arguments.at(4).toInt())}, false)
                   ? 0
                   : 1;
    setDialogsHeadlessForTests();
    const int floorRows = arguments.value(1, QStringLiteral("100000")).toInt();
    const int perCellRows = arguments.value(2, QStringLiteral("10000")).toInt();
    const int reportRows = arguments.value(3, QStringLiteral("20000")).toInt();
    const int valueRows = arguments.value(4, QStringLiteral("20000")).toInt();
    QTemporaryDir folder;

    {
        ExcelOpKiv warmUp;
    } // the office starts once, outside the timings
    if (floorRows > 0)
        compareWithFloor(folder.path(), floorRows);
    if (perCellRows > 0)
        compareWithOneCellPerCall(folder.path(), perCellRows);
    if (reportRows > 0)
        compareReports(folder.path(), reportRows);
    if (valueRows > 0)
        compareValueCounts(folder.path(), valueRows);
    benchutil::printLine(QStringLiteral("peak memory of this process"),
                         QStringLiteral("%1 MiB").arg(benchutil::peakMemoryMiB(), 0, 'f', 0));
    return 0;
}
