#pragma once
// The comparison on an open workbook: the input checks in their fixed order, a new first column
// in both sheets, the counts of every row's value in the other sheet's column, and the save.
// Touches no widget: the comparer window and the command line both run it.

#include "tools/resultsave.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <functional>

class ExcelOpKiv;

// Per value of one side: its count in the other side, and (when asked) the first matching row.
struct Occurrences
{
    QStringList counts;
    QStringList firstRows;
};
class RunProgress;
class SheetEntry;

// One compared side, as the window's pickers and 总行数 field give it.
struct ComparisonSide
{
    int sheetIndex = -1; // into the book's sheet list
    QString sheetName;   // what the sheet picker shows: must be that sheet's name
    int titleIndex = -1; // column picker entry k stands for column k + 1
    QString title;       // the title as chosen or typed; null: the sheet's own title
    QString rowsText;    // the sheet's last row, title row counted, as typed
};

// Choices beyond the written comparison, all off unless the user turns them on.
struct ComparisonOptions
{
    bool trimSpaces = false;       // spaces at both ends do not count
    bool ignoreCase = false;       // A and a are the same
    bool foldWidth = false;        // full-width forms (１２, Ａ, the ideographic space) as half-width
    bool matchRow = false;         // a second new column: the first matching row of the other sheet
    bool highlightMissing = false; // counts of 0 marked by one conditional format
    bool keepBackup = false;       // the original kept beside the workbook before the save
};

struct ComparisonSettings
{
    QString workbookPath; // empty when nothing was imported
    ComparisonSide side1;
    ComparisonSide side2;
    ComparisonOptions options;
    // Asked when saving over the workbook would lose some of its features; without it the
    // result goes over the workbook all the same.
    LossQuestion onLoss;
    // Where the result goes instead of over the workbook; empty: the workbook.
    QString resultPath;
    // Asked before anything changes when 3-D references (Sheet1:Sheet3!A1) take in a compared
    // sheet, with what would change; true goes on. Without it the run goes on unasked.
    std::function<bool(const QString& explanation)> onSpanningFormulas;
};

struct ComparisonOutcome
{
    enum class Kind { Refused, Finished, Cancelled, Failed };
    Kind kind = Kind::Refused;
    bool saved = false;
    QString savedPath; // the workbook, or the new file the result went to instead
    // Columns and headers went in: the column pickers are this many places off now.
    int columnsInserted = 0;
    // What the user is told, in order.
    QStringList messages;
};

class ComparisonRun
{
    // Its messages are the comparer window's.
    Q_DECLARE_TR_FUNCTIONS(DuZozodKiv)

public:
    ComparisonRun(ExcelOpKiv& book, const ComparisonSettings& settings);

    // The problem of the form's own entries (nothing imported, pickers, row counts), in the fixed
    // order; empty when there is none. Needs no workbook.
    static QString formProblem(const ComparisonSettings& settings);
    // The first input problem in the fixed order; empty when the run may go ahead. Reads the
    // sheets' title rows, changes nothing.
    QString firstInputProblem();
    // Checks, then compares and saves. Refused runs have changed nothing.
    ComparisonOutcome run();

    // 总行数 as the run reads it: a base-10 integer after stripping white space, 0 when it is none.
    static int rowCountOf(const QString& typed);
    // The value as the options compare it.
    static QString comparedForm(const QString& value, const ComparisonOptions& options);
    // Rows read or written per office call (100,000); tests take it down to cross call
    // boundaries with a few thousand rows.
    static void setRowsPerCall(int rows);

private:
    void prepareSheets();
    void calculateWhatTakesFromCounts();
    int insertedColumns() const;
    // Reads both columns, then writes for each row the number of equal values in the other
    // column, advancing the dialog a step per row. False when the user cancelled or the office
    // refused a write (a message says which); what was written before stays in the sheets.
    bool countOccurrences(RunProgress& dialog);
    bool addChosenExtras(const Occurrences& found1, const Occurrences& found2);
    ComparisonOutcome finish(bool finished);

    ExcelOpKiv& book;
    ComparisonSettings settings;
    SheetEntry* table1 = nullptr;
    SheetEntry* table2 = nullptr;
    int lastRow1 = 0;
    int lastRow2 = 0;
    QStringList shownDuringRun;
};
