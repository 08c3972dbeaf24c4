#include "cli/bookjob.h"

#include "common/notice.h"
#include "excelop/cellref.h"
#include "tools/compare/comparisonjob.h"
#include "tools/splitcolumn/columnsplitjob.h"
#include "tools/splitsheets/sheetfilesjob.h"

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

// The command line never asks: a save that would lose features is refused unless allowed.
LossQuestion lossAnswer(const JobSettings& settings)
{
    const bool allowed = settings.allowLoss;
    return [allowed](const QStringList&, const QString&) {
        return allowed ? LossChoice::Overwrite : LossChoice::DontSave;
    };
}

JobOutcome compareBook(const JobSettings& settings, const QString& path, std::unique_ptr<ExcelOpKiv>& link)
{
    ComparisonRequest request;
    request.workbookPath = path;
    request.side1 = {settings.sheet1, columnNumberOf(settings.column1), settings.rows1};
    request.side2 = {settings.sheet2, columnNumberOf(settings.column2), settings.rows2};
    request.options.trimSpaces = settings.trim;
    request.options.ignoreCase = settings.ignoreCase;
    request.options.foldWidth = settings.foldWidth;
    request.options.matchRow = settings.matchRow;
    request.options.highlightMissing = settings.highlight;
    request.options.keepBackup = settings.backup;
    request.onLoss = lossAnswer(settings);
    request.resultPath = settings.outFile;
    // The command line never asks: such a run is refused unless allowed.
    request.allowThreeDChange = settings.allowThreeDChange;
    return ComparisonJob(request).run(link);
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
    return SheetFilesJob(
               {request.book, request.outputFolder, settings.skipHidden, settings.format, settings.keepBrokenFormulas})
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
    return columnNumber(trimmed);
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
