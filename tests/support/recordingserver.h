#pragma once
// A stand-in automation server for what the office cannot show: the calls made, in order, and
// answers such as an old "Version". Every object answers every member; sub-objects share the log.

#include "automation/automationregistry.h"

#include <QStringList>
#include <memory>

struct RecordingLog
{
    // "path.Member(args)" in call order, e.g. "app.WorkBooks.Open(a.xlsx)"; an object, as path or
    // argument, by where it came from: "app.ActiveWorkBook.Sheets(Data).Name=North".
    QStringList calls;
    QVariant version = QStringLiteral("16.0");
    int worksheetCount = 0; // what "Worksheets" "Count" answers
};

// Registers the recorder under the ProgID until it is destroyed.
class RecordingServer
{
public:
    explicit RecordingServer(const QString& progId = QStringLiteral("Excel.Application"));
    ~RecordingServer();
    std::shared_ptr<RecordingLog> log;

private:
    QString progId;
};
