#pragma once
// One workbook's job for the command line: the request as parsed, and what became of it.

#include "tools/joboutcome.h"

#include <QJsonObject>
#include <QString>
#include <memory>

class ExcelOpKiv;

struct JobSettings
{
    QString command; // compare, split-column or split-sheets
    // compare
    QString sheet1, column1, rows1, sheet2, column2, rows2;
    bool trim = false, ignoreCase = false, foldWidth = false, matchRow = false, highlight = false;
    bool allowThreeDChange = false; // go on although 3-D references over a compared sheet change
    // compare and split-column
    bool backup = false;
    bool allowLoss = false; // save over the workbook even when the office loses some of its features
    QString outFile;        // the result goes here; the workbook is not changed
    // split-column
    QString sheet, start, end, column;
    bool dropColumn = false;
    QString toFiles;     // one file per value in this folder
    bool dryRun = false; // the plan only
    // split-column and split-sheets
    bool keepBrokenFormulas = false;
    // split-sheets
    QString out;
    bool skipHidden = false;
    QString format;
};

struct BookRequest
{
    QString book;
    QString outputFolder; // split-sheets: where this workbook's files go
};

struct BookResult
{
    QString book;
    JobOutcome outcome;
    double seconds = 0;

    QJsonObject toJson() const;
    static BookResult fromJson(const QJsonObject& object);
};

// Runs the job on the workbook through the link (replaced as the windows replace theirs).
// Messages the spreadsheet layer shows on its own are part of the outcome.
BookResult runBookJob(const JobSettings& settings, const BookRequest& request, std::unique_ptr<ExcelOpKiv>& link);

// "A", "ac" or a 1-based number as a column number; 0 when it is none of them.
int columnNumberOf(const QString& text);
// The exit status of a set of results.
int exitStatusOf(const QList<BookResult>& results);
QString outcomeName(JobOutcome::Kind kind);
