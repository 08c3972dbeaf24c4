#pragma once
// Combining sheets of one workbook file, as the combine window's 开始 button and the command line
// run it: the checks, a fresh link with the workbook opened, the plan, the run, the save and the
// message for the user.

#include "tools/combine/sheetcombineplan.h"
#include "tools/joboutcome.h"
#include "tools/resultsave.h"

#include <QCoreApplication>
#include <QString>
#include <memory>

class ExcelOpKiv;

struct SheetCombineRequest
{
    QString workbookPath;
    SheetCombineSettings settings;
    bool keepBackup = false;
    // Asked when saving over the workbook would lose some of its features.
    LossQuestion onLoss;
    // Where the result goes instead of over the workbook; empty: the workbook.
    QString resultPath;
};

class SheetCombineJob
{
    Q_DECLARE_TR_FUNCTIONS(CombineTables)

public:
    explicit SheetCombineJob(const SheetCombineRequest& request);

    // The checks that need no office; empty when they pass.
    QString formProblem() const;
    // Replaces the link, opens the workbook, combines and saves; the link is released at the end.
    JobOutcome run(std::unique_ptr<ExcelOpKiv>& link);
    // The checks, then the plan (each sheet and its rows, the new sheet's name); changes nothing.
    JobOutcome plan(std::unique_ptr<ExcelOpKiv>& link);

private:
    // A new link with the workbook open and the plan made; otherwise false, the link released and
    // the outcome in refusal.
    bool planned(std::unique_ptr<ExcelOpKiv>& link, SheetCombinePlan& plan, JobOutcome& refusal);
    JobOutcome combineInOpenWorkbook(ExcelOpKiv& book, const SheetCombinePlan& plan);

    SheetCombineRequest request;
};
