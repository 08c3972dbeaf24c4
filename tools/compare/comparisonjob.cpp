#include "tools/compare/comparisonjob.h"

#include "excelop/excelopkiv.h"

namespace {

// The window's fields for one side, filled as a user would from the sheet's name, a column and a
// row count (the sheet's last used row when none was given).
ComparisonSide sideFor(ExcelOpKiv& book, const NamedSide& named)
{
    ComparisonSide side;
    side.sheetName = named.sheetName;
    side.sheetIndex = book.getSheetNames().indexOf(named.sheetName);
    side.titleIndex = named.column - 1;
    side.rowsText = named.rowsText;
    SheetEntry* sheet = book.sheetAt(side.sheetIndex);
    // Without a sheet there is no last row: the run's sheet check then says what is wrong.
    if (named.rowsText.isNull())
        side.rowsText = QString::number(sheet ? sheet->usedRowCount() : 1);
    return side;
}

} // namespace

ComparisonJob::ComparisonJob(const ComparisonRequest& request) : request(request)
{
    settings.workbookPath = request.workbookPath;
    settings.options = request.options;
    settings.onLoss = request.onLoss;
    settings.resultPath = request.resultPath;
    // Nobody is there to ask: such a run goes on only when allowed.
    const bool allowThreeD = request.allowThreeDChange;
    settings.onSpanningFormulas = [allowThreeD](const QString&) { return allowThreeD; };
}

ComparisonJob::ComparisonJob(const ComparisonSettings& settings) : settings(settings) {}

JobOutcome ComparisonJob::run(std::unique_ptr<ExcelOpKiv>& link)
{
    replaceLink(link);
    link->openWorkBook(settings.workbookPath);
    if (!link->openSheets())
        return outcomeOf(JobOutcome::Kind::Failed, QString());
    settings.side1 = sideFor(*link, request.side1);
    settings.side2 = sideFor(*link, request.side2);
    const JobOutcome outcome = runOn(*link);
    link.reset();
    return outcome;
}

JobOutcome ComparisonJob::runOn(ExcelOpKiv& book)
{
    const ComparisonOutcome compared = ComparisonRun(book, settings).run();
    inserted = compared.columnsInserted;
    return jobOutcomeOf(compared);
}

JobOutcome ComparisonJob::jobOutcomeOf(const ComparisonOutcome& compared)
{
    JobOutcome outcome;
    outcome.messages = compared.messages;
    switch (compared.kind) {
    case ComparisonOutcome::Kind::Refused:
        outcome.kind = JobOutcome::Kind::Refused;
        break;
    case ComparisonOutcome::Kind::Finished:
        outcome.kind = compared.saved ? JobOutcome::Kind::Done : JobOutcome::Kind::Failed;
        break;
    case ComparisonOutcome::Kind::Cancelled:
        outcome.kind = compared.saved ? JobOutcome::Kind::Cancelled : JobOutcome::Kind::Failed;
        break;
    case ComparisonOutcome::Kind::Failed:
        outcome.kind = JobOutcome::Kind::Failed;
        break;
    }
    if (compared.saved)
        outcome.written.append(compared.savedPath);
    return outcome;
}
