#pragma once
// Writes every worksheet of a target workbook as a workbook file of its own: each output file
// starts as a byte copy of the target, every other sheet is deleted from it, and it is saved once.
// The target file itself is never removed, overwritten or saved.

#include <QHash>
#include <QString>
#include <QStringList>

class ExcelOpKiv;
class RunProgress;

class SheetFilesRun
{
public:
    enum class Outcome { Finished, Cancelled };

    SheetFilesRun(ExcelOpKiv& book, const QString& targetPath, const QString& outputFolder);

    // sheetNames: the target's worksheets in workbook order. Shows the progress dialog.
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
    enum class Step { Done, Failed, Cancelled };
    Step writeSheetFile(const QString& sheetName, RunProgress& progress);
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
    int sheetCount = 0;
    int inspections = 0;
    bool outputOpen = false; // the open workbook is an output file (never the target)
    QStringList failures;
    QStringList writtenFiles;
    QStringList replacedFiles;
    QHash<QString, QString> sheetOfFile; // output path -> the sheet whose file it holds
};

// Both paths name one existing file (the same file reached through links counts as one).
bool isSameExistingFile(const QString& first, const QString& second);
