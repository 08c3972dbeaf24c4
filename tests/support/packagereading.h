#pragma once
// What a saved .xlsx holds, read from the package itself rather than asked of the office: the
// font of every cell, the runs inside the shared strings, each sheet's view and hidden rows, and
// the formulas with the values saved for them.

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

struct SheetView
{
    bool frozen = false;   // a frozen pane
    int frozenRows = 0;    // rows above it
    int frozenColumns = 0; // columns left of it
    int zoom = 100;        // zoomScale
    bool gridShown = true; // showGridLines
    bool operator==(const SheetView& other) const
    {
        return frozen == other.frozen && frozenRows == other.frozenRows && frozenColumns == other.frozenColumns
               && zoom == other.zoom && gridShown == other.gridShown;
    }
};

struct XlsxContent
{
    bool read = false;
    QStringList sheets;                              // tab order
    QHash<QString, QMap<QString, QString>> fonts;    // sheet -> cell -> font name
    QHash<QString, QMap<QString, QString>> texts;    // sheet -> cell -> shared or inline text
    QHash<QString, QMap<QString, QString>> values;   // sheet -> cell -> value saved with it, texts resolved
    QHash<QString, QMap<QString, QString>> formulas; // sheet -> cell -> formula as saved, without =
    QHash<QString, QList<int>> hiddenRows;           // sheet -> hidden rows, in order
    QHash<QString, SheetView> views;                 // sheet -> view
    QString activeSheet;
    int textRuns = 0;     // <r> runs in the shared strings
    QStringList runFonts; // the fonts those runs name, each once
};

XlsxContent readXlsx(const QString& path);

// The views of an .xlsx (its sheets' XML) or an .ods (its settings.xml): per sheet, and which
// sheet is active.
struct WorkbookViews
{
    bool read = false;
    QHash<QString, SheetView> sheets;
    QString activeSheet;
};
WorkbookViews readViews(const QString& path);
