#pragma once
// What the office server's nodes share: the application objects' state, the documents the office
// holds for them, and the registry that lets two application objects share one loaded file. Only
// the office server's own files include this header.

#include "automation/guardedcalls.h"
#include "automation/namedranges.h"
#include "fileformat/formulascan.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <future>
#include <memory>
#include <optional>

namespace OfficeNodes {

// What the formulas of a file's package hold, read once per version of the file.
struct PackageFormulas
{
    QString stamp; // the file's, taken before it was read
    std::shared_future<FormulaScan::Findings> findings;

    // Read on another core from now on: the office's load of the same file takes longer.
    static PackageFormulas readingBeside(const QString& path, const QString& stamp);
};

struct DocumentState;
using DocumentPtr = std::shared_ptr<DocumentState>;

struct ApplicationState
{
    bool visible = true;
    bool displayAlerts = true;
    int officeGeneration = OfficeConnection::instance().generation();
    DocumentPtr activeWorkbook;
    QList<DocumentPtr> openedWorkbooks; // opened through this application and not closed yet
};
using ApplicationPtr = std::shared_ptr<ApplicationState>;

// One loaded document. Workbooks opened twice (by two application objects) share it, as one
// spreadsheet application holds a file only once.
struct DocumentState
{
    QString url;
    uno::Reference<lang::XComponent> component;
    uno::Reference<sheet::XSpreadsheetDocument> document;
    uno::Reference<sheet::XSpreadsheet> activeSheet;
    OfficeValues values;
    int users = 0;
    bool closed = false;
    QString savePath;  // where "Save" writes: the file it came from, or where "SaveAs" put it
    QString diskStamp; // the file as it was when loaded or last saved
    // Whether "Save" refuses to replace the file with one that lacks features it has, and the
    // features the last refused save would have lost.
    bool keepFeatures = false;
    QStringList lostFeatures;
    // For each sheet group deletion not yet undone, what its undo does not bring back.
    struct BeforeGroupDeletion
    {
        QStringList sheets;
        QList<QPair<table::CellRangeAddress, table::CellRangeAddress>> columnLabels, rowLabels;
        uno::Any viewSettings; // by sheet position: the view's panes, zoom and active sheet
    };
    QList<BeforeGroupDeletion> beforeGroupDeletions;
    // An undone deletion brings a sheet back with the default page style. Setting a sheet's page
    // style makes the office lay out its pages, so it is put back only on sheets that are saved.
    QHash<QString, QString> pageStyleBeforeDeletions; // by sheet name, as first deleted
    QSet<QString> pageStylesToPutBack;
    // Set once rows or columns were inserted or deleted, or a sheet added, copied, moved, deleted
    // or brought back: the office may then have compiled formulas again, and left them without a
    // result: those that reach a table by name, and those over a name that now refers elsewhere.
    // The names as they were before.
    std::optional<QList<NamedRange>> namesBeforeMoves;
    // While nothing but rows or columns were inserted since the document held just what its file
    // holds: that file's stamp. Then the file's formulas tell which can have been compiled again.
    QString onlyInsertsSinceFile;
    PackageFormulas packageFormulas; // of the file at savePath
    QString loadedStamp;             // of the file the document was loaded from
    // Set once a manual row break may have been written or brought in from another document.
    bool rowBreaksMayHaveCome = false;
};

enum class LineMove { Inserted, Other };

// Called before rows, columns or sheets move.
void noteLinesOrSheetsMoved(DocumentState& document, LineMove move = LineMove::Other);
// Whether the document's formulas are those of the .xlsx (or .xlsm) package at its path: loaded
// from it or saved there, changed in nothing since, and the file unchanged on disk.
bool formulasAsInItsPackage(const DocumentState& document);
// Called before formulas are written into cells (the office's own moves aside).
void noteFormulasWritten(DocumentState& document);
// Whether no formula can have been compiled again since the load: only rows or columns were
// inserted, and the file, still there, has no formula reaching a table or a lost reference.
bool noFormulaCompiledAgain(DocumentState& document);
// What the formulas of the file at the document's path hold, read again only when it changed.
FormulaScan::Findings packageFindings(DocumentState& document);
// Whether some sheet may hold a manual row break: false only when the .xlsx (or .xlsm) file the
// document was loaded from, unchanged since, lists no row breaks, and none came since.
bool mayHoldManualRowBreaks(const DocumentState& document);

// Size and change time of a file: another program's save changes it.
QString diskStampOf(const QString& path);

// The documents loaded from files, by URL.
QHash<QString, std::weak_ptr<DocumentState>>& loadedDocuments();

void closeComponent(const uno::Reference<lang::XComponent>& component);

// One user fewer; the last one closes the document in the office.
void releaseDocument(const DocumentPtr& document);

} // namespace OfficeNodes
