#pragma once
// The sorted work copy cut into the values' sheets by halving: the sheet holding a run of value
// groups is copied, the copy keeps the first half of the groups and the sheet the second, and each
// half goes on the same way. Every row is copied about log2(values) times instead of once for
// every value after it, and every sheet loses its rows in one block per step.

#include "tools/splitcolumn/splitrows.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class ExcelOpKiv;
class SheetEntry;

class SortedHalving
{
public:
    // What happens to a value's finished sheet (its one group of data rows); false cancels.
    using FinishSheet = std::function<bool(SheetEntry& sheet, int group)>;

    // groups: each value's rows in the source, then the empty rows, which get no sheet (the
    // groups from sheetGroups on); starts: where each group's rows begin in the sorted work copy,
    // counted from its first data row.
    SortedHalving(ExcelOpKiv& book, const QVector<ValueRows>& groups, int sheetGroups, const QVector<int>& starts,
                  int firstDataRow);

    // Cuts the work copy; the values' sheets get the names the block-by-block way would give them,
    // in the values' order before the source sheet. On a cancel or failure the sheets finished so
    // far stay and the rest go. False when the office refused a step; cancelled() tells a cancel.
    // carryOn is asked before each copy; false cancels.
    bool run(const QString& workName, const QString& sourceName, const FinishSheet& finish,
             const std::function<bool()>& carryOn = {});
    bool cancelled() const { return wasCancelled; }
    // Values whose sheet the office did not make.
    QStringList valuesLeftOut() const { return leftOut; }

private:
    bool cut(const QString& sheet, int low, int high, const FinishSheet& finish);
    bool finishLeaf(const QString& sheet, int group, const FinishSheet& finish);
    int rowsOf(int low, int high) const;
    void removeUnfinished();

    ExcelOpKiv& book;
    QVector<ValueRows> groups;
    int sheetGroups;
    int firstDataRow;
    QVector<int> order;     // the groups in the order the sort left them
    QStringList names;      // each value's sheet name
    QVector<bool> finished; // by group
    QStringList workSheets; // copies still to be cut or finished
    QString workBase;       // the copies' names are made from the work copy's
    QStringList leftOut;
    bool wasCancelled = false;
    std::function<bool()> keepGoing; // asked before each copy
};
