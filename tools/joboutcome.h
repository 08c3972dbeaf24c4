#pragma once
// What a tool's job on one workbook came to, for whichever front end ran it.

#include "common/notice.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

struct JobOutcome
{
    enum class Kind {
        Done,      // finished and saved
        Refused,   // an input was refused before anything changed
        Cancelled, // stopped by the user; what was done is saved where the tool saves partial work
        Failed,    // the office failed or could not save
    };
    Kind kind = Kind::Refused;
    // What the user is told, in order (the windows' message boxes).
    QStringList messages;
    // Files written (or changed) by the job.
    QStringList written;
    // A plan shown before anything changes: one map per entry (value, rows, name, renamed).
    QVariantList plan;
};

// An outcome of that kind with one message (none when it is empty).
inline JobOutcome outcomeOf(JobOutcome::Kind kind, const QString& message)
{
    JobOutcome outcome;
    outcome.kind = kind;
    if (!message.isEmpty())
        outcome.messages.append(message);
    return outcome;
}

// How a front end shows the outcome's messages: success, refusal or cancel, failure.
inline NoticeKind noticeKindOf(JobOutcome::Kind kind)
{
    switch (kind) {
    case JobOutcome::Kind::Done:
        return NoticeKind::Information;
    case JobOutcome::Kind::Failed:
        return NoticeKind::Failure;
    case JobOutcome::Kind::Refused:
    case JobOutcome::Kind::Cancelled:
        break;
    }
    return NoticeKind::Warning;
}
