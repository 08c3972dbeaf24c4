#include "cli/commands/combinefilescommand.h"

CombineFilesCommand::CombineFilesCommand()
    : Command(QStringLiteral("combine-files"),
              QStringLiteral("Workbooks (the BOOKs, or every workbook of --folder) combined into a new workbook."))
{
    addOptions({
        {QStringLiteral("out"), QStringLiteral("The new workbook; its extension gives its format."),
         QStringLiteral("BOOK")},
        {QStringLiteral("folder"), QStringLiteral("Every .xlsx, .xls and .ods in this folder, by name."),
         QStringLiteral("DIR")},
        {QStringLiteral("stack"),
         QStringLiteral("Sheets of the same name stacked into one sheet, with a first column 来源 naming the file; "
                        "by default every sheet becomes a sheet of the new workbook, named <file>-<sheet> when "
                        "two files have a sheet of one name.")},
        {QStringLiteral("title-rows"), QStringLiteral("With --stack: how many title rows each sheet has; default: 1."),
         QStringLiteral("N"), QStringLiteral("1")},
        {QStringLiteral("align-titles"),
         QStringLiteral("With --stack: match columns by their titles instead of refusing titles that differ.")},
        {QStringLiteral("dry-run"),
         QStringLiteral("Print the plan (the new workbook's sheets, their rows and sources) and write nothing.")},
        {QStringLiteral("keep-broken-formulas"),
         QStringLiteral("Formulas pointing at other sheets stay formulas, pointing into their file; by default "
                        "they are written as the values they show.")},
    });
    requireOptions({QStringLiteral("out")});
}

QString CombineFilesCommand::mistakeIn(const QCommandLineParser& parser) const
{
    bool number = false;
    const int titleRows = parser.value(QStringLiteral("title-rows")).toInt(&number);
    if (!number || titleRows < 0)
        return QStringLiteral("--title-rows takes a whole number, 0 or more.");
    if (parser.isSet(QStringLiteral("folder")) && !parser.positionalArguments().isEmpty())
        return QStringLiteral("Give workbooks or --folder, not both.");
    return QString();
}

QStringList CombineFilesCommand::booksOf(const QCommandLineParser& parser) const
{
    if (parser.positionalArguments().isEmpty() && !parser.isSet(QStringLiteral("folder")))
        return {};
    return {parser.value(QStringLiteral("out"))};
}

void CombineFilesCommand::takeOptions(const QCommandLineParser& parser)
{
    settings.files = parser.positionalArguments();
    settings.folder = valueOrNull(parser, QStringLiteral("folder"));
    settings.resultPath = parser.value(QStringLiteral("out"));
    settings.settings.stack = parser.isSet(QStringLiteral("stack"));
    settings.settings.titleRows = parser.value(QStringLiteral("title-rows")).toInt();
    settings.settings.alignTitles = parser.isSet(QStringLiteral("align-titles"));
    settings.settings.keepBrokenFormulas = parser.isSet(QStringLiteral("keep-broken-formulas"));
    dryRun = parser.isSet(QStringLiteral("dry-run"));
}

JobOutcome CombineFilesCommand::run(const BookRequest&, std::unique_ptr<ExcelOpKiv>& link) const
{
    FileCombineJob job(settings);
    return dryRun ? job.plan() : job.run(link);
}
