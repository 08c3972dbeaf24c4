#pragma once
// Formulas that would show #REF! in a file holding their sheet alone: those that point at another
// sheet of the workbook, directly, through a 3-D range, or through a defined name or a table
// (Table1[Column]) that does.
// Formulas are read as the office writes them ($Sheet2.A1, $'My sheet'.A1:B2, a;b) by
// readFormulaParts.

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

class ExcelOpKiv;

class CrossSheetFormulas
{
public:
    // definedNames: name -> what it refers to, a sheet's own names as "Sheet1!name".
    CrossSheetFormulas(const QStringList& sheetNames, const QHash<QString, QString>& definedNames);

    bool pointsElsewhere(const QString& formula, const QString& ownSheet) const;
    // With this, a formula reaching another file counts too: the office's copy of a sheet into
    // another workbook loses the file ('file:///a.xls'#$Sheet1.A1 becomes #REF!).
    void countOtherFiles(bool count) { otherFiles = count; }

private:
    bool namesAnotherSheet(const QStringList& named, const QString& ownSheet) const;

    QStringList sheets;
    bool otherFiles = false;
    QHash<QString, QStringList> names; // case-folded name ("sheet1!name" for a sheet's own) -> sheets it names
};

// The check for the open workbook: its sheets, defined names and tables.
CrossSheetFormulas crossSheetFormulasOf(ExcelOpKiv& book);

struct CrossSheetValues
{
    int cells = 0;       // cells whose formula became the value it showed
    int pivotTables = 0; // pivot tables built from another sheet that became the cells they showed
    // Sheets protected with a password, which take no values: sheet -> its first such cell.
    QMap<QString, QString> lockedSheets;
    // What was found: sheet -> blocks ("B2:D2") of formulas, and the top left cells of pivot
    // tables. The same workbook loaded again takes the same changes without its formulas read.
    QMap<QString, QStringList> blocks;
    QMap<QString, QStringList> pivots;
};

// Every formula of the named sheets that points elsewhere is replaced by the value it shows, its
// format kept, and every pivot table built from another sheet by the cells it shows; a sheet protected without a
// password is protected again afterwards.
// With otherFilesToo, formulas reaching another file are replaced as well.
CrossSheetValues keepValuesOfCrossSheetFormulas(ExcelOpKiv& book, const QStringList& sheetNames,
                                                bool otherFilesToo = false);

// The changes found before, made again on the named sheets of the same workbook loaded anew.
CrossSheetValues keepValuesAgain(ExcelOpKiv& book, const CrossSheetValues& found, const QStringList& sheetNames);
