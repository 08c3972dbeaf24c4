#include "tools/compare/comparisonrun.h"

#include "common/runprogress.h"
#include "excelop/excelopkiv.h"
#include "tools/backup.h"
#include "tools/compare/spanningformulas.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <algorithm>

namespace {

// Rows per bulk read or write: a column of 100,000 rows goes in one call (a third less time than
// in calls of 5,000, whose overhead was 0.4 s); a cancel is still noticed within a third of a
// second, and the biggest sheets do not pass a million texts through the bridge at once.
int rowsPerCall = 100000;
// What a sheet of the office holds when it does not say.
const int kFallbackRowLimit = 1048576;

const char* const kProgressLabel = QT_TRANSLATE_NOOP("DuZozodKiv", "正在处理中，请不要操作其他Excel文件。");
const char* const kProgressCancel = QT_TRANSLATE_NOOP("DuZozodKiv", "取消");
const char* const kCancelledText = QT_TRANSLATE_NOOP("DuZozodKiv", "注意：还没处理完毕，您已退出。");
const char* const kWriteFailedText = QT_TRANSLATE_NOOP("DuZozodKiv", "写入对比结果时出错，已停止处理。");
const char* const kFinishedText =
    QT_TRANSLATE_NOOP("DuZozodKiv", "对比结束，结果已保存在Excel文件的第一列，请自行打开查看。");
const char* const kPartialText =
    QT_TRANSLATE_NOOP("DuZozodKiv", "虽然还没处理完，但是仍在目标文件保存了部分结果，请自行打开查看。");
const char* const kFinishedNotSavedText = QT_TRANSLATE_NOOP(
    "DuZozodKiv", "对比已结束，但结果未能保存到Excel文件（文件可能是只读的、正被其他程序占用或磁盘已满），"
                  "请检查后重新导入并对比。");
const char* const kPartialNotSavedText = QT_TRANSLATE_NOOP(
    "DuZozodKiv", "还没处理完，而且部分结果也未能保存到Excel文件（文件可能是只读的、正被其他程序占用或磁盘已满）。");

// What the run does now, under the dialog's own label.
const char* const kOpeningStage = QT_TRANSLATE_NOOP("DuZozodKiv", "正在打开表格……");
const char* const kComparingStage = QT_TRANSLATE_NOOP("DuZozodKiv", "正在对比……");
const char* const kSavingStage = QT_TRANSLATE_NOOP("DuZozodKiv", "正在保存……");

QString translated(const char* text)
{
    return QCoreApplication::translate("DuZozodKiv", text);
}

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
    dialog.setLabel(translated(kProgressLabel) + QLatin1Char('\n') + translated(stage));
}

enum class PassOutcome { Done, Cancelled, WriteFailed };

// Runs step(offset, count) over rowCount rows in chunks, advancing the progress after each.
template <typename Step>
PassOutcome inChunks(int rowCount, ProgressSteps& progress, Step step)
{
    for (int offset = 0; offset < rowCount; offset += rowsPerCall) {
        const int count = std::min(rowsPerCall, rowCount - offset);
        if (!step(offset, count))
            return PassOutcome::WriteFailed;
        if (!progress.advance(count))
            return PassOutcome::Cancelled;
    }
    return PassOutcome::Done;
}

PassOutcome readColumn(SheetEntry* sheet, int column, int firstRow, int rowCount, ProgressSteps& progress,
                       QStringList& values)
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

PassOutcome writeColumn(SheetEntry* sheet, int column, int firstRow, const QStringList& texts, ProgressSteps& progress)
{
    return inChunks(texts.size(), progress, [&](int offset, int count) {
        return sheet->writeColumnTexts(column, firstRow + offset, texts.mid(offset, count));
    });
}

// For each value, how many entries of others equal it, as decimal text; and, when asked, the
// sheet row of the first equal entry (others start at othersFirstRow), empty when there is none.
Occurrences occurrencesOf(const QStringList& values, const QStringList& others, int othersFirstRow, bool withRows)
{
    struct Seen
    {
        int count = 0;
        int firstRow = 0;
    };
    QHash<QString, Seen> tally;
    tally.reserve(others.size());
    for (int k = 0; k < others.size(); ++k) {
        Seen& seen = tally[others.at(k)];
        if (seen.count++ == 0)
            seen.firstRow = othersFirstRow + k;
    }
    Occurrences found;
    found.counts.reserve(values.size());
    for (const QString& value : values) {
        const Seen seen = tally.value(value);
        found.counts.append(QString::number(seen.count));
        if (withRows)
            found.firstRows.append(seen.count ? QString::number(seen.firstRow) : QString());
    }
    return found;
}

// What the header adds when the comparison forgave something.
QString forgivenSuffix(const ComparisonOptions& options)
{
    QStringList forgiven;
    if (options.trimSpaces)
        forgiven.append(QCoreApplication::translate("DuZozodKiv", "忽略首尾空格"));
    if (options.ignoreCase)
        forgiven.append(QCoreApplication::translate("DuZozodKiv", "忽略大小写"));
    if (options.foldWidth)
        forgiven.append(QCoreApplication::translate("DuZozodKiv", "全角半角视为相同"));
    if (forgiven.isEmpty())
        return QString();
    //: Between the forgiven differences of a header's suffix.
    const QString separator = QCoreApplication::translate("DuZozodKiv", "、");
    //: The forgiven differences after a header: %1 lists them.
    return QCoreApplication::translate("DuZozodKiv", "（%1）").arg(forgiven.join(separator));
}

// The header of the match-row column; the one-pass arg() keeps a "%1" in a name as it is.
QString matchRowHeader(const QString& otherSheet, const QString& otherTitle)
{
    //: Header of the column with the first matching row: %1 the other sheet, %2 its column's title.
    return QCoreApplication::translate("DuZozodKiv", "在“%1”表“%2”列首次出现的行").arg(otherSheet, otherTitle);
}

int dataRowCount(int firstRow, int lastRow)
{
    return lastRow < firstRow ? 0 : lastRow - firstRow + 1;
}

QString occurrenceHeader(const QString& ownTitle, const QString& otherSheet, const QString& otherTitle)
{
    //: Header of the count column: %1 this column's title, %2 the other sheet, %3 its column's title.
    return QCoreApplication::translate("DuZozodKiv", "“%1”在“%2”表“%3”列出现的次数")
        .arg(ownTitle, otherSheet, otherTitle);
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

ComparisonRun::ComparisonRun(ExcelOpKiv& book, const ComparisonSettings& settings) : book(book), settings(settings) {}

QString ComparisonRun::comparedForm(const QString& value, const ComparisonOptions& options)
{
    QString form = value;
    if (options.foldWidth) {
        for (QChar& character : form) {
            const ushort code = character.unicode();
            if (code == 0x3000)
                character = QLatin1Char(' ');
            else if (code >= 0xFF01 && code <= 0xFF5E)
                character = QChar(ushort(code - 0xFF01 + 0x21));
        }
    }
    if (options.trimSpaces)
        form = form.trimmed();
    if (options.ignoreCase)
        form = form.toCaseFolded();
    return form;
}

void ComparisonRun::setRowsPerCall(int rows)
{
    rowsPerCall = std::max(1, rows);
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

namespace {

// The office's sheets hold more columns than an .xls sheet (up to IV): cells pushed past IV would
// be dropped from the saved file.
bool hasFreeColumns(SheetEntry* sheet, int count, const QString& savedFile)
{
    constexpr int kXlsColumns = 256;
    int limit = sheet->columnLimit();
    if (QFileInfo(savedFile).suffix().compare(QLatin1String("xls"), Qt::CaseInsensitive) == 0)
        limit = limit > 0 ? std::min(limit, kXlsColumns) : kXlsColumns;
    return limit <= 0 || sheet->usedColumnCount() + count <= limit;
}

} // namespace

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
    if (table1->isProtected())
        return tr("表1受工作表保护，无法插入新列，请先撤销工作表保护。文件没有改动。");
    if (table2->isProtected())
        return tr("表2受工作表保护，无法插入新列，请先撤销工作表保护。文件没有改动。");
    // Inserted columns push the sheet's cells right: the last ones must be free.
    const int twice = table1 == table2 ? 2 : 1;
    const QString savedFile = settings.resultPath.isEmpty() ? settings.workbookPath : settings.resultPath;
    if (!hasFreeColumns(table1, insertedColumns() * twice, savedFile))
        return tr("表1的最后一列已被使用，无法插入新列。");
    if (!hasFreeColumns(table2, insertedColumns() * twice, savedFile))
        return tr("表2的最后一列已被使用，无法插入新列。");
    if (QFileInfo(savedFile).suffix().compare(QLatin1String("xls"), Qt::CaseInsensitive) == 0) {
        const QStringList broken = formulasAnInsertBreaksInXls(book, {table1->getSheetName(), table2->getSheetName()});
        if (!broken.isEmpty())
            //: %1 cells such as Sheet1!B4.
            return tr("%1的公式引用整行（如$A1:$IV4）或两个区域的交集。在."
                      "xls文件里插入新列后，电子表格程序会把这样的公式变成"
                      "#REF!。请先把文件另存为.xlsx再对比。文件没有改动。")
                .arg(broken.mid(0, 5).join(tr("、")));
    }
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
    // Nothing has changed yet: the user may still stop.
    const QString spanning =
        settings.onSpanningFormulas
            ? spanningExplanation(formulasSpanning(book, {table1->getSheetName(), table2->getSheetName()}))
            : QString();
    if (!spanning.isEmpty() && !settings.onSpanningFormulas(spanning)) {
        ComparisonOutcome stopped;
        //: After the text on formulas with 3-D references, when the user chose to stop.
        stopped.messages.append(tr("%1对比已停止，文件没有改动。").arg(spanning));
        return stopped;
    }
    // Up from the first change to the end of the save: inserting a column into a long sheet
    // and saving it take seconds.
    RunProgress dialog(translated(kProgressLabel), translated(kProgressCancel), 0,
                       2 * (dataRowCount(2, lastRow1) + dataRowCount(2, lastRow2)));
    showStage(dialog, kOpeningStage);
    // The inserted columns make the office mark formulas changed and calculate them with its own
    // functions; Excel would give the results the file holds, which stay. Only what takes from
    // the counts is calculated.
    const SavedResultsKept keptResults(book);
    prepareSheets();
    showStage(dialog, kComparingStage);
    const bool finished = countOccurrences(dialog);
    calculateWhatTakesFromCounts();
    showStage(dialog, kSavingStage);
    ComparisonOutcome outcome = finish(finished);
    dialog.close();
    return outcome;
}

int ComparisonRun::insertedColumns() const
{
    return settings.options.matchRow ? 2 : 1;
}

void ComparisonRun::calculateWhatTakesFromCounts()
{
    table1->calculateDependentsOf(1, 1, insertedColumns(), qMax(1, lastRow1));
    table2->calculateDependentsOf(1, 1, insertedColumns(), qMax(1, lastRow2));
}

void ComparisonRun::prepareSheets()
{
    // The titles as chosen (or typed), before the inserted columns shift them.
    const QString title1 = chosenTitle(settings.side1, table1);
    const QString title2 = chosenTitle(settings.side2, table2);
    for (int k = 0; k < insertedColumns(); ++k) {
        table1->insertColumn(1);
        table2->insertColumn(1);
    }
    table1->setAutoFilter(1);
    table2->setAutoFilter(1);
    const QString forgiven = forgivenSuffix(settings.options);
    table1->setCellValue(1, 1, occurrenceHeader(title1, table2->getSheetName(), title2) + forgiven);
    table2->setCellValue(1, 1, occurrenceHeader(title2, table1->getSheetName(), title1) + forgiven);
    if (settings.options.matchRow) {
        table1->setCellValue(1, 2, matchRowHeader(table2->getSheetName(), title2));
        table2->setCellValue(1, 2, matchRowHeader(table1->getSheetName(), title1));
    }
    table1->loadColumnTitles(1);
    table2->loadColumnTitles(1);
}

bool ComparisonRun::countOccurrences(RunProgress& dialog)
{
    constexpr int kFirstRow = 2;
    const ComparisonOptions& options = settings.options;
    const int rows1 = dataRowCount(kFirstRow, lastRow1);
    const int rows2 = dataRowCount(kFirstRow, lastRow2);
    ProgressSteps progress(dialog);
    QStringList values1;
    QStringList values2;
    PassOutcome outcome =
        readColumn(table1, settings.side1.titleIndex + 1 + insertedColumns(), kFirstRow, rows1, progress, values1);
    if (outcome == PassOutcome::Done)
        outcome =
            readColumn(table2, settings.side2.titleIndex + 1 + insertedColumns(), kFirstRow, rows2, progress, values2);
    for (QString& value : values1)
        value = comparedForm(value, options);
    for (QString& value : values2)
        value = comparedForm(value, options);
    const Occurrences found1 = occurrencesOf(values1, values2, kFirstRow, options.matchRow);
    const Occurrences found2 = occurrencesOf(values2, values1, kFirstRow, options.matchRow);
    if (outcome == PassOutcome::Done)
        outcome = writeColumn(table1, 1, kFirstRow, found1.counts, progress);
    if (outcome == PassOutcome::Done)
        outcome = writeColumn(table2, 1, kFirstRow, found2.counts, progress);
    if (outcome == PassOutcome::Done && !addChosenExtras(found1, found2))
        outcome = PassOutcome::WriteFailed;
    if (outcome != PassOutcome::Done)
        shownDuringRun.append(translated(outcome == PassOutcome::Cancelled ? kCancelledText : kWriteFailedText));
    return outcome == PassOutcome::Done;
}

// The match rows and the marks on counts of 0, as the options ask; false when the office refused.
bool ComparisonRun::addChosenExtras(const Occurrences& found1, const Occurrences& found2)
{
    constexpr int kFirstRow = 2;
    if (settings.options.matchRow
        && !(table1->writeColumnTexts(2, kFirstRow, found1.firstRows)
             && table2->writeColumnTexts(2, kFirstRow, found2.firstRows)))
        return false;
    if (!settings.options.highlightMissing)
        return true;
    const auto marked = [](SheetEntry* sheet, int lastRow) {
        return lastRow < kFirstRow || sheet->highlightCellsEqualTo(1, kFirstRow, lastRow, 0);
    };
    return marked(table1, lastRow1) && marked(table2, lastRow2);
}

ComparisonOutcome ComparisonRun::finish(bool finished)
{
    ComparisonOutcome outcome;
    outcome.columnsInserted = insertedColumns();
    outcome.messages = shownDuringRun;
    const OfficeState office = book.officeState();
    if (office != OfficeState::Working) {
        // Nothing can be saved through an office that is gone; the file on disk is untouched.
        outcome.kind = ComparisonOutcome::Kind::Failed;
        outcome.messages = QStringList{officeLostText(office)};
        return outcome;
    }
    if (settings.options.keepBackup && keepBackupBeside(settings.workbookPath).isEmpty()) {
        outcome.kind = ComparisonOutcome::Kind::Failed;
        outcome.messages.append(backupFailedText(settings.workbookPath));
        return outcome;
    }
    const ResultSave save = ResultSaver::save(book, settings.workbookPath, settings.resultPath, settings.onLoss);
    outcome.saved = save.saved;
    outcome.savedPath = save.savedPath;
    outcome.kind = finished ? ComparisonOutcome::Kind::Finished : ComparisonOutcome::Kind::Cancelled;
    const QString notice = ResultSaver::noticeOf(save, settings.workbookPath);
    // A result the user chose not to save needs no word on read-only files.
    if (save.choice != LossChoice::DontSave || save.lostFeatures.isEmpty()) {
        const char* text = finished ? (outcome.saved ? kFinishedText : kFinishedNotSavedText)
                                    : (outcome.saved ? kPartialText : kPartialNotSavedText);
        outcome.messages.append(translated(text));
    }
    if (!notice.isEmpty())
        outcome.messages.append(notice);
    return outcome;
}
