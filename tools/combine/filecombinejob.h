#pragma once
// Combining workbook files into a new workbook, as the combine window and the command line run
// it: the checks, every source opened, the plan, the run and the save of the new workbook. No
// source is changed.

#include "tools/combine/filecombineplan.h"
#include "tools/combine/filecombinerun.h"
#include "tools/joboutcome.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class ExcelOpKiv;

struct FileCombineRequest
{
    QStringList files; // the workbooks, in this order
    QString folder;    // or every .xlsx, .xls and .ods in it, by name
    QString resultPath;
    FileCombineSettings settings;
};

class FileCombineJob
{
    Q_DECLARE_TR_FUNCTIONS(CombineTables)

public:
    explicit FileCombineJob(const FileCombineRequest& request);

    // The checks that need no office; empty when they pass. Lists the sources.
    QString formProblem();
    // The workbooks to combine, once formProblem() passed.
    QStringList sources() const { return files; }
    // Opens every source and a new workbook through the link (replaced), combines, and saves the
    // new workbook; every link is released at the end.
    JobOutcome run(std::unique_ptr<ExcelOpKiv>& link);
    // The checks, then the plan (the result's sheets, their rows and sources); writes nothing.
    JobOutcome plan();

    static QStringList workbooksIn(const QString& folder);

private:
    // Every source open in a link of its own, and the plan; otherwise false with the refusal.
    bool planned(std::vector<std::unique_ptr<ExcelOpKiv>>& books, QVector<ResultSheet>& plan, JobOutcome& refusal);
    QString tooManyRows(const QVector<ResultSheet>& plan) const;
    JobOutcome saved(ExcelOpKiv& book, const FileCombineRun& run, const QVector<ResultSheet>& plan);

    FileCombineRequest request;
    QStringList files;
};
