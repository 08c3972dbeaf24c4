#include "cli/bookjob.h"

#include "common/notice.h"
#include "excelop/cellref.h"
#include "excelop/excelopkiv.h"
#include "tools/compare/comparisonrun.h"
#include "tools/splitcolumn/columnsplitjob.h"
#include "tools/splitsheets/sheetfilesjob.h"
#include "tools/workbookimport.h"

#include <QElapsedTimer>
#include <QJsonArray>

namespace {

const struct
{
    JobOutcome::Kind kind;
    const char* name;
} kOutcomeNames[] = {
    {JobOutcome::Kind::Done, "done"},
    {JobOutcome::Kind::Refused, "refused"},
    {JobOutcome::Kind::Cancelled, "cancelled"},
    {JobOutcome::Kind::Failed, "failed"},
};

JobOutcome::Kind kindNamed(const QString& name)
{
    for (const auto& entry : kOutcomeNames) {
        if (name == QLatin1String(entry.name))
            return entry.kind;
    }
    return JobOutcome::Kind::Failed;
}

QJsonArray jsonStrings(const QStringList& texts)
{
    return QJsonArray::fromStringList(texts);
}

QStringList stringsOf(const QJsonValue& value)
{
    QStringList texts;
    for (const QJsonValue& item : value.toArray())
        texts.append(item.toString());
    return texts;
}

// The comparer window's fields for one side, filled as a user would from the sheet's name,
// a column and a row count (the sheet's last used row when none was given).
ComparisonSide sideFor(ExcelOpKiv& book, const QString& sheetName, const QString& column, const QString& rows)
{
    ComparisonSide side;
    side.sheetName = sheetName;
    side.sheetIndex = book.getSheetNames().indexOf(sheetName);
    side.titleIndex = columnNumberOf(column) - 1;
    side.rowsText = rows;
    SheetEntry* sheet = book.sheetAt(side.sheetIndex);
    // Without a sheet there is no last row: the run's sheet check then says what is wrong.
    if (rows.isNull())
        side.rowsText = QString::number(sheet ? sheet->usedRowCount() : 1);
    return side;
}

// The command line never asks: a save that would lose features is refused unless allowed.
LossQuestion lossAnswer(const JobSettings& settings)
{
    const bool allowed = settings.allowLoss;
    return [allowed](const QStringList&, const QString&) { return allowed ? LossChoice::Overwrite : LossChoice::DontSave; };
}

JobOutcome compareBook(const JobSettings& settings, const QString& path, std::unique_ptr<ExcelOpKiv>& link)
{
    JobOutcome outcome;
    replaceLink(link);
    link->openWorkBook(path);
    if (!link->openSheets()) {
        outcome.kind = JobOutcome::Kind::Failed;
        return outcome;
    }
    ComparisonSettings comparison;
    comparison.workbookPath = path;
    comparison.side1 = sideFor(*link, settings.sheet1, settings.column1, settings.rows1);
    comparison.side2 = sideFor(*link, settings.sheet2, settings.column2, settings.rows2);
    comparison.options.trimSpaces = settings.trim;
    comparison.options.ignoreCase = settings.ignoreCase;
    comparison.options.foldWidth = settings.foldWidth;
    comparison.options.matchRow = settings.matchRow;
    comparison.options.highlightMissing = settings.highlight;
    comparison.options.keepBackup = settings.backup;
    comparison.onLoss = lossAnswer(settings);
    comparison.resultPath = settings.outFile;
    // The command line never asks: such a run is refused unless allowed.
    const bool allowThreeD = settings.allowThreeDChange;
    comparison.onSpanningFormulas = [allowThreeD](const QString&) { return allowThreeD; };
    const ComparisonOutcome compared = ComparisonRun(*link, comparison).run();
    link.reset();
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

JobOutcome runJob(const JobSettings& settings, const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link)
{
    if (settings.command == QLatin1String("compare"))
        return compareBook(settings, request.book, link);
    if (settings.command == QLatin1String("split-column")) {
        ColumnSplitJob job({request.book, settings.sheet, settings.start, settings.end, settings.column,
                            settings.dropColumn, settings.backup, settings.toFiles, lossAnswer(settings),
                            settings.outFile, settings.keepBrokenFormulas});
        return settings.dryRun ? job.plan(link) : job.run(link);
    }
    return SheetFilesJob({request.book, request.outputFolder, settings.skipHidden, settings.format, settings.keepBrokenFormulas})
        .run(link);
}

} // namespace

int columnNumberOf(const QString& text)
{
    const QString trimmed = text.trimmed();
    bool isNumber = false;
    const int number = trimmed.toInt(&isNumber, 10);
    if (isNumber)
        return number > 0 ? number : 0;
    return CellRef().colLettersToNumber(trimmed);
}

QString outcomeName(JobOutcome::Kind kind)
{
    for (const auto& entry : kOutcomeNames) {
        if (entry.kind == kind)
            return QString::fromLatin1(entry.name);
    }
    return QStringLiteral("failed");
}

QJsonObject BookResult::toJson() const
{
    QJsonObject object{
        {QStringLiteral("file"), book},
        {QStringLiteral("outcome"), outcomeName(outcome.kind)},
        {QStringLiteral("messages"), jsonStrings(outcome.messages)},
        {QStringLiteral("written"), jsonStrings(outcome.written)},
        {QStringLiteral("seconds"), qRound(seconds * 1000) / 1000.0},
    };
    if (!outcome.plan.isEmpty())
        object.insert(QStringLiteral("plan"), QJsonArray::fromVariantList(outcome.plan));
    return object;
}

BookResult BookResult::fromJson(const QJsonObject& object)
{
    BookResult result;
    result.book = object.value(QStringLiteral("file")).toString();
    result.outcome.kind = kindNamed(object.value(QStringLiteral("outcome")).toString());
    result.outcome.messages = stringsOf(object.value(QStringLiteral("messages")));
    result.outcome.written = stringsOf(object.value(QStringLiteral("written")));
    result.seconds = object.value(QStringLiteral("seconds")).toDouble();
    result.outcome.plan = object.value(QStringLiteral("plan")).toArray().toVariantList();
    return result;
}

BookResult runBookJob(const JobSettings& settings, const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link)
{
    QElapsedTimer clock;
    clock.start();
    // What the spreadsheet layer would show in a box belongs to this workbook's messages.
    QStringList notices;
    const NoticeHandler previous =
        setNoticeHandler([&notices](const QString& text, NoticeKind) { notices.append(text); });
    BookResult result;
    result.book = request.book;
    result.outcome = runJob(settings, request, link);
    setNoticeHandler(previous);
    result.outcome.messages = notices + result.outcome.messages;
    result.seconds = clock.elapsed() / 1000.0;
    return result;
}

int exitStatusOf(const QList<BookResult>& results)
{
    for (const BookResult& result : results) {
        if (result.outcome.kind != JobOutcome::Kind::Done)
            return 1;
    }
    return 0;
}
