#pragma once
// Formulas whose 3-D references (Sheet1:Sheet3!A1) take in a sheet the comparer inserts a column
// into. A column inserted into one sheet of the span moves that sheet's cells under the
// reference while the reference stays, in the office as in Excel: what the formula adds up changes.
// Formulas are read as the office writes them: $Sheet1.A1:$Sheet3.A1, $'My sheet'.A1:Other.B2.

#include <QSet>
#include <QString>
#include <QStringList>

class ExcelOpKiv;

struct SpanningFormulas
{
    QStringList cells; // Sheet1!A3, in tab order, row by row
    QStringList names; // defined names that stand for such a reference
    bool isEmpty() const { return cells.isEmpty() && names.isEmpty(); }
};

// Whether the formula holds a 3-D reference whose sheets, in the tab order given, take in one of
// the positions (0-based). Sheets are matched ignoring letter case; references to other files
// and to sheets not in the order do not count.
bool spansAnyOf(const QString& formula, const QStringList& sheetOrder, const QSet<int>& positions);

// Every cell and defined name of the workbook whose formula spans one of the named sheets.
SpanningFormulas formulasSpanning(ExcelOpKiv& book, const QStringList& sheetNames);

// What inserting the comparer's columns does to those formulas, in the comparer's words; empty
// when there are none.
QString spanningExplanation(const SpanningFormulas& found);

// The cells (Sheet1!B4) of an .xls whose formulas an inserted column breaks in the office though
// not in Excel: a range over whole rows, written $A1:$IV4, which the office moves past the last
// column (#REF!), and an intersection of two ranges. Only formulas on the named sheets or naming
// one of them count.
QStringList formulasAnInsertBreaksInXls(ExcelOpKiv& book, const QStringList& sheetNames);
