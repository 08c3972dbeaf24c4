#include "tools/compare/comparisonrun.h"

#include "common/runprogress.h"
#include "excelop/excelopkiv.h"

#include <QCoreApplication>
#include <QHash>
#include <algorithm>

namespace {

// Rows per bulk read or write: large enough that the automation calls cost little (at 100,000
// rows 5,000 saves a sixth of the reading and writing against 2,000), small enough that the
// progress dialog moves and a cancel is noticed within a few hundredths of a second.
const int kChunkRows = 5000;
// What a sheet of the office holds when it does not say.
const int kFallbackRowLimit = 1048576;

const char* const kProgressLabel = "正在处理中，请不要操作其他Excel文件。";
const char* const kProgressCancel = "取消";
const char* const kCancelledText = "注意：还没处理完毕，您已退出。";
const char* const kWriteFailedText = "写入对比结果时出错，已停止处理。";
const char* const kFinishedText = "对比结束，结果已保存在Excel文件的第一列，请自行打开查看。";
const char* const kPartialText = "虽然还没处理完，但是仍在目标文件保存了部分结果，请自行打开查看。";
const char* const kFinishedNotSavedText =
    "对比已结束，但结果未能保存到Excel文件（文件可能是只读的、正被其他程序占用或磁盘已满），"
    "请检查后重新导入并对比。";
const char* const kPartialNotSavedText =
    "还没处理完，而且部分结果也未能保存到Excel文件（文件可能是只读的、正被其他程序占用或磁盘已满）。";

// What the run does now, under the dialog's own label.
const char* const kOpeningStage = "正在打开表格……";
const char* const kComparingStage = "正在对比……";
const char* const kSavingStage = "正在保存……";

// The steps of the progress dialog: one per row read and one per count written.
class ProgressSteps
{
public:
    explicit ProgressSteps(RunProgress& dialog) : dialog(dialog) {}
    // False when the user cancelled.
    bool advance(int steps)
    {
        done += steps;
        dialog.setValue(done);
        return !dialog.wasCanceled();
    }

private:
    RunProgress& dialog;
    int done = 0;
};

void showStage(RunProgress& dialog, const char* stage)
{
    dialog.setLabel(QString::fromUtf8(kProgressLabel) + QLatin1Char('\n') + QString::fromUtf8(stage));
}

enum class PassOutcome { Done, Cancelled, WriteFailed };

// Runs step(offset, count) over rowCount rows in chunks, advancing the progress after each.
template <typename Step>
PassOutcome inChunks(int rowCount, ProgressSteps& progress, Step step)
{
    for (int offset = 0; offset < rowCount; offset += kChunkRows) {
        const int count = std::min(kChunkRows, rowCount - offset);
        if (!step(offset, count))
            return PassOutcome::WriteFailed;
        if (!progress.advance(count))
            return PassOutcome::Cancelled;
    }
    return PassOutcome::Done;
}

PassOutcome readColumn(SheetEntry* sheet, int column, int firstRow, int rowCount,
                       ProgressSteps& progress, QStringList& values)
{
    return inChunks(rowCount, progress, [&](int offset, int count) {
        const int from = firstRow + offset;
        QStringList texts = sheet->readColumnTexts(column, from, from + count - 1);
        // Rows the office did not deliver read as empty cells, so counts stay in row order.
        while (texts.size() < count)
            texts.append(QString());
        values += texts.mid(0, count);
        return true;
    });
}

PassOutcome writeColumn(SheetEntry* sheet, int column, int firstRow, const QStringList& texts,
                        ProgressSteps& progress)
{
    return inChunks(texts.size(), progress, [&](int offset, int count) {
        return sheet->writeColumnTexts(column, firstRow + offset, texts.mid(offset, count));
    });
}

// For each value, how many entries of others equal it exactly, as decimal text.
QStringList occurrenceCounts(const QStringList& values, const QStringList& others)
{
    QHash<QString, int> tally;
    tally.reserve(others.size());
    for (const QString& other : others)
        ++tally[other];
    QStringList counts;
    counts.reserve(values.size());
    for (const QString& value : values)
        counts.append(QString::number(tally.value(value)));
    return counts;
}

int dataRowCount(int firstRow, int lastRow)
{
    return lastRow < firstRow ? 0 : lastRow - firstRow + 1;
}

QString occurrenceHeader(const QString& ownTitle, const QString& otherSheet, const QString& otherTitle)
{
    return QStringLiteral("“") + ownTitle + QStringLiteral("”在“") + otherSheet
        + QStringLiteral("”表“") + otherTitle + QStringLiteral("”列出现的次数");
}

QString tr(const char* text)
{
    return QCoreApplication::translate("DuZozodKiv", text);
}

bool holdsTitle(const SheetEntry* sheet, int titleIndex)
{
    return titleIndex >= 0 && titleIndex < sheet->titles.size();
}

int rowLimitOf(SheetEntry* sheet)
{
    const int limit = sheet->rowLimit();
    return limit > 0 ? limit : kFallbackRowLimit;
}

// The entry a sheet picker stands for: its index in the list, and the text it shows must be
// that sheet's name (an editable picker may show typed text over another entry).
SheetEntry* pickedSheet(ExcelOpKiv& book, const ComparisonSide& side)
{
    SheetEntry* entry = book.sheetAt(side.sheetIndex);
    if (!entry || entry->getSheetName() != side.sheetName)
        return nullptr;
    return entry;
}

QString chosenTitle(const ComparisonSide& side, const SheetEntry* sheet)
{
    return side.title.isNull() ? sheet->titles.at(side.titleIndex).text : side.title;
}

} // namespace

ComparisonRun::ComparisonRun(ExcelOpKiv& book, const ComparisonSettings& settings)
    : book(book), settings(settings)
{
}

int ComparisonRun::rowCountOf(const QString& typed)
{
    bool isNumber = false;
    const int rows = typed.trimmed().toInt(&isNumber, 10);
    return isNumber ? rows : 0;
}

QString ComparisonRun::formProblem(const ComparisonSettings& settings)
{
    const ComparisonSide& side1 = settings.side1;
    const ComparisonSide& side2 = settings.side2;
    if (settings.workbookPath.isEmpty())
        return tr("没有导入Excel文件，无法比对。");
    if (side1.sheetName.isEmpty())
        return tr("没有表1，无法比对。");
    if (side2.sheetName.isEmpty())
        return tr("没有表2，无法比对。");
    if (side1.sheetName == side2.sheetName)
        return tr("表1跟表2是同一个表，不需比对。");
    if (side1.titleIndex == -1)
        return tr("表1没有选择列，无法比对。");
    if (side2.titleIndex == -1)
        return tr("表2没有选择列，无法比对。");
    // A count below 1 would insert a column and report success with nothing counted.
    if (rowCountOf(side1.rowsText) <= 0)
        return tr("表1的总行数有误，请重新输入。");
    if (rowCountOf(side2.rowsText) <= 0)
        return tr("表2的总行数有误，请重新输入。");
    return QString();
}

QString ComparisonRun::firstInputProblem()
{
    const QString problem = formProblem(settings);
    if (!problem.isEmpty())
        return problem;
    const ComparisonSide& side1 = settings.side1;
    const ComparisonSide& side2 = settings.side2;
    lastRow1 = rowCountOf(side1.rowsText);
    lastRow2 = rowCountOf(side2.rowsText);
    // The pickers must stand for real sheets and columns, and the row counts fit the sheets.
    table1 = pickedSheet(book, side1);
    if (!table1)
        return tr("表1选择的表不在导入的Excel文件里，请重新导入Excel文件或重新选择表1。");
    table2 = pickedSheet(book, side2);
    if (!table2)
        return tr("表2选择的表不在导入的Excel文件里，请重新导入Excel文件或重新选择表2。");
    table1->loadColumnTitles(1);
    if (!holdsTitle(table1, side1.titleIndex))
        return tr("表1选择的列不在表1的第一行里，请重新选择表1的列。");
    table2->loadColumnTitles(1);
    if (!holdsTitle(table2, side2.titleIndex))
        return tr("表2选择的列不在表2的第一行里，请重新选择表2的列。");
    if (lastRow1 > rowLimitOf(table1))
        return tr("表1的总行数超过了表格能容纳的行数，请重新输入。");
    if (lastRow2 > rowLimitOf(table2))
        return tr("表2的总行数超过了表格能容纳的行数，请重新输入。");
    return QString();
}

ComparisonOutcome ComparisonRun::run()
{
    const QString problem = firstInputProblem();
    if (!problem.isEmpty()) {
        ComparisonOutcome refused;
        // A lost office makes every sheet look missing: say what really happened.
        const OfficeState office = book.officeState();
        if (office != OfficeState::Working)
            refused.kind = ComparisonOutcome::Kind::Failed;
        refused.messages.append(office == OfficeState::Working ? problem : officeLostText(office));
        return refused;
    }
    // Up from the first change to the end of the save: inserting a column into a long sheet
    // and saving it take seconds.
    RunProgress dialog(QString::fromUtf8(kProgressLabel), QString::fromUtf8(kProgressCancel), 0,
                       2 * (dataRowCount(2, lastRow1) + dataRowCount(2, lastRow2)));
    showStage(dialog, kOpeningStage);
    prepareSheets();
    showStage(dialog, kComparingStage);
    const bool finished = countOccurrences(dialog, table1, 2, settings.side1.titleIndex + 2, 1, lastRow1, table2,
                                           2, settings.side2.titleIndex + 2, 1, lastRow2);
    showStage(dialog, kSavingStage);
    ComparisonOutcome outcome = finish(finished);
    dialog.close();
    return outcome;
}

void ComparisonRun::prepareSheets()
{
    // The titles as chosen (or typed), before the inserted column shifts them.
    const QString title1 = chosenTitle(settings.side1, table1);
    const QString title2 = chosenTitle(settings.side2, table2);
    table1->insertColumn(1);
    table2->insertColumn(1);
    table1->setAutoFilter(1);
    table2->setAutoFilter(1);
    table1->setCellValue(1, 1, occurrenceHeader(title1, table2->getSheetName(), title2));
    table2->setCellValue(1, 1, occurrenceHeader(title2, table1->getSheetName(), title1));
    table1->loadColumnTitles(1);
    table2->loadColumnTitles(1);
}

bool ComparisonRun::countOccurrences(RunProgress& dialog, SheetEntry* sheet1, int firstRow1, int readColumn1,
                                     int writeColumn1, int lastRow1, SheetEntry* sheet2, int firstRow2,
                                     int readColumn2, int writeColumn2, int lastRow2)
{
    const int rows1 = dataRowCount(firstRow1, lastRow1);
    const int rows2 = dataRowCount(firstRow2, lastRow2);
    ProgressSteps progress(dialog);
    QStringList values1;
    QStringList values2;
    PassOutcome outcome = readColumn(sheet1, readColumn1, firstRow1, rows1, progress, values1);
    if (outcome == PassOutcome::Done)
        outcome = readColumn(sheet2, readColumn2, firstRow2, rows2, progress, values2);
    if (outcome == PassOutcome::Done)
        outcome = writeColumn(sheet1, writeColumn1, firstRow1, occurrenceCounts(values1, values2), progress);
    if (outcome == PassOutcome::Done)
        outcome = writeColumn(sheet2, writeColumn2, firstRow2, occurrenceCounts(values2, values1), progress);
    if (outcome != PassOutcome::Done)
        shownDuringRun.append(QString::fromUtf8(outcome == PassOutcome::Cancelled ? kCancelledText : kWriteFailedText));
    return outcome == PassOutcome::Done;
}

ComparisonOutcome ComparisonRun::finish(bool finished)
{
    ComparisonOutcome outcome;
    outcome.columnsInserted = true;
    outcome.messages = shownDuringRun;
    const OfficeState office = book.officeState();
    if (office != OfficeState::Working) {
        // Nothing can be saved through an office that is gone; the file on disk is untouched.
        outcome.kind = ComparisonOutcome::Kind::Failed;
        outcome.messages = QStringList{officeLostText(office)};
        return outcome;
    }
    outcome.saved = book.saveWorkbook();
    outcome.kind = finished ? ComparisonOutcome::Kind::Finished : ComparisonOutcome::Kind::Cancelled;
    const char* text = finished ? (outcome.saved ? kFinishedText : kFinishedNotSavedText)
                                : (outcome.saved ? kPartialText : kPartialNotSavedText);
    outcome.messages.append(QString::fromUtf8(text));
    return outcome;
}
