#pragma once
// The column split on an open workbook: one copy of the source sheet per distinct value of the
// reference column, each keeping only the data rows with that value.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

class ConditionKeeper;
class ExcelOpKiv;
class SheetEntry;
class SplitProgress;
class SplitValueKeeper;
struct ValueRows;

struct ColumnSplitSettings
{
    QString sheetName; // the source sheet
    int titleRow = 0;  // data rows are titleRow + 1 .. endRow
    int endRow = 0;
    int referColumn = 0; // 1-based
    bool deleteReferColumn = false;
    // Formulas that would show #REF! in a new sheet stay formulas; by default they keep the values
    // the user saw.
    bool keepBrokenFormulas = false;
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
    ~ColumnSplitRun();

    // Needs the source sheet in the book's sheet list. Shows the progress dialog; saves nothing.
    Outcome run();
    // Values whose copy the office did not make: their rows are in no new sheet.
    QStringList valuesWithoutSheet() const { return valuesLeftOut; }
    // Cells of the new sheets whose formulas were written as the values they showed.
    int cellsKeptAsValues() const { return valuesKept; }
    // Data rows entirely empty: in no new sheet.
    int emptyRowsLeftOut() const { return emptyRows.size(); }
    // The distinct values of the data rows that are not empty; none: the run changed nothing.
    int valuesFound() const { return valueCount; }

private:
    Outcome splitBlockByBlock(const QVector<ValueRows>& groups, SplitProgress& progress);
    Outcome splitOneValue(const ValueRows& group, SplitProgress& progress, qint64 progressOffset);
    bool sortedCopyPays(SheetEntry& source, const QVector<ValueRows>& groups);
    Outcome splitFromSortedCopy(const QVector<ValueRows>& groups, SplitProgress& progress);
    bool sortByGroup(SheetEntry& work, const QVector<ValueRows>& groups);
    QVector<int> groupRowsByValueIn(SheetEntry& work, SheetEntry& source, const QVector<ValueRows>& groups,
                                    const SplitProgress& progress);
    const QList<QStringList>& formulasOf(SheetEntry& source);
    QList<QStringList> dataRowsOf(SheetEntry& source, int firstDataRow, int rowCount);
    SheetEntry* copyForValue(const QString& copiedSheet, const QString& value);
    // Finishes a new sheet whose rows were cut: its conditional formats' formulas read as the
    // source's, the reference column goes if asked, and cells that show an error where the source
    // showed a value get that value back.
    void finishSplitSheet(SheetEntry& split, const QVector<int>& keptRows);

    ExcelOpKiv& book;
    ColumnSplitSettings settings;
    QStringList valuesLeftOut;
    QVector<int> emptyRows;
    int valueCount = 0;
    std::unique_ptr<SplitValueKeeper> valueKeeper; // none when broken formulas stay
    std::unique_ptr<ConditionKeeper> conditionKeeper;
    int valuesKept = 0;
    int sortedColumns = 0;       // the columns the sorted work copy reorders, from column A
    QSet<QString> constantNames; // the workbook's names that stand for a value, folded case
    QList<QStringList> sourceFormulas;
    bool sourceFormulasRead = false;
};
