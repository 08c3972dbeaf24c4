#pragma once
// The column split on an open workbook: one copy of the source sheet per distinct value of the
// reference column, each keeping only the data rows with that value.

#include <QString>
#include <QStringList>
#include <QVector>

class ExcelOpKiv;
class SheetEntry;
class SplitProgress;
struct ValueRows;

struct ColumnSplitSettings
{
    QString sheetName;      // the source sheet
    int titleRow = 0;       // data rows are titleRow + 1 .. endRow
    int endRow = 0;
    int referColumn = 0;    // 1-based
    bool deleteReferColumn = false;
    // From this many row blocks to delete on, the rows are first grouped by value in a sorted
    // work copy, so each new sheet needs one deletion instead of one per block. Every deletion
    // costs the office more the more formulas the workbook holds: there fewer blocks suffice.
    int blocksForSortedCopy = 2000;
    int blocksForSortedCopyWithFormulas = 100;
};

class ColumnSplitRun
{
public:
    // Failed: the office refused to delete rows of a copy (a protected sheet, say); the run
    // stopped and its copies must not be saved.
    enum class Outcome { Finished, Cancelled, Failed };

    ColumnSplitRun(ExcelOpKiv& book, const ColumnSplitSettings& settings);

    // Needs the source sheet in the book's sheet list. Shows the progress dialog; saves nothing.
    Outcome run();
    // Values whose copy the office did not make: their rows are in no new sheet.
    QStringList valuesWithoutSheet() const { return valuesLeftOut; }

private:
    Outcome splitBlockByBlock(const QVector<ValueRows>& groups, SplitProgress& progress);
    Outcome splitOneValue(const ValueRows& group, SplitProgress& progress, qint64 progressOffset);
    bool sortedCopyPays(SheetEntry& source, const QVector<ValueRows>& groups);
    Outcome splitFromSortedCopy(const QVector<ValueRows>& groups, SplitProgress& progress);
    QVector<int> groupRowsByValueIn(SheetEntry& work, SheetEntry& source, const QVector<ValueRows>& groups);
    Outcome splitOffSortedGroups(const QString& workName, const QVector<ValueRows>& groups, QVector<int> starts,
                                 SplitProgress& progress);
    SheetEntry* copyForValue(const QString& copiedSheet, const QString& value);

    ExcelOpKiv& book;
    ColumnSplitSettings settings;
    QStringList valuesLeftOut;
    int sortedColumns = 0; // the columns the sorted work copy reorders, from column A
};
