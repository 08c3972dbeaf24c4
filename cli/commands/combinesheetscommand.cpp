#include "cli/commands/combinesheetscommand.h"

CombineSheetsCommand::CombineSheetsCommand()
    : Command(QStringLiteral("combine-sheets"),
              QStringLiteral("Sheets combined into a new sheet 合并: the title rows once, then every sheet's rows."))
{
    addOptions({
        {QStringLiteral("sheets"),
         QStringLiteral("The sheets to combine, separated by commas; default: every sheet. Their rows follow the "
                        "workbook's order of the sheets."),
         QStringLiteral("A,B,...")},
        {QStringLiteral("title-rows"), QStringLiteral("How many title rows each sheet has; default: 1."),
         QStringLiteral("N"), QStringLiteral("1")},
        {QStringLiteral("source-column"), QStringLiteral("A first column 来源 naming the sheet each row came from.")},
        {QStringLiteral("align-titles"),
         QStringLiteral("按标题对齐: match columns by their titles (a column a sheet lacks stays empty in its rows, "
                        "a title only some sheets have is added at the end); without it, titles that differ are "
                        "refused.")},
        {QStringLiteral("dry-run"),
         QStringLiteral("Print the plan (each sheet and its rows, the new sheet's name) and change nothing.")},
        backupOption(),
        {QStringLiteral("keep-broken-formulas"),
         QStringLiteral("Formulas pointing at other sheets stay formulas (their references move along with the "
                        "rows); by default they are written as the values they show.")},
    });
    addOptions(resultSaveOptions());
}

QString CombineSheetsCommand::mistakeIn(const QCommandLineParser& parser) const
{
    bool number = false;
    const int titleRows = parser.value(QStringLiteral("title-rows")).toInt(&number);
    if (!number || titleRows < 0)
        return QStringLiteral("--title-rows takes a whole number, 0 or more.");
    return Command::mistakeIn(parser);
}

void CombineSheetsCommand::takeOptions(const QCommandLineParser& parser)
{
    if (parser.isSet(QStringLiteral("sheets")))
        settings.settings.sheets = parser.value(QStringLiteral("sheets")).split(QLatin1Char(','));
    settings.settings.titleRows = parser.value(QStringLiteral("title-rows")).toInt();
    settings.settings.sourceColumn = parser.isSet(QStringLiteral("source-column"));
    settings.settings.alignTitles = parser.isSet(QStringLiteral("align-titles"));
    settings.settings.keepBrokenFormulas = parser.isSet(QStringLiteral("keep-broken-formulas"));
    settings.keepBackup = parser.isSet(QStringLiteral("backup"));
    settings.onLoss = lossAnswer(parser.isSet(QStringLiteral("allow-loss")));
    settings.resultPath = valueOrNull(parser, QStringLiteral("out-file"));
    dryRun = parser.isSet(QStringLiteral("dry-run"));
}

JobOutcome CombineSheetsCommand::run(const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link) const
{
    SheetCombineRequest combine = settings;
    combine.workbookPath = request.book;
    SheetCombineJob job(combine);
    return dryRun ? job.plan(link) : job.run(link);
}
