#pragma once
// The comparison of one workbook file as the command line runs it: a fresh link with the
// workbook opened, the sides named by sheet, column and row count, the run, and its outcome as
// any job's. The window runs the comparison on the workbook it has open instead.

#include "tools/compare/comparisonrun.h"
#include "tools/joboutcome.h"

#include <memory>

// One side named from outside a window.
struct NamedSide
{
    QString sheetName;
    int column = 0;   // 1-based; 0 for none, which the run's checks refuse
    QString rowsText; // the sheet's last row as typed; null: its last used row
};

struct ComparisonRequest
{
    QString workbookPath;
    NamedSide side1;
    NamedSide side2;
    ComparisonOptions options;
    LossQuestion onLoss;
    QString resultPath; // empty: the workbook
    // Whether to go on when 3-D references over a compared sheet would change.
    bool allowThreeDChange = false;
};

class ComparisonJob
{
public:
    explicit ComparisonJob(const ComparisonRequest& request);

    // Replaces the link, opens the workbook, compares and saves; the link is released at the end.
    JobOutcome run(std::unique_ptr<ExcelOpKiv>& link);

    // A run's outcome as a job's: a result that was not saved is a failure.
    static JobOutcome jobOutcomeOf(const ComparisonOutcome& compared);

private:
    ComparisonRequest request;
};
