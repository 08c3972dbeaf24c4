#pragma once
// compare: counts how often each row's value occurs in the other sheet's column.

#include "cli/commands/command.h"
#include "tools/compare/comparisonjob.h"

class CompareCommand : public Command
{
public:
    CompareCommand();

    void takeOptions(const QCommandLineParser& parser) override;
    JobOutcome run(const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link) const override;

private:
    ComparisonRequest settings; // every workbook's, but its path
};
