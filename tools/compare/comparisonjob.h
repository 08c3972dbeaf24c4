#pragma once
// The comparison of one workbook as a job, for both front ends: the command line names the sides
// and has the file opened afresh, the window runs it on the workbook it has open for its pickers.
// Either way the run's outcome is graded here, once.

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
    // The sides by name; run() opens the file.
    explicit ComparisonJob(const ComparisonRequest& request);
    // The sides as the window's pickers give them; runOn() works on the window's workbook.
    explicit ComparisonJob(const ComparisonSettings& settings);

    // Replaces the link, opens the workbook, compares and saves; the link is released at the end.
    JobOutcome run(std::unique_ptr<ExcelOpKiv>& link);
    // Compares and saves the workbook open in book, which stays open.
    JobOutcome runOn(ExcelOpKiv& book);
    // Columns the last run put before the compared ones (the window's pickers move by as many).
    int columnsInserted() const { return inserted; }

    // A run's outcome as a job's: a result that was not saved is a failure, also when the run
    // finished.
    static JobOutcome jobOutcomeOf(const ComparisonOutcome& compared);

private:
    ComparisonRequest request;
    ComparisonSettings settings;
    int inserted = 0;
};
