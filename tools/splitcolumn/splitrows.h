#pragma once
// The data rows of a sheet to split, read from the office: by the text of the reference column,
// and apart the rows that are entirely empty, which are no record and go to no new sheet.

#include "tools/splitcolumn/columnsplitplan.h"

#include <QList>
#include <QStringList>
#include <QVector>

class SheetEntry;

struct SplitRows
{
    QVector<ValueRows> groups; // in the order the values first appear
    QVector<int> emptyRows;    // ascending
};

// The data rows are titleRow + 1 .. endRow.
SplitRows splitRowsOf(SheetEntry& source, int titleRow, int endRow, int referColumn);
