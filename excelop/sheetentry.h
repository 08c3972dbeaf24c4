#pragma once
// One worksheet of the open workbook and the operations on its cells, rows and columns.

#include <QList>
#include <QPoint>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

class AxObject;

class ColumnTitle
{
public:
    ColumnTitle(const QString& text, qint32 position) : text(text), position(position) {}
    QString text;
    qint32 position; // 0-based: the column number is position + 1
};

// A formula and its cell (row and column from 1).
struct PlacedFormula
{
    int row = 0;
    int column = 0;
    QString formula;
};

class SheetEntry
{
public:
    SheetEntry(qint32 index, std::unique_ptr<AxObject> sheet);
    ~SheetEntry();
    SheetEntry(const SheetEntry&) = delete;
    SheetEntry& operator=(const SheetEntry&) = delete;

    qint32 index;                    // 1-based tab position when the list was built
    std::unique_ptr<AxObject> sheet; // released before the workbook object it came from
    QList<ColumnTitle> titles;
    qint32 titleRow = 1;

    // The sheet's name, read once: the workbook layer renames sheets only through itself.
    QString getSheetName() const;
    void setKnownName(const QString& name) { knownName = name; }

    QString getCellValue(int row, int col);
    // The mutators tell whether the office did what was asked.
    bool setCellValue(int row, int col, const QString& text);
    bool insertColumn(int col);
    bool deleteColumn(int col);
    bool setAutoFilter(int row);
    bool deleteRows(int firstRow, int lastRow);
    // Deletes several row blocks (first, last; 1-based, not overlapping) in one call, as if each
    // were deleted with deleteRows from the bottom up.
    // False when the office refused (a protected sheet, say).
    bool deleteRowBlocks(const QList<QPair<int, int>>& blocks);
    int getColMax();
    void loadColumnTitles(int row);
    QSet<QString> getColumnValueSet(int firstRow, int lastRow, int col);

    // Bulk access, one automation call each, with the same text conversion as getCellValue.
    // Rows firstRow..lastRow of one column; empty when lastRow < firstRow.
    QStringList readColumnTexts(int col, int firstRow, int lastRow);
    // Columns firstCol..lastCol of one row; empty when lastCol < firstCol.
    QStringList readRowTexts(int row, int firstCol, int lastCol);
    // Writes the texts down one column from firstRow; false when the office refused.
    bool writeColumnTexts(int col, int firstRow, const QStringList& texts);
    // One conditional format over rows firstRow..lastRow of the column marking the cells whose
    // value equals the number; false when the office refused.
    bool highlightCellsEqualTo(int col, int firstRow, int lastRow, int number);

    // Copies columns firstCol..lastCol of rows firstRow..lastRow (lastCol 0: the whole rows) to the
    // other sheet of this workbook from (targetCol, targetRow), in one call: contents, formats and
    // merged cells, relative references moved along. False when the office refused.
    bool copyBlockTo(int firstCol, int firstRow, int lastCol, int lastRow, SheetEntry& target, int targetCol,
                     int targetRow);

    // Sorts rows firstRow..lastRow, columns 1..lastCol, by the numbers in keyCol, ascending; the
    // cells' formats go with them. False when the office refused.
    bool sortRowsByColumn(int firstRow, int lastRow, int lastCol, int keyCol);
    // Puts rows firstRow..lastRow, columns 1..lastCol, into the order of the numbers given, one
    // per row; rows of one number keep their order, and their formats go with them. Column
    // lastCol + 1 must be empty. No row is fitted to its text meanwhile. With followReferences,
    // references to the moved cells follow them, as when rows are deleted. False when refused.
    bool sortRowsByKeys(int firstRow, int lastRow, int lastCol, const QVariantList& keys,
                        bool followReferences = false);
    // How many the sheet's collection of that name holds ("Comments", "Shapes",
    // "FormatConditions", "HPageBreaks"); -1 when the office did not say.
    int countOf(const char* collection);
    // Whether rows firstRow..lastRow hold merged cells (true when the office cannot say).
    bool rowsHoldMergedCells(int firstRow, int lastRow);
    // The sheet's conditional formats, each as [anchor row, anchor column, its cell blocks as
    // [top row, bottom row, left column, right column], its rules as [formula 1, formula 2] or invalid for rules
    // without formulas]; false when the office did not say.
    bool conditionFormats(QVariantList& formats);
    // Gives the rules of the format at that position (0-based) those formulas; false when refused.
    bool setConditionFormulas(int format, const QVariantList& formulas);
    // How rows firstRow..lastRow look (height, shown, height following the text), one entry per
    // row; empty when the office did not say.
    QVariantList rowLooks(int firstRow, int lastRow);
    // Gives the rows from firstRow those looks; false when the office refused. With how they
    // look now (as rowLooks gave it), the office need not read that again.
    bool setRowLooks(int firstRow, const QVariantList& looks, const QVariantList& now = {});
    // The contents of the block row by row: formulas as their text, other cells as typed; empty
    // when unread.
    QList<QStringList> blockFormulas(int firstCol, int firstRow, int lastCol, int lastRow);
    // The values of the used area from A1 row by row, as the office gives them (numbers stay
    // numbers).
    QList<QVariantList> usedAreaValues();
    // Writes the values down one column from firstRow, each keeping its type; false when the
    // office refused.
    bool writeColumnValues(int col, int firstRow, const QVariantList& values);
    // Many runs down columns in one call, each [column, first row, values]; whether each was
    // written (all false when the office did not answer).
    QVector<bool> writeColumnRuns(const QVariantList& runs);
    // Whether the sheet holds formulas anywhere (true when the office cannot say).
    bool holdsFormulas();
    // Calculates the formulas a change marked, on this sheet only, as Excel's Worksheet.Calculate;
    // the office keeps every other formula's saved result.
    bool calculate();
    // Calculates the formulas that take from other rows of the sheet (ranges, names, ROW()), whose
    // results change when rows are taken out, in Excel too; the rest keep their results.
    bool calculateReachingOtherRows();
    // Calculates these cells (x the column, y the row, 1-based) alone, as Excel's Range.Calculate
    // does for each; the rest of the sheet keeps its results.
    bool calculateCells(const QVector<QPoint>& cells);
    // Calculates the formulas that take from the block, directly or through others, as Excel does
    // after cells were written; the rest keep their results.
    bool calculateDependentsOf(int firstCol, int firstRow, int lastCol, int lastRow);
    // The formulas (as the office writes them) whose text matches the regular expression, found
    // by the office's own search, in rows from the top; false when the office did not answer.
    bool formulasMatching(const QString& pattern, QList<PlacedFormula>& found);
    // Each cell's formula as the office writes it ("=$Sheet2.A1*2"), other cells' contents, rows
    // of the used area from A1.
    QList<QStringList> usedAreaFormulas();
    // The formulas of columns firstCol..lastCol of the row replaced by the values they show, the
    // cells' formats kept (an error shown stays that error). The number of cells changed.
    int keepValues(int row, int firstCol, int lastCol);
    // The top left cells ("B5") of the sheet's pivot tables built from another sheet's cells.
    QStringList pivotTablesFromOtherSheets();
    // Replaces those pivot tables by the values and formats they show; how many there were (-1
    // when the office refused).
    int keepPivotTablesAsValues();
    // Whether the sheet holds notes or drawn objects (pictures, charts, shapes).
    bool holdsNotesOrDrawings();
    // The columns of the used area, from column A.
    int usedColumnCount();
    // The rows of the used area, from row 1: the last used row.
    int usedRowCount();

    // Whether the sheet's contents are protected; whenUnknown when the office cannot say.
    bool isProtected(bool whenUnknown = false);
    // Lifts the protection of a sheet protected without a password; false when it stays protected
    // (a password guards it, or the office did not answer).
    bool unprotectWithoutPassword();
    // Protects the sheet again without a password, with the actions it allowed before.
    bool protectWithoutPassword();
    // Whether the sheet shows among the workbook's tabs (false for a hidden sheet).
    bool isVisible();

    // How many rows and columns a worksheet of the office can hold (0 when it does not say).
    int rowLimit();
    int columnLimit();

    void clearTitles();

private:
    mutable QString knownName;
};

QStringList getColumnTitleTexts(const QList<ColumnTitle>& titles);

// The text of a cell value as the office delivers it: equal values give equal texts, a whole
// number reads as 12 (not 12.0), a date as a date.
QString cellValueToText(const QVariant& value);
