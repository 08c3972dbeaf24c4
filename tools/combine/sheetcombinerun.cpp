#include "tools/combine/sheetcombinerun.h"

#include "common/runprogress.h"
#include "excelop/excelopkiv.h"
#include "tools/combine/movedcolumns.h"
#include "tools/shared/crosssheetformulas.h"

#include <QPoint>
#include <optional>

SheetCombineRun::SheetCombineRun(ExcelOpKiv& book, const SheetCombineSettings& settings, const SheetCombinePlan& plan)
    : book(book), settings(settings), plan(plan)
{}

namespace {

// Where a sheet's columns are rearranged for the rows that go through it; gone before the run ends.
const QString kWorkCopy = QStringLiteral("~kivexcel~work");

bool columnsInPlace(const CombinedPart& part)
{
    for (int c = 0; c < part.targetColumns.size(); ++c)
        if (part.targetColumns.at(c) != c + 1)
            return false;
    return true;
}

} // namespace

SheetCombineRun::Outcome SheetCombineRun::run()
{
    if (plan.parts.isEmpty())
        return Outcome::Failed;
    RunProgress progress(tr("正在处理中，请不要操作其他Excel文件。"), tr("取消"), 0, plan.parts.size());
    // The first sheet's copy brings its titles, widths, formats and views; its rows are the first.
    const CombinedPart& first = plan.parts.first();
    result = book.copySheet(first.sheet, plan.resultName);
    if (result.isEmpty() || !book.findSheet(result))
        return Outcome::Failed;
    std::optional<CrossSheetFormulas> crossSheet;
    if (!settings.keepBrokenFormulas && !settings.otherSheetsDone)
        crossSheet.emplace(crossSheetFormulasOf(book));
    int nextRow = qMax(first.lastRow, plan.titleRows) + 1;
    progress.setValue(1);
    for (int i = 1; i < plan.parts.size(); ++i) {
        if (progress.wasCanceled())
            return Outcome::Cancelled;
        const CombinedPart& part = plan.parts.at(i);
        if (part.rowCount() > 0 && !partCopied(part, crossSheet ? &*crossSheet : nullptr, nextRow))
            return Outcome::Failed;
        nextRow += part.rowCount();
        progress.setValue(i + 1);
    }
    SheetEntry* target = book.findSheet(result);
    if (!target)
        return Outcome::Failed;
    for (int t = 0; t < plan.addedTitles.size(); ++t)
        keptRuns.append(
            QVariant(QVariantList{plan.firstAddedColumn + t, plan.titleRows, QVariantList{plan.addedTitles.at(t)}}));
    if (!keptRuns.isEmpty())
        target->writeColumnRuns(keptRuns);
    if (settings.sourceColumn && !sourceColumnWritten(*target, nextRow - 1))
        return Outcome::Failed;
    // The copies keep the results Excel saved; what takes from other rows now sees the other
    // sheets' rows too, as it would in Excel.
    target->calculateReachingOtherRows();
    progress.close();
    return Outcome::Finished;
}

// Whole rows when the columns stay where they are, so row formats come along; otherwise the
// columns that keep their order through a work copy, the others one block per run.
bool SheetCombineRun::partCopied(const CombinedPart& part, const CrossSheetFormulas* crossSheet, int targetRow)
{
    SheetEntry* source = book.findSheet(part.sheet);
    const bool formulas = source && source->holdsFormulas();
    std::optional<MovedColumns> moved;
    if (source && !columnsInPlace(part)) {
        // Only formulas gain from the work copy; a protected sheet's copy takes no column.
        moved.emplace(part.targetColumns, formulas && !source->isProtected(true));
        const WorkCopy work = moved->throughWorkCopy() ? workCopyPlaced(part, *moved, targetRow) : WorkCopy::NotPlaced;
        if (work == WorkCopy::Stuck)
            return false;
        if (work == WorkCopy::NotPlaced)
            moved.emplace(part.targetColumns, false);
    }
    source = book.findSheet(part.sheet); // the lists were read again
    SheetEntry* target = book.findSheet(result);
    if (!source || !target || !copiedStraight(part, moved ? &*moved : nullptr, *source, *target, targetRow))
        return false;
    if (formulas && !settings.keepBrokenFormulas && (crossSheet || moved))
        keepShownValues(part, *source, crossSheet, moved ? &*moved : nullptr, targetRow);
    target->setRowLooks(targetRow, source->rowLooks(part.firstRow, part.lastRow));
    return true;
}

// The sheet copied, its columns deleted and inserted so that those it keeps stand in their target
// columns (the references to them following), and its rows copied whole into the target.
SheetCombineRun::WorkCopy SheetCombineRun::workCopyPlaced(const CombinedPart& part, const MovedColumns& moved,
                                                          int targetRow)
{
    const QString copy = book.copySheet(part.sheet, kWorkCopy);
    if (copy.isEmpty())
        return WorkCopy::NotPlaced;
    SheetEntry* work = book.findSheet(copy);
    SheetEntry* target = book.findSheet(result);
    bool placed = work && target;
    for (const int column : moved.deletedColumns())
        placed = placed && work->deleteColumn(column);
    for (const int column : moved.insertedColumns())
        placed = placed && work->insertColumn(column);
    placed = placed && work->copyBlockTo(1, part.firstRow, 0, part.lastRow, *target, 1, targetRow);
    if (!book.removeSheet(copy))
        return WorkCopy::Stuck;
    return placed ? WorkCopy::Placed : WorkCopy::NotPlaced;
}

bool SheetCombineRun::copiedStraight(const CombinedPart& part, const MovedColumns* moved, SheetEntry& source,
                                     SheetEntry& target, int targetRow)
{
    if (!moved)
        return source.copyBlockTo(1, part.firstRow, 0, part.lastRow, target, 1, targetRow);
    for (const QVector<int>& block : moved->straightBlocks())
        if (!source.copyBlockTo(block.at(0), part.firstRow, block.at(1), part.lastRow, target, block.at(2), targetRow))
            return false;
    return true;
}

// A reference to another sheet moves along with the copied row and would point at other cells;
// so would a reference of a row whose columns moved, unless its cells land where it points.
void SheetCombineRun::keepShownValues(const CombinedPart& part, SheetEntry& source,
                                      const CrossSheetFormulas* crossSheet, const MovedColumns* moved, int targetRow)
{
    const QList<QStringList> cells = source.blockFormulas(1, part.firstRow, part.columns, part.lastRow);
    QVector<QPoint> kept; // (column, row) counted from the part's first cell, 0-based
    for (int r = 0; r < cells.size(); ++r)
        for (int c = 0; c < cells.at(r).size(); ++c) {
            const QString& cell = cells.at(r).at(c);
            if (!cell.startsWith(QLatin1Char('=')))
                continue;
            const bool follows = !moved || moved->formulaFollows(cell, c + 1, part.firstRow + r);
            if (!follows || (crossSheet && crossSheet->pointsElsewhere(cell, part.sheet)))
                kept.append(QPoint(c, r));
        }
    // The values are read only when some are kept: the read costs the office more than the formulas.
    const QList<QVariantList> shown = kept.isEmpty() ? QList<QVariantList>() : source.usedAreaValues();
    for (const QPoint& cell : kept)
        keptRuns.append(
            QVariant(QVariantList{part.targetColumns.value(cell.x(), cell.x() + 1), targetRow + cell.y(),
                                  QVariantList{shown.value(part.firstRow - 1 + cell.y()).value(cell.x())}}));
    valuesKept += kept.size();
}

bool SheetCombineRun::sourceColumnWritten(SheetEntry& target, int lastRow)
{
    if (!target.insertColumn(1))
        return false;
    QStringList labels;
    if (plan.titleRows > 0)
        labels.append(tr("来源"));
    for (const CombinedPart& part : qAsConst(plan.parts))
        for (int r = 0; r < part.rowCount(); ++r)
            labels.append(part.label);
    const int firstRow = plan.titleRows > 0 ? plan.titleRows : 1;
    return labels.isEmpty() || lastRow < firstRow || target.writeColumnTexts(1, firstRow, labels);
}
