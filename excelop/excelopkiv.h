#pragma once
// The one link through which every tool reaches the spreadsheet application: a started
// application, at most one open workbook and the list of its worksheets.

#include "excelop/sheetentry.h"

#include <QList>
#include <QString>
#include <QStringList>

class AxObject;

class ExcelOpKiv
{
public:
    ExcelOpKiv();
    ~ExcelOpKiv(); // closes the workbook without saving; the application stays running
    ExcelOpKiv(const ExcelOpKiv&) = delete;
    ExcelOpKiv& operator=(const ExcelOpKiv&) = delete;

    void openWorkBook(const QString& path);
    void openSheets();
    QStringList getSheetNames();
    // Saves the workbook in place, in its own format. False when the office could not save it
    // (read-only file, file locked elsewhere, disk full) or no workbook is open.
    bool saveWorkbook();
    float getExcelVersion();
    bool isXlsxSupported();
    void clearSheets();
    SheetEntry* findSheet(const QString& name) const;

    // Copies the worksheet before itself and names the copy after newName: "空" for an empty
    // name, characters a sheet name cannot hold replaced, at most 31 characters, made unique
    // (ignoring letter case) with _0, _1, ... Rebuilds the sheet list and returns the name the
    // copy actually has; empty when no copy was made.
    QString copySheet(const QString& sourceName, const QString& newName);
    // Deletes the worksheet of that name (if any), saves the workbook and rebuilds the list.
    // False when the save failed.
    bool deleteSheet(const QString& name);
    // Deletes the worksheet of that name without saving and rebuilds the list; false when there
    // is no such sheet or the office refused.
    bool removeSheet(const QString& name);

    bool hasApplication() const { return excel != nullptr; }
    bool hasWorkbook() const { return workbook != nullptr; }
    int sheetCount() const { return sheets.size(); }
    // Entry i (0-based) of the sheet list, or nullptr when there is none.
    SheetEntry* sheetAt(int i) const;

private:
    bool deleteWorksheet(const QString& name);

    AxObject* excel = nullptr;
    AxObject* workbook = nullptr;
    QList<SheetEntry*> sheets;
};

// A sheet name the office accepts, derived from a value: forbidden characters replaced, no
// leading or trailing apostrophe, at most 31 characters, "空" for an empty value.
QString legalSheetName(const QString& value);
