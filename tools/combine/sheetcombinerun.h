#pragma once
// Sheets of the open workbook combined into a new one: a copy of the first picked sheet (its
// titles, widths, formats and views), below it every other sheet's data rows copied across in
// blocks, with their heights, and the 来源 column when asked. Saves nothing.

#include "tools/combine/sheetcombineplan.h"

#include <QCoreApplication>
#include <QString>
#include <QVariantList>

class CrossSheetFormulas;
class ExcelOpKiv;
class MovedColumns;
class RunProgress;
class SheetEntry;

class SheetCombineRun
{
    Q_DECLARE_TR_FUNCTIONS(CombineTables)

public:
    // Failed: the office refused a copy; the workbook must not be saved.
    enum class Outcome { Finished, Cancelled, Failed };

    SheetCombineRun(ExcelOpKiv& book, const SheetCombineSettings& settings, const SheetCombinePlan& plan);

    Outcome run();
    // The new sheet's name, as the office gave it.
    QString resultSheet() const { return result; }
    // Cells whose formulas pointed at other sheets, written as the values they showed.
    int cellsKeptAsValues() const { return valuesKept; }

private:
    // Stuck: the work copy could not be removed again.
    enum class WorkCopy { Placed, NotPlaced, Stuck };

    // The part's rows copied across, with their heights; crossSheet: formulas pointing elsewhere
    // keep their values. False when the office refused.
    bool partCopied(const CombinedPart& part, const CrossSheetFormulas* crossSheet, int targetRow);
    WorkCopy workCopyPlaced(const CombinedPart& part, const MovedColumns& moved, int targetRow);
    bool copiedStraight(const CombinedPart& part, const MovedColumns* moved, SheetEntry& source, SheetEntry& target,
                        int targetRow);
    // The part's formulas that would take other cells, as [column, row, value] runs in the target:
    // those pointing at other sheets (with crossSheet), those whose columns moved apart.
    void keepShownValues(const CombinedPart& part, SheetEntry& source, const CrossSheetFormulas* crossSheet,
                         const MovedColumns* moved, int targetRow);
    bool sourceColumnWritten(SheetEntry& target, int lastRow);

    ExcelOpKiv& book;
    SheetCombineSettings settings;
    SheetCombinePlan plan;
    QString result;
    QVariantList keptRuns; // written into the new sheet once every row is there
    int valuesKept = 0;
};
