#include "cli/bookjob.h"

#include "cli/commands/command.h"
#include "common/notice.h"

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

} // namespace

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

BookResult runBookJob(const Command& command, const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link)
{
    QElapsedTimer clock;
    clock.start();
    // What the spreadsheet layer would show in a box belongs to this workbook's messages.
    QStringList notices;
    const NoticeHandler previous =
        setNoticeHandler([&notices](const QString& text, NoticeKind) { notices.append(text); });
    BookResult result;
    result.book = request.book;
    result.outcome = command.run(request, link);
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
