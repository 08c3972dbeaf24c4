#pragma once
// When the column split may group a sheet's data rows by sorting a work copy instead of deleting
// row blocks from every copy: only where the new sheets come out the same either way.

#include <QHash>
#include <QList>
#include <QStringList>
#include <QSet>
#include <QString>

class SheetEntry;

// The block a sorted work copy reorders: data rows firstRow..lastRow, columns 1..lastColumn.
// 1-based.
struct SortedRows
{
    int firstRow;
    int lastRow;
    int lastColumn;
};

// Whether a formula standing in a row of the split sheet keeps the same references whether the
// data rows around it are deleted, or the data rows are sorted (the sort moves a formula's
// relative references with it, and leaves references to the sorted rows where they were) and
// then deleted in one block. Formulas in the data rows may refer to their own row, to rows
// outside the data rows, and with absolute rows to other sheets; formulas anywhere in the sheet
// may take ranges that hold all data rows or none. Nothing may refer to the sheet by name, to
// names (other than constantNames, folded case), tables or other files. Reads the office's
// formula text (Sheet1.A1, $'my sheet'.$B$1) and Excel's (Sheet1!A1); anything not understood
// counts as no.
bool formulaKeepsReferencesWhenSorted(const QString& formula, int row, const QString& sheetName, const SortedRows& rows,
                                      const QSet<QString>& constantNames = {});

// The same for a sort that updates the references to the cells it moves (as deleting rows does):
// any single cell of the sheet may be referred to as well, from anywhere.
bool formulaFollowsReferencesWhenSorted(const QString& formula, int row, const QString& sheetName,
                                        const SortedRows& rows, const QSet<QString>& constantNames = {});

// Of the workbook's defined names (as ExcelOpKiv::definedNames gives them), those that stand for
// a value and refer to no cells (a tax rate, =0.13), and that no name of the sheet's own hides:
// sorting rows cannot change what they give. Folded case.
QSet<QString> constantNamesFor(const QHash<QString, QString>& definedNames, const QString& sheetName);

// Whether sorting the sheet's data rows and deleting the other values' rows in one block gives
// the same sheets as deleting each block: nothing on the sheet that the two treat differently
// (protection, drawings, merged cells in the data rows), and every formula as above for a sort
// that updates references (formulaFollowsReferencesWhenSorted). Notes move
// with their cells; row heights, hidden rows and manual page breaks are put back after the sort.
// Conditional formats are not looked at here (see ConditionKeeper).
// The sheet's used-area formulas, when already read, spare reading them again.
bool sortingSplitsLikeDeleting(SheetEntry& sheet, const SortedRows& rows, const QSet<QString>& constantNames = {},
                               const QList<QStringList>* usedAreaFormulas = nullptr);
