#pragma once
// A sheet's data rows whose columns go to other places in the combined sheet, matched by title.
// The longest run of columns whose places keep their order goes through a work copy of the sheet,
// rearranged by deleting and inserting whole columns: the office's references follow those, so a
// formula over cells of its own row is re-pointed. Every other column is copied straight, its
// references moved as far as the column itself.

#include <QString>
#include <QVector>

class MovedColumns
{
public:
    // targetColumns: each source column's column in the combined sheet (1-based). Without a work
    // copy every column is copied straight.
    MovedColumns(const QVector<int>& targetColumns, bool withWorkCopy);

    bool throughWorkCopy() const { return keptColumns.contains(true); }
    // The work copy's changes: source columns deleted (right to left), then empty columns inserted
    // (left to right), after which each column it keeps stands in its target column.
    QVector<int> deletedColumns() const;
    QVector<int> insertedColumns() const;
    // Runs of columns copied straight from the sheet: [first column, last column, first target].
    QVector<QVector<int>> straightBlocks() const;
    // Whether the formula of that source column and row takes the same cells once combined:
    // only cells of its own row, each landing where its reference will point.
    bool formulaFollows(const QString& formula, int column, int row) const;

private:
    bool kept(int column) const { return keptColumns.value(column - 1); }
    int target(int column) const { return targets.value(column - 1); }
    bool landsAlong(int column, int first, int last, bool absolute) const;

    QVector<int> targets;
    QVector<bool> keptColumns; // through the work copy
};
