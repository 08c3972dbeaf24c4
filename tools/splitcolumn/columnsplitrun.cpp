#include "tools/splitcolumn/columnsplitrun.h"

#include "common/runprogress.h"
#include "excelop/excelopkiv.h"
#include "tools/splitcolumn/columnsplitplan.h"
#include "tools/splitcolumn/conditionkeeper.h"
#include "tools/splitcolumn/sortedcopycheck.h"
#include "tools/splitcolumn/sortedhalving.h"
#include "tools/splitcolumn/splitrows.h"
#include "tools/splitcolumn/splitvaluekeeper.h"

#include <QCoreApplication>
#include <QHash>

#include <limits>
#include <memory>

namespace {

constexpr int kMaxBlocksPerCall = 1000;
constexpr int kBatchesPerValue = 10;
constexpr int kRowLooksPerCall = 20000;
// The sorted work copy's name while the run lasts.
constexpr char kWorkSheetName[] = "KivExcel排序中";

// Whether two rows hold the same cells but for their formulas, whose references follow the row.
bool sameRowBesideFormulas(const QStringList& a, const QStringList& b)
{
    if (a.size() != b.size())
        return false;
    for (int c = 0; c < a.size(); ++c) {
        const bool formulas = a.at(c).startsWith(QLatin1Char('=')) && b.at(c).startsWith(QLatin1Char('='));
        if (!formulas && a.at(c) != b.at(c))
            return false;
    }
    return true;
}

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
    {}

    // Moves the bar and reports whether the user has cancelled meanwhile.
    bool advanceTo(qint64 value)
    {
        dialog.setValue(int(value / divisor));
        return !dialog.wasCanceled();
    }
    // Whether the user has not cancelled: the dialog takes 取消 during office calls.
    bool carryOn() const { return !dialog.wasCanceled(); }
    void close() { dialog.close(); }

private:
    qint64 divisor;
    RunProgress dialog;
};

ColumnSplitRun::ColumnSplitRun(ExcelOpKiv& book, const ColumnSplitSettings& settings) : book(book), settings(settings)
{}

ColumnSplitRun::~ColumnSplitRun() = default;

ColumnSplitRun::Outcome ColumnSplitRun::run()
{
    SheetEntry* source = book.findSheet(settings.sheetName);
    // One bulk read; every copy starts as the same rows, so its blocks are known beforehand.
    const SplitRows rows =
        source ? splitRowsOf(*source, settings.titleRow, settings.endRow, settings.referColumn) : SplitRows();
    const QVector<ValueRows>& groups = rows.groups;
    emptyRows = rows.emptyRows;
    valueCount = groups.size();
    bool keepingValues = false;
    if (source && !settings.keepBrokenFormulas) {
        valueKeeper =
            std::make_unique<SplitValueKeeper>(*source, formulasOf(*source), settings.titleRow + 1, settings.endRow,
                                               settings.deleteReferColumn ? settings.referColumn : 0);
        for (const ValueRows& group : groups)
            keepingValues = keepingValues || valueKeeper->neededFor(group.rows);
    }
    const qint64 rowsPerValue = qMax(0, settings.endRow - settings.titleRow);
    if (source) {
        constantNames = constantNamesFor(book.definedNames(), source->getSheetName());
        conditionKeeper = std::make_unique<ConditionKeeper>(
            *source, SortedRows{settings.titleRow + 1, settings.endRow, 0}, constantNames);
    }

    SplitProgress progress(groups.size() * rowsPerValue);
    // Values are kept in a copy of the source before its rows go, or, on the sorted way, once a
    // new sheet is cut, unless table formulas need putting right first.
    const Outcome outcome =
        source && (!keepingValues || valueKeeper->keepsValuesAfterCut()) && sortedCopyPays(*source, groups)
            ? splitFromSortedCopy(groups, progress)
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
        if (legalSheetName(group.value).toCaseFolded().startsWith(QString::fromUtf8(kWorkSheetName).toCaseFolded()))
            return false;
    }
    const int usedColumns = source.usedColumnCount();
    if (blockCount < qMin(settings.blocksForSortedCopy, settings.blocksForSortedCopyWithFormulas)
        || usedColumns < settings.referColumn)
        return false;
    if (blockCount < settings.blocksForSortedCopy && !source.holdsFormulas())
        return false;
    if (!conditionKeeper || !conditionKeeper->sortable())
        return false;
    sortedColumns = usedColumns;
    return sortingSplitsLikeDeleting(source, SortedRows{settings.titleRow + 1, settings.endRow, usedColumns},
                                     constantNames, source.holdsFormulas() ? &formulasOf(source) : nullptr);
}

// A work copy of the source with each value's rows together; every new sheet is a copy of it
// without the other values' rows. The work copy goes again at the end. Copies of a sheet with its
// rows deleted equal copies made first and trimmed after, so the new sheets are the same as those
// the block-by-block way makes.
ColumnSplitRun::Outcome ColumnSplitRun::splitFromSortedCopy(const QVector<ValueRows>& groups, SplitProgress& progress)
{
    const QString workName = book.copySheet(settings.sheetName, QString::fromUtf8(kWorkSheetName));
    SheetEntry* work = workName.isEmpty() ? nullptr : book.findSheet(workName);
    SheetEntry* source = book.findSheet(settings.sheetName);
    // The empty rows come together as well, and go to no sheet.
    QVector<ValueRows> sorted = groups;
    if (!emptyRows.isEmpty())
        sorted.append(ValueRows{QString(), emptyRows});
    const QVector<int> starts = work && source ? groupRowsByValueIn(*work, *source, sorted, progress) : QVector<int>();
    if (starts.isEmpty()) {
        if (work && !book.removeSheet(workName))
            return Outcome::Failed;
        return progress.carryOn() ? splitBlockByBlock(groups, progress) : Outcome::Cancelled;
    }
    const qint64 rowsPerValue = settings.endRow - settings.titleRow;
    qint64 progressOffset = 0;
    SortedHalving halving(book, sorted, groups.size(), starts, settings.titleRow + 1);
    const bool cut = halving.run(
        workName, settings.sheetName,
        [&](SheetEntry& sheet, int group) {
            if (!progress.advanceTo(progressOffset))
                return false;
            if (valueKeeper)
                valuesKept += valueKeeper->keepValuesAfterCut(sheet, sorted.at(group).rows);
            finishSplitSheet(sheet, sorted.at(group).rows);
            progressOffset += rowsPerValue;
            return true;
        },
        [&progress] { return progress.carryOn(); });
    valuesLeftOut += halving.valuesLeftOut();
    if (!cut)
        return Outcome::Failed;
    if (halving.cancelled())
        return Outcome::Cancelled;
    return progress.advanceTo(progressOffset) ? Outcome::Finished : Outcome::Cancelled;
}

// Sorts the work copy's data rows by group. Where each value's rows then start (0 for the first
// data row) is read back, and every row checked against the source; empty when the rows did not
// come out so, for instance when the office refused the sort or two groups share a value, and
// when the user cancelled meanwhile.
QVector<int> ColumnSplitRun::groupRowsByValueIn(SheetEntry& work, SheetEntry& source, const QVector<ValueRows>& groups,
                                                const SplitProgress& progress)
{
    const int firstDataRow = settings.titleRow + 1;
    const int rowCount = settings.endRow - settings.titleRow;
    const QList<QStringList> before = dataRowsOf(source, firstDataRow, rowCount);
    // Heights and hidden rows stay with the row numbers in a sort: they are put back after it.
    const QVariantList looks = work.rowLooks(firstDataRow, settings.endRow);
    if (before.size() != rowCount || looks.size() != rowCount || !progress.carryOn() || !sortByGroup(work, groups)
        || !progress.carryOn())
        return {};
    const QList<QStringList> after = work.blockFormulas(1, firstDataRow, sortedColumns, settings.endRow);
    const QStringList values = work.readColumnTexts(settings.referColumn, firstDataRow, settings.endRow);
    if (after.size() != rowCount || values.size() != rowCount)
        return {};
    QHash<QString, int> groupOfValue;
    for (int g = 0; g < groups.size(); ++g) {
        if (groupOfValue.contains(groups.at(g).value))
            return {};
        groupOfValue.insert(groups.at(g).value, g);
    }
    QVector<int> starts(groups.size(), -1);
    int position = 0;
    while (position < rowCount) {
        const int g = groupOfValue.value(values.at(position), -1);
        if (g < 0 || starts.at(g) >= 0)
            return {};
        starts[g] = position;
        for (int row : groups.at(g).rows) {
            if (position >= rowCount || values.at(position) != groups.at(g).value
                || !sameRowBesideFormulas(after.at(position), before.at(row - firstDataRow)))
                return {};
            ++position;
        }
    }
    QVariantList sortedLooks = looks;
    for (int g = 0; g < groups.size(); ++g)
        for (int k = 0; k < groups.at(g).rows.size(); ++k)
            sortedLooks[starts.at(g) + k] = looks.at(groups.at(g).rows.at(k) - firstDataRow);
    // The sort left every row's look at its number. Put back a slice per call, so a cancel is
    // taken in between on long sheets.
    for (int first = 0; first < rowCount; first += kRowLooksPerCall)
        if (!progress.carryOn()
            || !work.setRowLooks(firstDataRow + first, sortedLooks.mid(first, kRowLooksPerCall),
                                 looks.mid(first, kRowLooksPerCall)))
            return {};
    return starts;
}

// Sorts the work copy's data rows into the groups' order, each group's rows in their order. The
// values' sheets then come out of the halving in their order, with no sheet to move.
bool ColumnSplitRun::sortByGroup(SheetEntry& work, const QVector<ValueRows>& groups)
{
    const int firstDataRow = settings.titleRow + 1;
    QVector<int> groupOfRow(settings.endRow - settings.titleRow, groups.size());
    for (int g = 0; g < groups.size(); ++g)
        for (int row : groups.at(g).rows)
            groupOfRow[row - firstDataRow] = g;
    QVariantList keys;
    for (int group : groupOfRow)
        keys.append(group);
    // References to moved cells follow them, as they follow rows that close up in a deletion.
    return work.sortRowsByKeys(firstDataRow, settings.endRow, sortedColumns, keys, true);
}

// The source's used-area formulas, read once for the run; none when it holds no formulas.
const QList<QStringList>& ColumnSplitRun::formulasOf(SheetEntry& source)
{
    if (!sourceFormulasRead && source.holdsFormulas())
        sourceFormulas = source.usedAreaFormulas();
    sourceFormulasRead = true;
    return sourceFormulas;
}

// The source's data rows as blockFormulas gives them, columns 1..sortedColumns.
QList<QStringList> ColumnSplitRun::dataRowsOf(SheetEntry& source, int firstDataRow, int rowCount)
{
    const QList<QStringList>& used = formulasOf(source);
    if (used.size() < firstDataRow - 1 + rowCount)
        return source.blockFormulas(1, firstDataRow, sortedColumns, settings.endRow);
    QList<QStringList> rows = used.mid(firstDataRow - 1, rowCount);
    for (QStringList& row : rows) {
        if (row.size() > sortedColumns)
            row.erase(row.begin() + sortedColumns, row.end());
        while (row.size() < sortedColumns)
            row.append(QString());
    }
    return rows;
}

// Cancelled: the copy keeps what was done so far.
ColumnSplitRun::Outcome ColumnSplitRun::splitOneValue(const ValueRows& group, SplitProgress& progress,
                                                      qint64 progressOffset)
{
    const qint64 rowsPerValue = settings.endRow - settings.titleRow;
    SheetEntry* copy = copyForValue(settings.sheetName, group.value);
    if (!copy) {
        valuesLeftOut.append(group.value);
        return progress.advanceTo(progressOffset + rowsPerValue) ? Outcome::Finished : Outcome::Cancelled;
    }
    if (valueKeeper)
        valuesKept += valueKeeper->keepValuesIn(book, *copy, group.rows);
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
        const bool batchFull =
            batch.size() == kMaxBlocksPerCall || batch.first().second - block->first + 1 >= rowsPerBatch;
        if (batchFull || block + 1 == blocks.crend()) {
            if (!copy->deleteRowBlocks(batch))
                return Outcome::Failed;
            batch.clear();
        }
    }
    if (!progress.advanceTo(progressOffset + rowsPerValue))
        return Outcome::Cancelled;
    finishSplitSheet(*copy, group.rows);
    return Outcome::Finished;
}

void ColumnSplitRun::finishSplitSheet(SheetEntry& split, const QVector<int>& keptRows)
{
    if (conditionKeeper)
        conditionKeeper->restoreIn(split);
    if (settings.deleteReferColumn)
        split.deleteColumn(settings.referColumn);
    // Fewer rows change what the sheet's formulas over its rows give, in Excel too; a formula over
    // its own row keeps the result Excel saved.
    split.calculateReachingOtherRows();
    if (valueKeeper)
        valuesKept += valueKeeper->restoreErrorsAfterSplit(split, keptRows,
                                                           settings.deleteReferColumn ? settings.referColumn : 0);
}

SheetEntry* ColumnSplitRun::copyForValue(const QString& copiedSheet, const QString& value)
{
    // The office may not take the value as it is; the copy is found under the name it really got.
    const QString madeName = book.copySheet(copiedSheet, value);
    return madeName.isEmpty() ? nullptr : book.findSheet(madeName);
}
