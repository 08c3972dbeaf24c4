#pragma once
// Writes every worksheet of a target workbook as a workbook file of its own, from the target loaded
// once: the other sheets are deleted, a copy is saved, and the deletion is undone. Sheets are
// halved on the way down (delete one half, work on the other, undo), so each sheet is deleted
// about log2(n) times instead of once for every other sheet's file. The office's undo does not
// bring back notes and drawings whole; a workbook holding them takes the slow way: a byte copy
// of the target for each sheet, every other sheet deleted from it, saved. Sheets the quick way
// could not write are tried the slow way. The target file itself is never removed, overwritten
// or saved.

#include "tools/shared/crosssheetformulas.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

class ExcelOpKiv;
class RunProgress;

class SheetFilesRun
{
public:
    enum class Outcome { Finished, Cancelled };

    SheetFilesRun(ExcelOpKiv& book, const QString& targetPath, const QString& outputFolder);

    // A formula pointing at another sheet would show #REF! in a file holding its sheet alone, so
    // by default it is written as the value the user saw; with this, as the formula.
    void keepFormulasPointingElsewhere(bool keep) { keepBrokenFormulas = keep; }
    // Cells written as their values for that reason.
    int cellsKeptAsValues() const { return valuesKept; }
    // Pivot tables built from another sheet, written as the cells they showed.
    int pivotTablesKeptAsValues() const { return pivotsKept; }
    // Whether the office gave the files empty placeholder sheets for the workbook's macros.
    bool filesHoldMacroPlaceholders() const { return placeholderSheets && !writtenFiles.isEmpty(); }

    // sheetNames: the target's worksheets to write, in workbook order. The book holds the target,
    // loaded and unchanged; afterwards it holds it changed and must not be saved. Shows the
    // progress dialog.
    Outcome run(const QStringList& sheetNames);
    // One line per sheet whose file could not be written, with the reason.
    QStringList notWritten() const { return failures; }
    // The files written, in sheet order.
    QStringList written() const { return writtenFiles; }
    // One line per sheet whose file a later sheet's file replaced (their names clean up alike).
    QStringList replaced() const { return replacedFiles; }

    // The output file of a sheet: its sanitised name with the target's own extension.
    QString outputPathFor(const QString& sheetName) const;

private:
    enum class Step { Done, Failed, Cancelled, Stuck };
    bool undoBringsBackEverySheet();
    Step writeFilesByHalving(RunProgress& progress);
    Step writeFilesByFullCopies(RunProgress& progress);
    Step writeRetriesByCopies(RunProgress& progress);
    // present: the sheets the loaded workbook holds now, consecutive in workbook order.
    // restoreAfter: whether the workbook must hold them again afterwards; the last files of the
    // run need not, and their deletions are cheaper for it.
    Step writeFilesOf(const QStringList& present, RunProgress& progress, bool restoreAfter);
    Step writeHalf(const QStringList& present, const QStringList& half, RunProgress& progress, bool restoreAfter);
    QStringList wantedAmong(const QStringList& names) const;
    bool loadTargetAgain();
    // In the open workbook, the formulas of these sheets that point elsewhere become values.
    CrossSheetValues keepValuesFor(const QStringList& sheets);
    void leaveOutLockedSheets(const CrossSheetValues& kept);
    Step writeSheetFile(const QString& sheetName, RunProgress& progress);
    void keepUnfinishedFile();
    void recordWritten(const QString& sheetName, const QString& path);
    // The slow way, one byte copy of the target a sheet.
    Step writeSheetFileFromCopy(const QString& sheetName, RunProgress& progress);
    bool placeCopyOfTarget(const QString& sheetName, const QString& path);
    enum class Trim { Done, Refused, Cancelled };
    Trim keepOnlySheet(const QString& sheetName, RunProgress& progress);
    void closeAndRemoveOutput(const QString& path);
    void skipInspections(int count, RunProgress& progress);
    void fail(const QString& sheetName, const QString& reason);

    ExcelOpKiv& book;
    QString targetPath;
    QString outputFolder;
    QString extension;
    QStringList wanted; // the sheets that get a file
    int filesDone = 0;  // sheets of wanted handled so far, written or not
    // Progress counts, as it always did, every sheet looked at in every file (and a cancelled
    // run's unfinished file holds what that file held then).
    int inspections = 0;
    QStringList allSheets;
    bool workbookWhole = true;     // no sheet deleted for good yet
    QString targetStamp;           // the target's file as the run found it loaded
    bool changedMeanwhile = false; // the target's file changed while the run worked
    QString cancelledFile;         // the sheet whose file was being made when the run was cancelled
    int cancelledAtSheet = 0;      // and the position in allSheets looked at then
    bool outputOpen = false;       // the slow way's open workbook is an output file, not the target
    bool keepBrokenFormulas = false;
    int valuesKept = 0;
    int pivotsKept = 0;
    bool placeholderSheets = false;
    std::optional<CrossSheetValues> valuesFound; // on the first load
    QStringList retryByCopy;                     // sheets the fast way could not write
    QStringList failures;
    QStringList writtenFiles;
    QStringList replacedFiles;
    QHash<QString, QString> sheetOfFile; // output path -> the sheet whose file it holds
};
