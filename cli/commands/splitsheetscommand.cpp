#include "cli/commands/splitsheetscommand.h"

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
    requireOptions({QStringLiteral("out")});
}

QString SplitSheetsCommand::mistakeIn(const QCommandLineParser& parser) const
{
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
    return SheetFilesJob(files).run(link);
}
