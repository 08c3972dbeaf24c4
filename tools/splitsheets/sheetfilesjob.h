#pragma once
// The sheet-to-files split of one workbook file, as the window's 开始 button runs it: the form's
// checks, a fresh link, the run and the message for the user. The window and the command line
// both run it.

#include "tools/joboutcome.h"

#include <QString>
#include <memory>

class ExcelOpKiv;

struct SheetFilesRequest
{
    QString workbookPath;
    QString outputFolder;
    bool skipHidden = false; // hidden sheets get no file
};

class SheetFilesJob
{
public:
    explicit SheetFilesJob(const SheetFilesRequest& request);

    // The form's checks in order; empty when they pass. Needs no office.
    QString formProblem() const;
    // Replaces the link, writes the files, releases the link.
    JobOutcome run(std::unique_ptr<ExcelOpKiv>& link);

private:
    SheetFilesRequest request;
};
