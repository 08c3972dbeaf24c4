#include "cli/commands/splitcolumncommand.h"

#include "cli/shareprocesses.h"

#include <QFileInfo>

SplitColumnCommand::SplitColumnCommand()
    : Command(QStringLiteral("split-column"), QStringLiteral("One new sheet per distinct value of a column."))
{
    addOptions({
        {QStringLiteral("sheet"), QStringLiteral("The sheet to split."), QStringLiteral("NAME")},
        {QStringLiteral("start"), QStringLiteral("起始位置: the title row's cell, such as A1; default: A1."),
         QStringLiteral("CELL")},
        {QStringLiteral("end"),
         QStringLiteral("结束于: the last data row's cell, such as J500; default: the sheet's last used cell, as the "
                        "window fills it in."),
         QStringLiteral("CELL")},
        {QStringLiteral("column"), QStringLiteral("参考列: the letters of the column whose values split the rows."),
         QStringLiteral("LETTERS")},
        {QStringLiteral("drop-column"), QStringLiteral("删除参考列: remove that column from the new sheets.")},
        {QStringLiteral("to-files"),
         QStringLiteral("One workbook per value in this folder instead of one sheet per value; the workbook itself "
                        "is not changed."),
         QStringLiteral("DIR")},
        {QStringLiteral("dry-run"), QStringLiteral("Print the plan (each value, its rows, its sheet's or file's "
                                                   "name and why a name was changed) and change nothing.")},
        backupOption(),
        {QStringLiteral("keep-broken-formulas"),
         QStringLiteral("Formulas whose cells, rows or column a new sheet or file does not hold stay formulas "
                        "(they show #REF!); by default they are written as the values they show.")},
    });
    addOptions(resultSaveOptions());
    requireOptions({QStringLiteral("sheet"), QStringLiteral("column")});
}

void SplitColumnCommand::takeOptions(const QCommandLineParser& parser)
{
    settings.sheetName = parser.value(QStringLiteral("sheet"));
    settings.startCellText = parser.value(QStringLiteral("start"));
    settings.endCellText = parser.value(QStringLiteral("end"));
    // Left out, they are the sheet's used area.
    settings.areaFromSheet = true;
    settings.referColumnText = parser.value(QStringLiteral("column"));
    settings.deleteReferColumn = parser.isSet(QStringLiteral("drop-column"));
    settings.keepBackup = parser.isSet(QStringLiteral("backup"));
    settings.filesFolder = valueOrNull(parser, QStringLiteral("to-files"));
    settings.onLoss = lossAnswer(parser.isSet(QStringLiteral("allow-loss")));
    settings.resultPath = valueOrNull(parser, QStringLiteral("out-file"));
    settings.keepBrokenFormulas = parser.isSet(QStringLiteral("keep-broken-formulas"));
    dryRun = parser.isSet(QStringLiteral("dry-run"));
    // One workbook into files: its files are shared among offices as split-sheets shares them.
    const QStringList books = booksOf(parser);
    if (!parser.isSet(QStringLiteral("worker")) && books.size() == 1 && !settings.filesFolder.isEmpty())
        settings.offices = parser.isSet(QStringLiteral("jobs")) ? parser.value(QStringLiteral("jobs")).toInt()
                                                                : officesByDefault(QFileInfo(books.first()).size());
}

JobOutcome SplitColumnCommand::run(const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link) const
{
    ColumnSplitRequest split = settings;
    split.workbookPath = request.book;
    ColumnSplitJob job(split);
    job.setOtherShares([](const SheetFilesRequest& files) -> std::unique_ptr<OtherShares> {
        return std::make_unique<ShareProcesses>(files);
    });
    return dryRun ? job.plan(link) : job.run(link);
}
