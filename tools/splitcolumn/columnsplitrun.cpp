#include "tools/splitcolumn/columnsplitrun.h"

#include "common/runprogress.h"
#include "excelop/excelopkiv.h"
#include "tools/splitcolumn/columnsplitplan.h"

#include <QCoreApplication>

#include <limits>

namespace {

constexpr int kMaxBlocksPerCall = 1000;
constexpr int kBatchesPerValue = 10;
// The sorted work copy's name while the run lasts.
constexpr char kWorkSheetName[] = "KivExcel排序中";

} // namespace

// The run's progress dialog. Its range is values × data rows, which can pass the int range of a
// progress dialog on huge sheets: then every value is divided down by the same factor.
class SplitProgress
{
public:
    explicit SplitProgress(qint64 maximum)
        : divisor(maximum / std::numeric_limits<int>::max() + 1),
          dialog(QCoreApplication::translate("SplitSheetFromColumn", "正在处理中，请不要操作其他Excel文件。"),
                 QCoreApplication::translate("SplitSheetFromColumn", "取消"), 0, int(maximum / divisor))
    {
    }

    // Moves the bar and reports whether the user has cancelled meanwhile.
    bool advanceTo(qint64 value)
    {
        dialog.setValue(int(value / divisor));
        return !dialog.wasCanceled();
    }
    void close() { dialog.close(); }

private:
    qint64 divisor;
    RunProgress dialog;
};

ColumnSplitRun::ColumnSplitRun(ExcelOpKiv& book, const ColumnSplitSettings& settings)
    : book(book), settings(settings)
{
}

ColumnSplitRun::Outcome ColumnSplitRun::run()
{
    SheetEntry* source = book.findSheet(settings.sheetName);
    const int firstDataRow = settings.titleRow + 1;
    // One bulk read; every copy starts as the same rows, so its blocks are known beforehand.
    const QStringList texts = source ? source->readColumnTexts(settings.referColumn, firstDataRow, settings.endRow)
                                     : QStringList();
    const QVector<ValueRows> groups = groupRowsByValue(texts, firstDataRow);
    const qint64 rowsPerValue = qMax(0, settings.endRow - settings.titleRow);

    SplitProgress progress(groups.size() * rowsPerValue);
    const Outcome outcome = source && sortedCopyPays(*source, groups) ? splitFromSortedCopy(groups, progress)
                                                                    : splitBlockByBlock(groups, progress);
    progress.close();
    return outcome;
}

ColumnSplitRun::Outcome ColumnSplitRun::splitBlockByBlock(const QVector<ValueRows>& groups, SplitProgress& progress)
{
    const qint64 rowsPerValue = settings.endRow - settings.titleRow;
    qint64 progressOffset = 0;
    for (const ValueRows& group : groups) {
        const Outcome step = splitOneValue(group, progress, progressOffset);
        if (step != Outcome::Finished)
            return step;
        progressOffset += rowsPerValue;
    }
    return Outcome::Finished;
}

// Worth it with many blocks, and only where sorting rows moves everything that deleting the rows
// around them would: then the new sheets come out the same either way.
bool ColumnSplitRun::sortedCopyPays(SheetEntry& source, const QVector<ValueRows>& groups)
{
    int blockCount = 0;
    for (const ValueRows& group : groups) {
        blockCount += blocksBetween(group.rows, settings.titleRow + 1, settings.endRow).size();
        // The work copy's name must not change the names the values get.
        if (legalSheetName(group.value).toCaseFolded() == QString::fromUtf8(kWorkSheetName).toCaseFolded())
            return false;
    }
    const int usedColumns = source.usedColumnCount();
    return blockCount >= settings.blocksForSortedCopy && usedColumns > 0 && usedColumns < source.columnLimit()
           && source.rowsMoveWithTheirCells(settings.titleRow + 1, settings.endRow);
}

// A work copy of the source with each value's rows together, in the values' order; every new
// sheet is a copy of it without the other values' rows. The work copy goes again at the end.
// Copies of a sheet with its rows deleted equal copies made first and trimmed after, so the new
// sheets are the same as those the block-by-block way makes.
ColumnSplitRun::Outcome ColumnSplitRun::splitFromSortedCopy(const QVector<ValueRows>& groups, SplitProgress& progress)
{
    const QString workName = book.copySheet(settings.sheetName, QString::fromUtf8(kWorkSheetName));
    SheetEntry* work = workName.isEmpty() ? nullptr : book.findSheet(workName);
    if (!work || !groupRowsByValueIn(*work, groups)) {
        if (work && !book.removeSheet(workName))
            return Outcome::Failed;
        return splitBlockByBlock(groups, progress);
    }
    const Outcome outcome = splitOffSortedGroups(workName, groups, progress);
    return book.removeSheet(workName) ? outcome : Outcome::Failed;
}

bool ColumnSplitRun::groupRowsByValueIn(SheetEntry& work, const QVector<ValueRows>& groups)
{
    const int firstDataRow = settings.titleRow + 1;
    QStringList sortKeys;
    for (int row = firstDataRow; row <= settings.endRow; ++row)
        sortKeys.append(QString());
    int rank = 0;
    for (const ValueRows& group : groups)
        for (int row : group.rows)
            sortKeys[row - firstDataRow] = QString::number(rank++);
    if (rank != sortKeys.size())
        return false;
    const int keyColumn = work.usedColumnCount() + 1;
    const bool sorted = work.writeColumnTexts(keyColumn, firstDataRow, sortKeys)
                        && work.sortRowsByColumn(firstDataRow, settings.endRow, keyColumn, keyColumn);
    work.deleteColumn(keyColumn);
    return sorted;
}

// Each value's rows lie at the top of the work copy's data area when its sheet is copied from
// it; the work copy then drops them, so later copies have fewer rows to copy and delete.
ColumnSplitRun::Outcome ColumnSplitRun::splitOffSortedGroups(const QString& workName, const QVector<ValueRows>& groups,
                                                             SplitProgress& progress)
{
    const int firstDataRow = settings.titleRow + 1;
    const qint64 rowsPerValue = settings.endRow - settings.titleRow;
    qint64 progressOffset = 0;
    int rowsLeft = settings.endRow - settings.titleRow; // data rows still in the work copy
    for (const ValueRows& group : groups) {
        if (!progress.advanceTo(progressOffset))
            return Outcome::Cancelled;
        const int groupRows = group.rows.size();
        SheetEntry* copy = copyForValue(workName, group.value);
        if (!copy) {
            valuesLeftOut.append(group.value);
        } else {
            if (groupRows < rowsLeft && !copy->deleteRowBlocks({{firstDataRow + groupRows, firstDataRow + rowsLeft - 1}}))
                return Outcome::Failed;
            if (settings.deleteReferColumn)
                copy->deleteColumn(settings.referColumn);
        }
        SheetEntry* work = book.findSheet(workName);
        if (groupRows < rowsLeft && !(work && work->deleteRowBlocks({{firstDataRow, firstDataRow + groupRows - 1}})))
            return Outcome::Failed;
        rowsLeft -= groupRows;
        progressOffset += rowsPerValue;
    }
    return progress.advanceTo(progressOffset) ? Outcome::Finished : Outcome::Cancelled;
}

// Cancelled: the copy keeps what was done so far.
ColumnSplitRun::Outcome ColumnSplitRun::splitOneValue(const ValueRows& group, SplitProgress& progress, qint64 progressOffset)
{
    const qint64 rowsPerValue = settings.endRow - settings.titleRow;
    SheetEntry* copy = copyForValue(settings.sheetName, group.value);
    if (!copy) {
        valuesLeftOut.append(group.value);
        return progress.advanceTo(progressOffset + rowsPerValue) ? Outcome::Finished : Outcome::Cancelled;
    }
    // Bottom-up: rows above a deleted block keep their numbers, and fewer rows move per deletion.
    // The blocks go to the office a batch per call, each batch covering about a tenth of the data
    // rows; progress and cancel are looked at before each batch.
    const QVector<RowBlock> blocks = blocksBetween(group.rows, settings.titleRow + 1, settings.endRow);
    const int rowsPerBatch = qMax<qint64>(1, rowsPerValue / kBatchesPerValue);
    QList<QPair<int, int>> batch;
    for (auto block = blocks.crbegin(); block != blocks.crend(); ++block) {
        if (batch.isEmpty() && !progress.advanceTo(progressOffset + settings.endRow - block->last))
            return Outcome::Cancelled;
        batch.append({block->first, block->last});
        const bool batchFull = batch.size() == kMaxBlocksPerCall || batch.first().second - block->first + 1 >= rowsPerBatch;
        if (batchFull || block + 1 == blocks.crend()) {
            if (!copy->deleteRowBlocks(batch))
                return Outcome::Failed;
            batch.clear();
        }
    }
    if (!progress.advanceTo(progressOffset + rowsPerValue))
        return Outcome::Cancelled;
    if (settings.deleteReferColumn)
        copy->deleteColumn(settings.referColumn);
    return Outcome::Finished;
}

SheetEntry* ColumnSplitRun::copyForValue(const QString& copiedSheet, const QString& value)
{
    // The office may not take the value as it is; the copy is found under the name it really got.
    const QString madeName = book.copySheet(copiedSheet, value);
    return madeName.isEmpty() ? nullptr : book.findSheet(madeName);
}
