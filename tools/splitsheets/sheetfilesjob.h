#pragma once
// The sheet-to-files split of one workbook file, as the window's 开始 button runs it: the form's
// checks, a fresh link, the run and the message for the user. The window and the command line
// both run it.

#include "tools/joboutcome.h"

#include <QCoreApplication>
#include <QString>
#include <memory>

class ExcelOpKiv;

struct SheetFilesRequest
{
    QString workbookPath;
    QString outputFolder;
    bool skipHidden = false; // hidden sheets get no file
    // The files' format by extension: xlsx, xls, ods, csv or pdf; empty (or "same") for the
    // workbook's own.
    QString format;
    // Formulas pointing at other sheets stay formulas (and show #REF! in the files).
    bool keepBrokenFormulas = false;
};

class SheetFilesJob
{
    // Its messages are the sheet splitter window's.
    Q_DECLARE_TR_FUNCTIONS(splitExcelFromSheets)

public:
    explicit SheetFilesJob(const SheetFilesRequest& request);

    // The form's checks in order; empty when they pass. Needs no office.
    QString formProblem() const;
    // Replaces the link, writes the files, releases the link.
    JobOutcome run(std::unique_ptr<ExcelOpKiv>& link);

    // The extensions --format and the 选项 menu offer, "same" first.
    static QStringList formats();

private:
    // The extension the files get, without the dot; empty for the workbook's own.
    QString otherFormat() const;
    // Writes each file of the run (in the workbook's format, in a private folder) into the output
    // folder in the chosen format; the sheets whose file could not be written are added to failed.
    QStringList convertInto(ExcelOpKiv& book, const QStringList& files, QStringList& failed) const;

    SheetFilesRequest request;
};
