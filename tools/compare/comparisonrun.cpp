// The comparison run of DuZozodKiv: input checks, the new first column in both sheets, the
// counting pass and the save.

#include "tools/compare/duzozodkiv.h"

#include "common/dialogs.h"
#include "common/runprogress.h"
#include "excelop/excelopkiv.h"
#include "tools/compare/duzozodkivform.h"

#include <QComboBox>
#include <QHash>
#include <QTextEdit>
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

// The steps of the progress dialog: one per row read and one per count written.
class ProgressSteps
{
public:
    explicit ProgressSteps(int total)
        : dialog(QString::fromUtf8(kProgressLabel), QString::fromUtf8(kProgressCancel), 0, total)
    {
    }
    // False when the user cancelled.
    bool advance(int steps)
    {
        done += steps;
        dialog.setValue(done);
        return !dialog.wasCanceled();
    }
    void close() { dialog.close(); }

private:
    RunProgress dialog;
    int done = 0;
};

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

// The entry a sheet picker stands for: its index in the list, and the text it shows must be
// that sheet's name (an editable picker may show typed text over another entry).
SheetEntry* pickedSheet(ExcelOpKiv* link, const QComboBox* sheetBox)
{
    SheetEntry* entry = link ? link->sheetAt(sheetBox->currentIndex()) : nullptr;
    if (!entry || entry->getSheetName() != sheetBox->currentText())
        return nullptr;
    return entry;
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

} // namespace

struct DuZozodKiv::CompareChoice
{
    SheetEntry* table1 = nullptr;
    SheetEntry* table2 = nullptr;
    int titleIndex1 = -1;
    int titleIndex2 = -1;
    int lastRow1 = 0;
    int lastRow2 = 0;
};

void DuZozodKiv::on_startCompareButton_clicked()
{
    CompareChoice choice;
    const QString problem = firstInputProblem(choice);
    if (!problem.isEmpty()) {
        KivMessageBox::inform(problem);
        return;
    }
    setEnabled(false);
    runInProgress = true;
    prepareSheets(choice);
    const bool finished = countOccurrences(choice.table1, 2, choice.titleIndex1 + 2, 1, choice.lastRow1,
                                           choice.table2, 2, choice.titleIndex2 + 2, 1, choice.lastRow2);
    runInProgress = false;
    finishRun(finished);
}

QString DuZozodKiv::firstInputProblem(CompareChoice& choice)
{
    if (ui->directFilePath->toPlainText().isEmpty())
        return tr("没有导入Excel文件，无法比对。");
    const QString sheetName1 = ui->comboBoxSheet1->currentText();
    const QString sheetName2 = ui->comboBoxSheet2->currentText();
    if (sheetName1.isEmpty())
        return tr("没有表1，无法比对。");
    if (sheetName2.isEmpty())
        return tr("没有表2，无法比对。");
    if (sheetName1 == sheetName2)
        return tr("表1跟表2是同一个表，不需比对。");
    if (ui->comboBoxTitle1->currentIndex() == -1)
        return tr("表1没有选择列，无法比对。");
    if (ui->comboBoxTitle2->currentIndex() == -1)
        return tr("表2没有选择列，无法比对。");
    choice.lastRow1 = checkedRowCount(ui->sheet1RowsTextEdit);
    if (choice.lastRow1 == 0)
        return tr("表1的总行数有误，请重新输入。");
    choice.lastRow2 = checkedRowCount(ui->sheet2RowsTextEdit);
    if (choice.lastRow2 == 0)
        return tr("表2的总行数有误，请重新输入。");
    return firstChoiceProblem(choice);
}

// Checks that the pickers stand for real sheets and columns and the row counts fit the sheets,
// all before anything in the workbook is touched.
QString DuZozodKiv::firstChoiceProblem(CompareChoice& choice) const
{
    choice.table1 = pickedSheet(mExcelOpKiv.get(), ui->comboBoxSheet1);
    if (!choice.table1)
        return tr("表1选择的表不在导入的Excel文件里，请重新导入Excel文件或重新选择表1。");
    choice.table2 = pickedSheet(mExcelOpKiv.get(), ui->comboBoxSheet2);
    if (!choice.table2)
        return tr("表2选择的表不在导入的Excel文件里，请重新导入Excel文件或重新选择表2。");
    choice.titleIndex1 = ui->comboBoxTitle1->currentIndex();
    if (!holdsTitle(choice.table1, choice.titleIndex1))
        return tr("表1选择的列不在表1的第一行里，请重新选择表1的列。");
    choice.titleIndex2 = ui->comboBoxTitle2->currentIndex();
    if (!holdsTitle(choice.table2, choice.titleIndex2))
        return tr("表2选择的列不在表2的第一行里，请重新选择表2的列。");
    if (choice.lastRow1 > rowLimitOf(choice.table1))
        return tr("表1的总行数超过了表格能容纳的行数，请重新输入。");
    if (choice.lastRow2 > rowLimitOf(choice.table2))
        return tr("表2的总行数超过了表格能容纳的行数，请重新输入。");
    return QString();
}

// The field's text stripped and written back, then read as a base-10 integer; 0 when it is none.
int DuZozodKiv::checkedRowCount(QTextEdit* field)
{
    field->setPlainText(field->toPlainText().trimmed());
    bool isNumber = false;
    const int rows = field->toPlainText().toInt(&isNumber, 10);
    return isNumber ? rows : 0;
}

void DuZozodKiv::prepareSheets(const CompareChoice& choice)
{
    choice.table1->insertColumn(1);
    choice.table2->insertColumn(1);
    choice.table1->setAutoFilter(1);
    choice.table2->setAutoFilter(1);
    // The titles as chosen (or typed), before the pickers are refilled.
    const QString title1 = ui->comboBoxTitle1->currentText();
    const QString title2 = ui->comboBoxTitle2->currentText();
    choice.table1->setCellValue(1, 1, occurrenceHeader(title1, choice.table2->getSheetName(), title2));
    choice.table2->setCellValue(1, 1, occurrenceHeader(title2, choice.table1->getSheetName(), title1));
    // Reloads row 1 of both sheets: the pickers start with the new header.
    refreshColumnTitles(ui->comboBoxSheet1, ui->comboBoxTitle1);
    refreshColumnTitles(ui->comboBoxSheet2, ui->comboBoxTitle2);
    ui->comboBoxTitle1->setCurrentIndex(choice.titleIndex1 + 1);
    ui->comboBoxTitle2->setCurrentIndex(choice.titleIndex2 + 1);
}

bool DuZozodKiv::countOccurrences(SheetEntry* sheet1, int firstRow1, int readColumn1, int writeColumn1,
                                  int lastRow1, SheetEntry* sheet2, int firstRow2, int readColumn2,
                                  int writeColumn2, int lastRow2)
{
    const int rows1 = dataRowCount(firstRow1, lastRow1);
    const int rows2 = dataRowCount(firstRow2, lastRow2);
    ProgressSteps progress(2 * (rows1 + rows2));
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
        KivMessageBox::inform(QString::fromUtf8(outcome == PassOutcome::Cancelled ? kCancelledText
                                                                                  : kWriteFailedText));
    progress.close();
    return outcome == PassOutcome::Done;
}

void DuZozodKiv::finishRun(bool finished)
{
    const bool saved = mExcelOpKiv->saveWorkbook();
    const char* text = finished ? (saved ? kFinishedText : kFinishedNotSavedText)
                                : (saved ? kPartialText : kPartialNotSavedText);
    KivMessageBox::inform(QString::fromUtf8(text));
    setEnabled(true);
    if (!finished)
        close();
}
