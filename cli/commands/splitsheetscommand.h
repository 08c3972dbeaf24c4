#pragma once
// split-sheets: every sheet written as a workbook file of its own.

#include "cli/commands/command.h"
#include "tools/shared/sheetfilesjob.h"

class SplitSheetsCommand : public Command
{
public:
    SplitSheetsCommand();

    QString mistakeIn(const QCommandLineParser& parser) const override;
    void takeOptions(const QCommandLineParser& parser) override;
    // With several workbooks, each gets a folder of its own in --out.
    BookRequest requestFor(const QString& book, int count) const override;
    JobOutcome run(const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link) const override;

private:
    SheetFilesRequest settings; // every workbook's, but its path and folder
    QString out;
};
