#pragma once
// The column split of one workbook file, as the splitter window's 开始 button runs it: the form's
// checks, a fresh link with the workbook opened, the sheet and area checks, the split, the save,
// and the message for the user. The window and the command line both run it.

#include "tools/joboutcome.h"
#include "tools/resultsave.h"
#include "tools/shared/sheetfilesjob.h"
#include "tools/splitcolumn/columnsplitrun.h"
#include "tools/splitcolumn/splitrows.h"

#include <QCoreApplication>
#include <QString>
#include <functional>
#include <memory>

class ExcelOpKiv;
class SheetEntry;

struct ColumnSplitRequest
{
    QString workbookPath;
    QString sheetName;
    QString startCellText;   // 起始位置, such as A1
    QString endCellText;     // 结束于
    QString referColumnText; // 参考列 letters
    bool deleteReferColumn = false;
    bool keepBackup = false; // the original kept beside the workbook before the save
    // Into files: one workbook per value in this folder instead of one sheet per value; the
    // workbook itself is not changed. Empty: new sheets, as written.
    QString filesFolder;
    // Asked when saving over the workbook would lose some of its features; without it the
    // result goes over the workbook all the same.
    LossQuestion onLoss;
    // Where the result goes instead of over the workbook; empty: the workbook.
    QString resultPath;
    // Formulas that would show #REF! in a new sheet or file stay formulas; by default they are
    // written as the values they show.
    bool keepBrokenFormulas = false;
    // An empty 起始位置 or 结束于 is filled in from the sheet's used area, as the window does when
    // a sheet is picked.
    bool areaFromSheet = false;
    // Into files: offices that may write them at once, each a share of the new sheets.
    int offices = 1;
};

// A sheet's data area as the window fills it in: from A1 to the sheet's last used cell.
struct DataArea
{
    QString start;
    QString end; // empty, as start, for a sheet without used cells
};

class ColumnSplitJob
{
    // Its messages are the column splitter window's.
    Q_DECLARE_TR_FUNCTIONS(SplitSheetFromColumn)

public:
    explicit ColumnSplitJob(const ColumnSplitRequest& request);

    // The form's own checks in their order; empty when they pass. Needs no office.
    QString formProblem();
    static DataArea usedAreaOf(SheetEntry& sheet);
    // Replaces the link, opens the workbook, splits and saves; the link is released at the end.
    JobOutcome run(std::unique_ptr<ExcelOpKiv>& link);
    // The checks, then the plan (each value, its rows, its sheet's or file's name) in the
    // outcome's plan and messages; changes nothing.
    JobOutcome plan(std::unique_ptr<ExcelOpKiv>& link);
    // Into files: where shares of the files are written beside this process's (the command line
    // starts processes); without it one office writes them all.
    using OtherSharesStarter = std::function<std::unique_ptr<OtherShares>(const SheetFilesRequest&)>;
    void setOtherShares(OtherSharesStarter starter) { otherShares = std::move(starter); }

private:
    // The checks on the open workbook, in order: a refused or failed outcome, or none.
    bool refused(ExcelOpKiv& book, JobOutcome& refusal);
    // Whether the cell text waits for the sheet's used area.
    bool leftToSheet(const QString& cellText) const;
    // Fills in the area left to the source sheet; false, with the outcome, when that fails.
    bool areaFilledIn(ExcelOpKiv& book, SheetEntry& source, JobOutcome& refusal);
    // A new link with the file open and the checks passed; otherwise false, the link released
    // and the outcome in refusal.
    bool openedAndAccepted(const QString& path, std::unique_ptr<ExcelOpKiv>& link, JobOutcome& refusal);
    JobOutcome splitInOpenWorkbook(ExcelOpKiv& book);
    // The outcome of a split saved to path.
    JobOutcome finishedOutcome(const ColumnSplitRun& run, ColumnSplitRun::Outcome outcome, const QString& path) const;
    JobOutcome splitIntoFiles(std::unique_ptr<ExcelOpKiv>& link);
    SplitRows rowsIn(ExcelOpKiv& book) const;
    ColumnSplitSettings runSettings() const;
    // What the user should know beside the outcome: cells written as values, empty rows left out.
    QStringList notes(int cellsKeptAsValues, int emptyRows) const;
    QString areaOutsideSheet(SheetEntry& source) const;
    // Refused: no record below the title row (all rows there entirely empty, say).
    JobOutcome noDataRows() const;

    ColumnSplitRequest request;
    int titleRow = 0;
    int endRow = 0;
    int referColumn = 0;
    OtherSharesStarter otherShares;
};
