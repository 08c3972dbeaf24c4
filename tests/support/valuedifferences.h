#pragma once
// The cells whose value a tool's run changed, against a plain save of the same workbook, and
// whether Excel itself would change them after the same change: the survey over real workbooks
// lists every such cell with its formula and fails on any that Excel would keep.

#include "workbookwriter.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

struct ValueDifference
{
    QString sheet;
    int row = 0;           // 1-based, in the written sheet
    int column = 0;        // 1-based, in the written sheet
    QString shown;         // what the plain save shows
    QString now;           // what the written sheet shows
    QString formula;       // the written cell's formula, as the office writes it; empty for a constant
    QString kind;          // why it changed
    bool expected = false; // Excel changes it too (or shows an error either way)

    QString cell() const;
    QString describe() const;
};

// Formulas of a workbook's sheets as the office writes them, rows of the used area from A1.
using SheetFormulas = QHash<QString, QList<QStringList>>;
SheetFormulas readFormulas(const QString& path);

// The cells of the sheets that differ, the written sheet read from column shift + 1.
QList<ValueDifference> valueDifferences(const SheetContent& expected, const SheetContent& written,
                                        const QList<QStringList>& writtenFormulas, int shift = 0);

// What changed them, given what the tool did to the written sheet.
enum class ToolChange {
    Deletion,    // the sheet lost its fellow sheets (a sheet's file)
    ColumnAdded, // a first column was inserted and filled (the comparer's sheets, and any other)
    RowsMoved,   // the sheet holds some of another's rows (the column splitter's new sheets)
    None,        // the tool did not touch the sheet
};
// changedCells ("Sheet!A1") are cells the tool changed as Excel would, beside the differences.
void classify(QList<ValueDifference>& differences, ToolChange change, const QSet<QString>& changedCells = {});
