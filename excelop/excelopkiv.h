#pragma once
// The one link through which every tool reaches the spreadsheet application: a started
// application, at most one open workbook and the list of its worksheets.

#include "excelop/sheetentry.h"

#include <QList>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class AxObject;

// How the office behind a link is doing.
enum class OfficeState { Working, Ended, StoppedAnswering };

class ExcelOpKiv
{
public:
    ExcelOpKiv();
    ~ExcelOpKiv(); // closes the workbook without saving; the application stays running
    ExcelOpKiv(const ExcelOpKiv&) = delete;
    ExcelOpKiv& operator=(const ExcelOpKiv&) = delete;

    // Closes the open workbook (without saving) and opens the file; true when it opened.
    bool openWorkBook(const QString& path);
    // Closes the open workbook and starts a new, unsaved one with one empty sheet; true when it did.
    bool newWorkbook();
    // Closes the open workbook, if any, without saving it.
    void closeWorkbook();
    // Lists the workbook's worksheets; false (with a message) without an application or workbook.
    // The message for a file that did not open adds a line saying why, in plain words.
    bool openSheets();
    QStringList getSheetNames();
    // Saves the workbook in place, in its own format. False when the office could not save it
    // (read-only file, file locked elsewhere, disk full) or no workbook is open.
    bool saveWorkbook();
    // With it on, saveWorkbook() refuses to replace the file with one that lacks some of what
    // the file has (frozen panes, pivot tables, macros, ...): the file stays as it was and
    // featuresLostBySave() says what the save would have lost. Off unless turned on.
    void setKeepFeatures(bool keep);
    // With it on, the office calculates no formula by itself: every formula keeps the result the
    // file was saved with (Excel's), until its sheet's calculate(); and rows keep their heights
    // (the office measures no text after a change). Off unless turned on.
    // Workbooks opened later follow it too.
    void setKeepSavedResults(bool keep);
    bool keepsSavedResults() const { return keepingSavedResults; }
    // Keys such as "frozen-panes", "pivot-tables", "macros"; empty after a save that kept all.
    // After a save that went ahead, what it lost that was not worth stopping it for.
    QStringList featuresLostBySave() const;
    // Writes the workbook to another file in the format of its extension, safely: .xlsx, .xls,
    // .ods (later saves go to that file, as Excel's SaveAs), or the exports .csv (the first sheet,
    // UTF-8 with a byte-order mark, values as shown) and .pdf. False when the office could not.
    bool saveWorkbookAs(const QString& path);
    // Writes a copy in the workbook's own format to the path, safely, whatever its extension; the
    // workbook stays the file it was. False when the office could not.
    bool saveWorkbookCopyAs(const QString& path);
    // The formulas of these cell blocks (sheet name, "B2:D2") replaced by the values they show,
    // their formats kept; formulas whose result is an error stay. Every result is read before
    // any is written. The number of cells changed.
    int keepValues(const QList<QPair<QString, QString>>& blocks);
    // Whether the workbook is a binary one whose sheets carry code names for its macros: the
    // office saves any file written from it with fewer sheets with an empty placeholder sheet
    // (__VBA__0, ...) for each sheet gone.
    bool holdsMacroCodeNames() const;
    // Whether the open workbook could only be opened read-only (a folder the user cannot write,
    // a file another program holds): it reads, but saveWorkbook() fails.
    bool isReadOnly() const;
    // Whether the workbook's structure is protected: no sheet can be added or removed.
    bool isStructureProtected() const;
    // Size and change times of the open workbook's file as it was loaded or last saved: two loads
    // with equal stamps read the same file.
    QString loadedFileStamp() const;
    // The workbook's defined names, each with what it refers to ("=0.13"); a sheet's own names
    // as "Sheet1!name". Empty when the office cannot say.
    QHash<QString, QString> definedNames() const;
    // Whether some cell formula may reach over a range of sheets (Sheet1:Sheet3!A1): false only
    // when the workbook's file, unchanged since it was loaded, shows none.
    bool formulasMaySpanSheets() const;
    // The workbook's tables (Excel's ListObjects) by name, each with the cells it covers as a
    // name refers to them ("=$'Sheet1'.R1C1:R9C3").
    QHash<QString, QString> tableRanges() const;
    float getExcelVersion();
    bool isXlsxSupported();
    void clearSheets();
    SheetEntry* findSheet(const QString& name) const;

    // Copies the worksheet before itself and names the copy after newName: "空" for an empty
    // name, characters a sheet name cannot hold replaced, at most 31 characters, made unique
    // (ignoring letter case) with _0, _1, ... Rebuilds the sheet list and returns the name the
    // copy actually has; empty when no copy was made.
    QString copySheet(const QString& sourceName, const QString& newName);
    // Copies the worksheet of the other link's workbook (both in one office) after this workbook's
    // last sheet, named after newName as copySheet names its copies. Its references to the other
    // sheets of its workbook become references to that file. Rebuilds the sheet list and returns
    // the name the copy has; empty when no copy was made.
    QString importSheet(ExcelOpKiv& from, const QString& sourceName, const QString& newName);
    // Deletes the worksheet of that name (if any), saves the workbook and rebuilds the list.
    // False when the save failed.
    bool deleteSheet(const QString& name);
    // Deletes the worksheet of that name without saving and rebuilds the list; false when there
    // is no such sheet or the office refused.
    bool removeSheet(const QString& name);
    // Gives the sheet a new name, which must be free; the name it got, empty when it got none.
    QString renameSheet(const QString& name, const QString& newName);
    // Puts the sheet right before the other one; false when the office refused.
    bool moveSheetBefore(const QString& name, const QString& beforeName);

    // Deletes worksheet i (0-based in the list) without saving and without rebuilding the list,
    // so later entries keep their positions until openSheets(); false when the office refused.
    bool deleteSheetAt(int i);
    // Deletes the named worksheets in one step that undoLastStep() takes back whole; all go or
    // none does (false). Like deleteSheetAt, the list is stale until openSheets().
    bool deleteSheetsUndoably(const QStringList& names);
    // Deletes the named worksheets with no way back, and drops every step undoLastStep() could
    // take back: cheaper for the office. False when it could not; some may be gone then.
    bool deleteSheetsForGood(const QStringList& names);
    // Takes back the last step of deleteSheetsUndoably(); false when the office could not. The
    // list is stale until openSheets().
    bool undoLastStep();

    // Working while the office this link started on still answers; otherwise why it is gone.
    OfficeState officeState() const;

    bool hasApplication() const { return excel != nullptr; }
    bool hasWorkbook() const { return workbook != nullptr; }
    int sheetCount() const { return sheets.size(); }
    // Entry i (0-based) of the sheet list, or nullptr when there is none.
    SheetEntry* sheetAt(int i) const;

private:
    bool keepingSavedResults = false;
    bool deleteWorksheet(const QString& name);
    bool deleteSheetGroup(const QStringList& names, const char* deletion);
    // Calls a member of the open workbook; false when there is none or it reports a failure.
    bool workbookAccepts(const char* call, const QVariant& argument = QVariant());

    // Declared in this order so the sheets go before the workbook and the workbook before the
    // application: each is a child object of the one before it.
    std::unique_ptr<AxObject> excel;
    std::unique_ptr<AxObject> workbook;
    void forgetSheetNames();
    std::vector<std::unique_ptr<SheetEntry>> sheets;
    QString attemptedPath; // the file openWorkBook was last asked for
};

// What the user is told when the office was lost in the middle of a workbook's work.
QString officeLostText(OfficeState state);

// A sheet name the office accepts, derived from a value: forbidden characters replaced, no
// leading or trailing apostrophe, at most 31 characters, "空" for an empty value.
QString legalSheetName(const QString& value);
// legalSheetName(value) made unique among the taken names, ignoring letter case, with _0, _1, ...
// as copySheet names its copies.
QString uniqueSheetName(const QString& value, const QStringList& takenNames);

// Destroys the old link (closing its workbook) and starts a new one in its place.
void replaceLink(std::unique_ptr<ExcelOpKiv>& link);

// While it lives, the book's formulas keep the results the file was saved with (see
// ExcelOpKiv::setKeepSavedResults); afterwards the book calculates as it did before.
class SavedResultsKept
{
public:
    explicit SavedResultsKept(ExcelOpKiv& book) : book(book), before(book.keepsSavedResults())
    {
        book.setKeepSavedResults(true);
    }
    ~SavedResultsKept() { book.setKeepSavedResults(before); }
    SavedResultsKept(const SavedResultsKept&) = delete;
    SavedResultsKept& operator=(const SavedResultsKept&) = delete;

private:
    ExcelOpKiv& book;
    bool before;
};
