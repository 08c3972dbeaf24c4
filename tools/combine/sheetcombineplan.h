#pragma once
// What combining sheets of the open workbook will do, read before anything changes: each picked
// sheet's data rows and the columns they go to, the new sheet's name, or why it cannot be done.

#include <QCoreApplication>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

class ExcelOpKiv;
class SheetEntry;

struct SheetCombineSettings
{
    QStringList sheets;        // empty: every sheet
    int titleRows = 1;         // the rows above each sheet's data; the last holds the column titles
    bool sourceColumn = false; // a first column 来源 naming where each row came from
    bool alignTitles = false;  // columns matched by title text instead of refusing titles that differ
    // Formulas pointing at other sheets stay formulas; by default they keep the values they showed,
    // as their references would not move along with the rows.
    bool keepBrokenFormulas = false;
    // Those formulas were dealt with before (stacked copies of files): only the rows whose columns
    // moved are looked at.
    bool otherSheetsDone = false;
    // What each sheet's rows' 来源 says and its refusals call it; by default its name.
    QHash<QString, QString> labels;
    // The rows the result's format holds; 0: as many as the workbook's sheets hold.
    int rowLimit = 0;
};

// One picked sheet's share of the combined sheet: its data rows firstRow..lastRow.
struct CombinedPart
{
    QString sheet;
    QString label; // what its rows' 来源 says
    int firstRow = 0;
    int lastRow = 0;
    int columns = 0;            // of its used area
    QVector<int> targetColumns; // each column's column in the combined sheet (1-based)
    int rowCount() const { return lastRow >= firstRow ? lastRow - firstRow + 1 : 0; }
};

struct SheetCombinePlan
{
    QString resultName;
    int titleRows = 1;
    QVector<CombinedPart> parts; // in the workbook's order; the first is copied whole
    QStringList addedTitles;     // titles after the first sheet's, matched from the others
    int firstAddedColumn = 0;
    int dataRows() const;
};

class SheetCombinePlanner
{
    Q_DECLARE_TR_FUNCTIONS(CombineTables)

public:
    // The plan for the picked sheets; otherwise empty parts and the refusal in problem.
    static SheetCombinePlan planFor(ExcelOpKiv& book, const SheetCombineSettings& settings, QString& problem);
    // The sheet's last row holding anything; 0 for a sheet without contents, whose used area the
    // office gives as the empty cell A1.
    static int lastUsedRow(SheetEntry& sheet, int usedColumns);
    // 合并, or 合并2, 合并3, ... when taken.
    static QString resultNameAmong(const QStringList& takenNames);
    // The plan in plain lines, for a dry run.
    static QStringList planLines(const SheetCombinePlan& plan);

private:
    static QString pickedSheets(ExcelOpKiv& book, const SheetCombineSettings& settings, QStringList& picked);
    static QString partsRead(ExcelOpKiv& book, const QStringList& picked, const SheetCombineSettings& settings,
                             SheetCombinePlan& plan, QList<QStringList>& titles);
    static QString titlesMatched(const QList<QStringList>& titles, const SheetCombineSettings& settings,
                                 SheetCombinePlan& plan);
    static QString sizeChecked(ExcelOpKiv& book, const SheetCombineSettings& settings, const SheetCombinePlan& plan);
};
