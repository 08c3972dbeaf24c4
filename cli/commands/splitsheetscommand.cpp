#include "cli/commands/splitsheetscommand.h"

#include "cli/shareprocesses.h"

#include <QDir>
#include <QFileInfo>

SplitSheetsCommand::SplitSheetsCommand()
    : Command(QStringLiteral("split-sheets"), QStringLiteral("Every sheet written as a workbook file of its own."))
{
    addOptions({
        {QStringLiteral("out"),
         QStringLiteral(
             "Output folder, made when missing; with several workbooks each gets DIR/<name without extension>/."),
         QStringLiteral("DIR")},
        {QStringLiteral("skip-hidden"), QStringLiteral("Hidden sheets get no file.")},
        {QStringLiteral("keep-broken-formulas"),
         QStringLiteral("Formulas that point at other sheets stay formulas (they show #REF! in the files); by "
                        "default they are written as the values they show.")},
        {QStringLiteral("format"),
         QStringLiteral("The files' format: same (the workbook's own, default), xlsx, xls, ods, csv (UTF-8 with a "
                        "byte-order mark, values as shown) or pdf."),
         QStringLiteral("FORMAT"), QStringLiteral("same")},
    });
    // A process started to write one share of a workbook's files (K of N) beside the first.
    QCommandLineOption share(QStringLiteral("share"), QString(), QStringLiteral("K/N"));
    share.setFlags(QCommandLineOption::HiddenFromHelp);
    // Only these sheets (the option given once for each), as the column split into files asks.
    QCommandLineOption onlySheet(QStringLiteral("only-sheet"), QString(), QStringLiteral("NAME"));
    onlySheet.setFlags(QCommandLineOption::HiddenFromHelp);
    addOptions({share, onlySheet});
    requireOptions({QStringLiteral("out")});
}

namespace {

// "K/N" as share K-1 of N; false when it is not one.
bool readShare(const QString& text, int& share, int& shares)
{
    bool numbers[2] = {false, false};
    const int k = text.section(QLatin1Char('/'), 0, 0).toInt(&numbers[0]);
    shares = text.section(QLatin1Char('/'), 1).toInt(&numbers[1]);
    share = k - 1;
    return numbers[0] && numbers[1] && k >= 1 && k <= shares;
}

} // namespace

QString SplitSheetsCommand::mistakeIn(const QCommandLineParser& parser) const
{
    int share = 0, shares = 1;
    if (parser.isSet(QStringLiteral("share")) && !readShare(parser.value(QStringLiteral("share")), share, shares))
        return QStringLiteral("--share takes K/N.");
    if (!SheetFilesJob::formats().contains(parser.value(QStringLiteral("format")).toLower()))
        return QStringLiteral("--format takes one of: %1.").arg(SheetFilesJob::formats().join(QStringLiteral(", ")));
    return QString();
}

void SplitSheetsCommand::takeOptions(const QCommandLineParser& parser)
{
    out = parser.value(QStringLiteral("out"));
    settings.skipHidden = parser.isSet(QStringLiteral("skip-hidden"));
    settings.keepBrokenFormulas = parser.isSet(QStringLiteral("keep-broken-formulas"));
    settings.format = parser.value(QStringLiteral("format")).toLower();
    settings.onlySheets = parser.values(QStringLiteral("only-sheet"));
    if (parser.isSet(QStringLiteral("share")))
        readShare(parser.value(QStringLiteral("share")), settings.share, settings.shares);
    // One workbook: its sheets are shared among --jobs offices, or as many as suit the machine and
    // the workbook. Several workbooks go to the offices whole.
    const QStringList books = booksOf(parser);
    if (!parser.isSet(QStringLiteral("worker")) && books.size() == 1)
        settings.offices = parser.isSet(QStringLiteral("jobs")) ? parser.value(QStringLiteral("jobs")).toInt()
                                                                : officesByDefault(QFileInfo(books.first()).size());
}

BookRequest SplitSheetsCommand::requestFor(const QString& book, int count) const
{
    BookRequest request{book, out};
    if (count > 1)
        request.outputFolder = QDir(out).filePath(QFileInfo(book).completeBaseName());
    // Made as mkdir -p would; one that cannot be made is refused by the job's own check.
    QDir().mkpath(request.outputFolder);
    return request;
}

JobOutcome SplitSheetsCommand::run(const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link) const
{
    SheetFilesRequest files = settings;
    files.workbookPath = request.book;
    files.outputFolder = request.outputFolder;
    SheetFilesJob job(files);
    if (files.shares > 1) {
        // Its share's results go back to the first process as a plan; it tells the user nothing.
        const SheetShare share = job.runShare(link);
        JobOutcome outcome = outcomeOf(JobOutcome::Kind::Done, QString());
        if (share.reported)
            outcome.plan.append(share.toMap());
        return outcome;
    }
    ShareProcesses others(files);
    job.setOtherShares(&others);
    return job.run(link);
}
