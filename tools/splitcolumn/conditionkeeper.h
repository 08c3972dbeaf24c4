#pragma once
// The conditional formats of a sheet the column split cuts. The office turns a format's own-row
// references into #REF! when the row its formulas are anchored to goes, and renumbers them when
// rows are sorted: each new sheet gets the source's formulas back where they must read the same.

#include "tools/splitcolumn/sortedcopycheck.h"

#include <QSet>
#include <QString>
#include <QVariantList>
#include <QVector>

class SheetEntry;

class ConditionKeeper
{
public:
    // Reads the source's formats once; rows are its data rows.
    ConditionKeeper(SheetEntry& source, const SortedRows& rows, const QSet<QString>& constantNames);

    // Whether the formats come out the same when the data rows are sorted first: each covers all
    // data rows or none, and its formulas refer to no cells or read the same in every new sheet.
    bool sortable() const { return readable && allSortable; }
    // Writes the source's formulas back into the formats of a new sheet whose rows were cut and
    // whose columns are still the source's. Returns how many formats got them back.
    int restoreIn(SheetEntry& split) const;

private:
    struct Format
    {
        int anchorRow = 0;
        int anchorColumn = 0;
        QVariantList rules;
        bool restorable = false; // its formulas must read the same in every new sheet
    };

    bool readable = false;
    bool allSortable = true;
    QVector<Format> formats;
};
