#pragma once
// One workbook's job for the command line: the request as parsed, and what became of it.

#include "tools/joboutcome.h"

#include <QJsonObject>
#include <QString>
#include <memory>

class Command;
class ExcelOpKiv;

struct BookRequest
{
    QString book;
    QString outputFolder; // where this workbook's files go, for a command that writes files
};

struct BookResult
{
    QString book;
    JobOutcome outcome;
    double seconds = 0;

    QJsonObject toJson() const;
    static BookResult fromJson(const QJsonObject& object);
};

// Runs the command's job on the workbook through the link (replaced as the windows replace
// theirs). Messages the spreadsheet layer shows on its own are part of the outcome.
BookResult runBookJob(const Command& command, const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link);

// The exit status of a set of results.
int exitStatusOf(const QList<BookResult>& results);
QString outcomeName(JobOutcome::Kind kind);
