#pragma once
// split-column: one new sheet (or file) per distinct value of a column.

#include "cli/commands/command.h"
#include "tools/splitcolumn/columnsplitjob.h"

class SplitColumnCommand : public Command
{
public:
    SplitColumnCommand();

    void takeOptions(const QCommandLineParser& parser) override;
    JobOutcome run(const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link) const override;

private:
    ColumnSplitRequest settings; // every workbook's, but its path
    bool dryRun = false;         // the plan only
};
