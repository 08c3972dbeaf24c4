#pragma once
// combine-files: workbooks combined into one new workbook, every sheet a sheet of it or sheets of
// one name stacked into one.

#include "cli/commands/command.h"
#include "tools/combine/filecombinejob.h"

class CombineFilesCommand : public Command
{
public:
    CombineFilesCommand();

    QString mistakeIn(const QCommandLineParser& parser) const override;
    // One job: the new workbook, made of every workbook given.
    QStringList booksOf(const QCommandLineParser& parser) const override;
    void takeOptions(const QCommandLineParser& parser) override;
    JobOutcome run(const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link) const override;

private:
    FileCombineRequest settings;
    bool dryRun = false;
};
