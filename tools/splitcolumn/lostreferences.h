#pragma once
// The formulas of a split sheet that would show #REF! in a new sheet because all that one of their
// references points at goes from it: a cell, a range or whole rows among the other values' data
// rows, or the reference column when it is removed. A range that keeps some of its cells only
// shrinks, as it would in the spreadsheet program.

#include <QHash>
#include <QList>
#include <QPair>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

class LostReferences
{
public:
    // formulas: the sheet's used area from A1, as SheetEntry::usedAreaFormulas gives it. The data
    // rows are firstRow..lastRow; removedColumn is 0 when no column goes. 1-based.
    LostReferences(const QList<QStringList>& formulas, const QString& sheetName, int firstRow, int lastRow,
                   int removedColumn);

    // The cells (x the column, y the row) of the new sheet keeping these data rows (ascending)
    // whose formulas lose a reference, row by row from the top, left to right.
    QVector<QPoint> cellsIn(const QVector<int>& keptRows) const;
    // Those cells in blocks of one column, each also taking the formulas of rows between them that
    // the new sheet deletes: a block of formulas alone is written back in one go.
    QVector<QRect> blocksOf(const QVector<QPoint>& cells, const QVector<int>& keptRows) const;

private:
    struct Formula
    {
        QPoint cell;
        bool losesColumn = false;
        QVector<QPair<int, int>> dataRowSpans; // references lying wholly in the data rows
    };
    bool loses(const Formula& formula, const QVector<int>& keptRows) const;
    bool onlyDeletedFormulasBetween(int column, int upper, int lower, const QVector<int>& keptRows) const;

    int firstRow;
    int lastRow;
    QVector<Formula> above; // formulas above the data rows, in every new sheet
    QVector<Formula> below;
    QHash<int, QVector<Formula>> inDataRows; // by row
    QHash<int, QVector<int>> formulaRows;    // the rows holding a formula, by column, ascending
};
