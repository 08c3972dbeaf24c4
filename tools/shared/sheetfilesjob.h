#pragma once
// The sheet-to-files split of one workbook file, as the window's 开始 button runs it: the form's
// checks, a fresh link, the run and the message for the user. The window and the command line
// both run it; the column split into files writes its new sheets' files with it.

#include "tools/joboutcome.h"
#include "tools/shared/sheetshares.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>

class ExcelOpKiv;

struct SheetFilesRequest
{
    QString workbookPath;
    QString outputFolder;
    bool skipHidden = false; // hidden sheets get no file
    // The files' format by extension: xlsx, xls, ods, csv or pdf; empty (or "same") for the
    // workbook's own.
    QString format;
    // Formulas pointing at other sheets stay formulas (and show #REF! in the files).
    bool keepBrokenFormulas = false;
    // Offices that may write the files at once, each a share of the sheets (see sheetshares.h).
    int offices = 1;
    // Not empty: only these sheets get files (those the workbook holds, in this order).
    QStringList onlySheets;
    // For a process writing one share: share (from 0) of shares.
    int share = 0;
    int shares = 1;
};

class SheetFilesJob
{
    // Its messages are the sheet splitter window's.
    Q_DECLARE_TR_FUNCTIONS(splitExcelFromSheets)

public:
    explicit SheetFilesJob(const SheetFilesRequest& request);

    // The form's checks in order; empty when they pass. Needs no office.
    QString formProblem() const;
    // Replaces the link, writes the files, releases the link. With other shares and offices
    // above one, other offices write a share each meanwhile.
    JobOutcome run(std::unique_ptr<ExcelOpKiv>& link);
    // The files as run writes them, without the form's checks or a message; none when the
    // workbook did not open (the link said so).
    std::optional<SheetShare> writeFiles(std::unique_ptr<ExcelOpKiv>& link);
    // Where a sheet's file goes.
    QString fileOf(const QString& sheet) const;
    void setOtherShares(OtherShares* shares) { otherShares = shares; }
    // Writes the request's share of the files alone (not reported when the workbook did not open).
    SheetShare runShare(std::unique_ptr<ExcelOpKiv>& link);

    // The extensions --format and the 选项 menu offer, "same" first.
    static QStringList formats();

private:
    bool opened(std::unique_ptr<ExcelOpKiv>& link) const;
    QStringList sheetsToWrite(ExcelOpKiv& book) const;
    int sharesFor(const QStringList& sheetNames) const;
    SheetShare writeShare(ExcelOpKiv& book, const QStringList& sheets) const;
    void accountForEverySheet(SheetShare& share, const QDateTime& started) const;
    JobOutcome outcomeFrom(const SheetShare& result) const;
    // The extension the files get, without the dot; empty for the workbook's own.
    QString otherFormat() const;
    // Writes each file of the run (in the workbook's format, in a private folder) into the output
    // folder in the chosen format; the sheets whose file could not be written are added to failed.
    QStringList convertInto(ExcelOpKiv& book, const QStringList& files, QStringList& failed) const;

    SheetFilesRequest request;
    OtherShares* otherShares = nullptr;
};
