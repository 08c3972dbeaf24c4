// What the office costs through the automation layer: start, one cell per call, whole blocks.
// Build and run (one command):
//   bash scripts/build.sh && build/bench/bench_office
#include "automation/axobject.h"
#include "automation/officeentry.h"
#include "excelop/excelopkiv.h"
#include "support/benchutil.h"
#include "workbookwriter.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <memory>

using namespace benchutil;

namespace {

constexpr int kRows = 100000;
constexpr int kSingleCalls = 2000;

QList<SheetContent> twoColumns()
{
    SheetContent sheet{QStringLiteral("Data"), {}};
    for (int row = 1; row <= kRows; ++row)
        sheet.rows.append({QStringLiteral("v%1").arg(row % 977), QString::number(row)});
    return {sheet};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    OfficeServer::registerAsExcel();
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("office.xlsx"));

    std::unique_ptr<ExcelOpKiv> link;
    printSeconds(QStringLiteral("office start (first link)"),
                 secondsOf([&] { link = std::make_unique<ExcelOpKiv>(); }));
    if (!writeWorkbook(file, twoColumns())) {
        printLine(QStringLiteral("error"), QStringLiteral("could not write the workbook"));
        return 1;
    }
    printSeconds(QStringLiteral("open 100,000 x 2 workbook"), secondsOf([&] {
                     link->openWorkBook(file);
                     link->openSheets();
                 }));
    SheetEntry* sheet = link->sheetAt(0);
    const double reads = secondsOf([&] {
        for (int row = 1; row <= kSingleCalls; ++row)
            sheet->getCellValue(row, 1);
    });
    printLine(QStringLiteral("one cell read (getCellValue)"),
              QString::number(reads * 1000.0 / kSingleCalls, 'f', 3) + QStringLiteral(" ms"));
    const double writes = secondsOf([&] {
        for (int row = 1; row <= kSingleCalls; ++row)
            sheet->setCellValue(row, 3, QString::number(row));
    });
    printLine(QStringLiteral("one cell write (setCellValue)"),
              QString::number(writes * 1000.0 / kSingleCalls, 'f', 3) + QStringLiteral(" ms"));
    printSeconds(QStringLiteral("bulk read 200,000 cells"), secondsOf([&] {
                     sheet->readColumnTexts(1, 1, kRows);
                     sheet->readColumnTexts(2, 1, kRows);
                 }));
    QStringList counts;
    for (int row = 1; row <= kRows; ++row)
        counts.append(QString::number(row % 13));
    printSeconds(QStringLiteral("bulk write 100,000 cells"), secondsOf([&] { sheet->writeColumnTexts(4, 1, counts); }));
    printSeconds(QStringLiteral("save"), secondsOf([&] { link->saveWorkbook(); }));
    printLine(QStringLiteral("peak memory of this process"), QString::number(peakMemoryMiB(), 'f', 1) + " MiB");
    return 0;
}
