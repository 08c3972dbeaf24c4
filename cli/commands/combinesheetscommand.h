#pragma once
// combine-sheets: sheets of a workbook combined into one new sheet, the title rows once.

#include "cli/commands/command.h"
#include "tools/combine/sheetcombinejob.h"

class CombineSheetsCommand : public Command
{
public:
    CombineSheetsCommand();

    QString mistakeIn(const QCommandLineParser& parser) const override;
    void takeOptions(const QCommandLineParser& parser) override;
    JobOutcome run(const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link) const override;

private:
    SheetCombineRequest settings; // every workbook's, but its path
    bool dryRun = false;
};
