#include "tools/combine/sheetcombinerun.h"

#include "common/runprogress.h"
#include "excelop/excelopkiv.h"
#include "tools/combine/titlealignment.h"
#include "tools/shared/crosssheetformulas.h"

#include <optional>

SheetCombineRun::SheetCombineRun(ExcelOpKiv& book, const SheetCombineSettings& settings, const SheetCombinePlan& plan)
    : book(book), settings(settings), plan(plan)
{}

SheetCombineRun::Outcome SheetCombineRun::run()
{
    if (plan.parts.isEmpty())
        return Outcome::Failed;
    RunProgress progress(tr("正在处理中，请不要操作其他Excel文件。"), tr("取消"), 0, plan.parts.size());
    // The first sheet's copy brings its titles, widths, formats and views; its rows are the first.
    const CombinedPart& first = plan.parts.first();
    result = book.copySheet(first.sheet, plan.resultName);
    SheetEntry* target = result.isEmpty() ? nullptr : book.findSheet(result);
    if (!target)
        return Outcome::Failed;
    std::optional<CrossSheetFormulas> crossSheet;
    if (!settings.keepBrokenFormulas)
        crossSheet.emplace(crossSheetFormulasOf(book));
    int nextRow = qMax(first.lastRow, plan.titleRows) + 1;
    progress.setValue(1);
    for (int i = 1; i < plan.parts.size(); ++i) {
        if (progress.wasCanceled())
            return Outcome::Cancelled;
        const CombinedPart& part = plan.parts.at(i);
        SheetEntry* source = book.findSheet(part.sheet);
        if (!source)
            return Outcome::Failed;
        if (part.rowCount() > 0) {
            if (crossSheet && source->holdsFormulas())
                keepShownValues(part, *source, *crossSheet, nextRow);
            if (!copyPart(part, *target, nextRow))
                return Outcome::Failed;
            target->setRowLooks(nextRow, source->rowLooks(part.firstRow, part.lastRow));
        }
        nextRow += part.rowCount();
        progress.setValue(i + 1);
    }
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

namespace {

bool columnsInPlace(const CombinedPart& part)
{
    for (int c = 0; c < part.targetColumns.size(); ++c)
        if (part.targetColumns.at(c) != c + 1)
            return false;
    return true;
}

} // namespace

// Whole rows when the columns stay where they are, so row formats come along; otherwise one block
// per run of columns that stay neighbours.
bool SheetCombineRun::copyPart(const CombinedPart& part, SheetEntry& target, int targetRow)
{
    SheetEntry* source = book.findSheet(part.sheet);
    if (columnsInPlace(part))
        return source->copyBlockTo(1, part.firstRow, 0, part.lastRow, target, 1, targetRow);
    for (const QVector<int>& block : TitleAlignment::blocksOf(part.targetColumns))
        if (!source->copyBlockTo(block.at(0), part.firstRow, block.at(1), part.lastRow, target, block.at(2), targetRow))
            return false;
    return true;
}

// A reference to another sheet moves along with the copied row and would point at other cells;
// so would any reference of a row whose columns were matched to other places.
void SheetCombineRun::keepShownValues(const CombinedPart& part, SheetEntry& source, const CrossSheetFormulas& formulas,
                                      int targetRow)
{
    const bool moved = !columnsInPlace(part);
    const QList<QStringList> cells = source.blockFormulas(1, part.firstRow, part.columns, part.lastRow);
    const QList<QVariantList> shown = source.usedAreaValues();
    for (int r = 0; r < cells.size(); ++r) {
        const QVariantList& values = shown.value(part.firstRow - 1 + r);
        for (int c = 0; c < cells.at(r).size(); ++c) {
            const QString& cell = cells.at(r).at(c);
            if (!cell.startsWith(QLatin1Char('=')) || !(moved || formulas.pointsElsewhere(cell, part.sheet)))
                continue;
            keptRuns.append(QVariant(
                QVariantList{part.targetColumns.value(c, c + 1), targetRow + r, QVariantList{values.value(c)}}));
            ++valuesKept;
        }
    }
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
