#pragma once
// The formulas of the column split's new sheets that would show #REF! there keep the values the
// user saw: those that lose what they refer to when the other values' rows (or the reference
// column) go, and those the office breaks when it copies the sheet (references to a table's
// columns, which the copy miscalculates).

#include "tools/splitcolumn/lostreferences.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QPoint>
#include <QStringList>
#include <QVariantList>
#include <QVector>
#include <memory>

class ExcelOpKiv;
class SheetEntry;

class SplitValueKeeper
{
public:
    // Takes the source's used-area formulas (none: it holds no formulas) and reads their values.
    // The data rows are firstRow..lastRow; removedColumn is 0 when the reference column stays.
    // 1-based.
    SplitValueKeeper(SheetEntry& source, const QList<QStringList>& formulas, int firstRow, int lastRow,
                     int removedColumn);

    // Whether the new sheet keeping these data rows (ascending) may have formulas to keep.
    bool neededFor(const QVector<int>& keptRows) const;
    // In a copy of the source made just now, before any of its rows go: the formulas of the rows
    // it keeps that would show #REF! become the values they show in the source. The number of
    // cells changed.
    int keepValuesIn(ExcelOpKiv& book, SheetEntry& copy, const QVector<int>& keptRows) const;
    // In a new sheet that now holds only these data rows (and lost removedColumn, when not 0):
    // cells showing an error where the source showed a value get that value. This catches what
    // reading the formulas cannot foresee, such as a sheet's own names pointing at rows gone.
    // The number of cells changed.
    int restoreErrorsAfterSplit(SheetEntry& split, const QVector<int>& keptRows, int removedColumn) const;

    // Whether keepValuesAfterCut gives what keepValuesIn gives: not where the office's copies
    // miscalculate table formulas, which must be put right before any row goes.
    bool keepsValuesAfterCut() const { return tableFormulas.isEmpty(); }
    // In a new sheet cut from a copy whose rows were sorted with their references followed, its
    // rows now only these data rows and its columns still the source's: the formulas that lost a
    // cell they refer to (showing #REF! now) become the values they show in the source, as
    // keepValuesIn makes them before a copy's rows go. The number of cells changed.
    int keepValuesAfterCut(SheetEntry& split, const QVector<int>& keptRows) const;

private:
    bool keepsRow(int row, const QVector<int>& keptRows) const;
    int keepCopyValues(ExcelOpKiv& book, SheetEntry& copy, const QVector<QPoint>& cells,
                       const QVector<int>& keptRows) const;
    // The cells written.
    QVector<QPoint> restoreWhatTheCopyBroke(SheetEntry& copy, const QVector<int>& keptRows) const;
    // Cells to write by column: each the row written and the source cell (x the column, y the
    // row) whose value it gets, rows ascending.
    using SourceCells = QMap<int, QVector<QPair<int, QPoint>>>;
    // The cells written, in runs of rows per call.
    QVector<QPoint> writeSourceValues(SheetEntry& sheet, const SourceCells& cells) const;

    int firstRow;
    int lastRow;
    std::unique_ptr<LostReferences> lost; // none for a sheet without formulas
    QVector<QPoint> tableFormulas;        // cells, row by row
    bool holdsFormulas = false;
    QList<QVariantList> sourceValues; // used area from A1, read when the source holds formulas
};
