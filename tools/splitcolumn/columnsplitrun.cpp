#include "tools/splitcolumn/columnsplitrun.h"

#include "app/dialogs.h"
#include "excelop/excelopkiv.h"
#include "tools/splitcolumn/columnsplitplan.h"

#include <QCoreApplication>

#include <limits>

namespace {

constexpr int kMaxBlocksPerCall = 1000;
constexpr int kBatchesPerValue = 10;

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
    KivProgressDialog dialog;
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
    qint64 progressOffset = 0;
    for (const ValueRows& group : groups) {
        const Outcome step = splitOneValue(group, progress, progressOffset);
        if (step != Outcome::Finished) {
            progress.close();
            return step;
        }
        progressOffset += rowsPerValue;
    }
    progress.close();
    return Outcome::Finished;
}

// Cancelled: the copy keeps what was done so far.
ColumnSplitRun::Outcome ColumnSplitRun::splitOneValue(const ValueRows& group, SplitProgress& progress, qint64 progressOffset)
{
    const qint64 rowsPerValue = settings.endRow - settings.titleRow;
    SheetEntry* copy = copyForValue(group.value);
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

SheetEntry* ColumnSplitRun::copyForValue(const QString& value)
{
    // The office may not take the value as it is; the copy is found under the name it really got.
    const QString madeName = book.copySheet(settings.sheetName, value);
    return madeName.isEmpty() ? nullptr : book.findSheet(madeName);
}
