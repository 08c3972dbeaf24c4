#pragma once
// New workbooks for the tests and the benchmarks, from sheets of texts: written through the office
// in any of its formats, or put together as an .xlsx package the way Excel writes one, with what
// cell values alone cannot carry (styles, formulas with their saved results, merged cells, views).

#include "automation/axobject.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

struct SheetContent
{
    QString name;
    QList<QStringList> rows; // row 1 first; texts that read as numbers are stored as numbers
};

// Writes a new workbook with these sheets, in this order, through the office, in the format of the
// path's extension (.xlsx, .xls, .ods). True when every sheet was filled and the file saved.
bool writeWorkbook(const QString& path, const QList<SheetContent>& sheets);

// What the package gives a sheet beyond its texts. Rows and columns count from 1.
struct SheetLook
{
    std::function<int(int row, int column)> style; // the cell's format in cellXfs; none: 0
    // Without "="; the cell's text is its saved result (#N/A: an error).
    std::function<QString(int row, int column)> formula;
    QHash<int, QByteArray> rowAttributes; // e.g. {1, "ht=\"20.25\""}
    QByteArray head;                      // between the dimension and the data: sheetViews, sheetFormatPr, cols
    QByteArray tail;                      // after the data: mergeCells, conditional formats, validations, page setup
    bool hidden = false;
};

struct XlsxLook
{
    QByteArray styles;           // the whole xl/styles.xml; empty: one plain format
    QList<SheetLook> sheets;     // by the sheets' positions; a sheet without one is plain
    QByteArray head;             // in the workbook before <sheets>: bookViews
    QByteArray tail;             // after </sheets>: definedNames, calcPr
    bool writtenByExcel = false; // docProps/app.xml names Excel as the program that wrote it
    QByteArray connections;      // the whole xl/connections.xml (data connections); empty: none
};

// Writes the sheets as an .xlsx package, without the office. Texts go to the shared strings, each
// once; an empty cell is left out unless it has a format. True when the file was written.
bool writeXlsx(const QString& path, const QList<SheetContent>& sheets, const XlsxLook& look = XlsxLook());

// The office opens the workbook and saves it under the other path, in the format of its extension.
bool convertWorkbook(const QString& from, const QString& to);

// A workbook the office opened from a file, closed unsaved when this goes.
class OfficeWorkbook
{
public:
    explicit OfficeWorkbook(const QString& path);
    ~OfficeWorkbook();
    AxObject* book() const { return workbook.get(); } // none when the file did not open

private:
    AxObject application;
    std::unique_ptr<AxObject> workbook;
};
