// Column split: the whole run against the office's own load + store of the result, and against
// the one-cell-per-call way of splitting.
//
// Build and run (one command):
//   bash scripts/build.sh && QT_QPA_PLATFORM=offscreen build/bench/bench_splitcolumn
// Optional arguments: <data rows for the floor comparison, 100000> <data rows for the per-cell
// comparison, 10000>.
//
// Goals: the run at most 2 x the floor at 100,000 rows; at least 20 x faster than the per-cell
// path at 10,000 rows. The two paths' workbooks are compared sheet by sheet as well.

#include "common/dialogs.h"
#include "bench/support/benchutil.h"
#include "automation/axobject.h"
#include "automation/officeserver.h"
#include "excelop/excelopkiv.h"
#include "tools/splitcolumn/splitsheetfromcolumn.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cstdio>
#include <memory>

namespace {

constexpr int kColumns = 10;
constexpr int kValues = 50;
constexpr int kReferColumn = 2; // B
const QString kSheet = QStringLiteral("Data");

// A title row and `rows` data rows; column B holds one of kValues values, interleaved at random
// with a fixed seed, so every run splits the same workbook.
benchutil::GeneratedSheet sourceSheet(int rows)
{
    QRandomGenerator random(20240607);
    QVariantList title;
    for (int c = 1; c <= kColumns; ++c)
        title.append(QStringLiteral("title%1").arg(c));
    benchutil::GeneratedSheet sheet{kSheet, {title}};
    for (int r = 0; r < rows; ++r) {
        QVariantList row;
        for (int c = 1; c <= kColumns; ++c) {
            if (c == kReferColumn)
                row.append(QStringLiteral("v%1").arg(random.bounded(kValues), 2, 10, QLatin1Char('0')));
            else if (c % 2)
                row.append(double(r * kColumns + c));
            else
                row.append(QStringLiteral("t%1_%2").arg(r).arg(c));
        }
        sheet.rows.append(row);
    }
    return sheet;
}

bool writeSourceWorkbook(const QString& path, int rows)
{
    return benchutil::writeGeneratedWorkbook(path, {sourceSheet(rows)});
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
void runThroughWindow(const QString& path, int rows)
{
    SplitSheetFromColumn window;
    window.findChild<QTextEdit*>("importFilePath")->setPlainText(path);
    window.findChild<QComboBox*>("comboBoxSheets")->addItem(kSheet);
    window.findChild<QTextEdit*>("startCellText")->setPlainText(QStringLiteral("A1"));
    window.findChild<QTextEdit*>("endCellText")->setPlainText(QStringLiteral("J%1").arg(rows + 1));
    window.findChild<QTextEdit*>("referColText")->setPlainText(QStringLiteral("B"));
    KivMessageBox::clearShownTexts();
    window.findChild<QPushButton*>("pushButton")->click();
    const QStringList shown = KivMessageBox::shownTexts();
    if (shown.size() != 1 || !shown.first().startsWith(QStringLiteral("处理完毕")))
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

void compareWithFloor(const QString& folder, int rows)
{
    const QString source = folder + QStringLiteral("/source-%1.xlsx").arg(rows);
    const QString work = folder + QStringLiteral("/fast-%1.xlsx").arg(rows);
    if (!writeSourceWorkbook(source, rows) || !copyFresh(source, work)) {
        std::printf("could not write the %d-row workbook\n", rows);
        return;
    }
    const double run = benchutil::secondsOf([&] { runThroughWindow(work, rows); });
    loadAndStoreSeconds(work); // warm the office's file cache the same way the run found it
    const double floor = loadAndStoreSeconds(work);
    std::printf("%d data rows x %d columns, %d values interleaved at random\n", rows, kColumns, kValues);
    benchutil::printSeconds(QStringLiteral("whole run (open, split, save)"), run);
    benchutil::printSeconds(QStringLiteral("floor: office load + store of the result"), floor);
    benchutil::printLine(QStringLiteral("ratio"), QString::number(run / floor, 'f', 2));
    benchutil::printGoal(QStringLiteral("run <= 2 x floor"), run <= 2 * floor);
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
    benchutil::printLine(QStringLiteral("resulting sheets"), same ? QStringLiteral("identical") : QStringLiteral("DIFFER"));
    benchutil::printGoal(QStringLiteral(">= 20 x faster than one cell per call"), slowSeconds >= 20 * fastSeconds);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    OfficeServer::registerAsExcel();
    setDialogsHeadlessForTests();
    const QStringList arguments = application.arguments();
    const int floorRows = arguments.value(1, QStringLiteral("100000")).toInt();
    const int perCellRows = arguments.value(2, QStringLiteral("10000")).toInt();
    QTemporaryDir folder;

    { ExcelOpKiv warmUp; } // the office starts once, outside the timings
    if (floorRows > 0)
        compareWithFloor(folder.path(), floorRows);
    if (perCellRows > 0)
        compareWithOneCellPerCall(folder.path(), perCellRows);
    benchutil::printLine(QStringLiteral("peak memory of this process"), QStringLiteral("%1 MiB").arg(benchutil::peakMemoryMiB(), 0, 'f', 0));
    return 0;
}
