#include "cli/commands/comparecommand.h"

#include "excelop/cellref.h"

namespace {

// "A", "ac" or a 1-based number as a column number; 0 when it is none of them.
int columnNumberOf(const QString& text)
{
    const QString trimmed = text.trimmed();
    bool isNumber = false;
    const int number = trimmed.toInt(&isNumber, 10);
    if (isNumber)
        return number > 0 ? number : 0;
    return columnNumber(trimmed);
}

} // namespace

CompareCommand::CompareCommand()
    : Command(QStringLiteral("compare"),
              QStringLiteral("Count how often each row's value occurs in the other sheet's column (written into a new "
                             "first column of both sheets)."))
{
    for (const char* side : {"1", "2"}) {
        const QString n = QString::fromLatin1(side);
        addOptions({
            {QStringLiteral("sheet") + n, QStringLiteral("Sheet %1 (表%1).").arg(n), QStringLiteral("NAME")},
            {QStringLiteral("column") + n,
             QStringLiteral("Compared column of sheet %1: letters (A, ac) or a 1-based number.").arg(n),
             QStringLiteral("COL")},
            {QStringLiteral("rows") + n,
             QStringLiteral("Last row of sheet %1, title row included (总行数); default: the sheet's last used row.")
                 .arg(n),
             QStringLiteral("N")},
        });
    }
    addOptions({
        {QStringLiteral("trim"), QStringLiteral("Spaces at both ends of a value do not count.")},
        {QStringLiteral("ignore-case"), QStringLiteral("Letter case does not count (A equals a).")},
        {QStringLiteral("fold-width"),
         QStringLiteral(
             "Full-width forms equal half-width ones (１２ and 12, Ａ and A, the ideographic space and a space).")},
        {QStringLiteral("match-row"),
         QStringLiteral("A second new column: the row of the first match in the other sheet (empty when none).")},
        {QStringLiteral("highlight"), QStringLiteral("Mark the counts of 0 with one conditional format.")},
        backupOption(),
        {QStringLiteral("allow-3d-change"),
         QStringLiteral(
             "Compare even when formulas add up a compared sheet through 3-D references (Sheet1:Sheet3!A1): the "
             "inserted column changes what they give. Without it such a workbook is refused and left as it was.")},
    });
    addOptions(resultSaveOptions());
    requireOptions(
        {QStringLiteral("sheet1"), QStringLiteral("column1"), QStringLiteral("sheet2"), QStringLiteral("column2")});
}

void CompareCommand::takeOptions(const QCommandLineParser& parser)
{
    const auto side = [&parser](const char* n) {
        const QString number = QString::fromLatin1(n);
        return NamedSide{parser.value(QStringLiteral("sheet") + number),
                         columnNumberOf(parser.value(QStringLiteral("column") + number)),
                         valueOrNull(parser, QStringLiteral("rows") + number)};
    };
    settings.side1 = side("1");
    settings.side2 = side("2");
    settings.options.trimSpaces = parser.isSet(QStringLiteral("trim"));
    settings.options.ignoreCase = parser.isSet(QStringLiteral("ignore-case"));
    settings.options.foldWidth = parser.isSet(QStringLiteral("fold-width"));
    settings.options.matchRow = parser.isSet(QStringLiteral("match-row"));
    settings.options.highlightMissing = parser.isSet(QStringLiteral("highlight"));
    settings.options.keepBackup = parser.isSet(QStringLiteral("backup"));
    settings.allowThreeDChange = parser.isSet(QStringLiteral("allow-3d-change"));
    settings.onLoss = lossAnswer(parser.isSet(QStringLiteral("allow-loss")));
    settings.resultPath = valueOrNull(parser, QStringLiteral("out-file"));
}

JobOutcome CompareCommand::run(const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link) const
{
    ComparisonRequest job = settings;
    job.workbookPath = request.book;
    return ComparisonJob(job).run(link);
}
