#pragma once
// Several workbooks at once: worker processes of this program, each with an office of its own,
// are handed the next workbook as soon as they finish one.

#include "cli/bookjob.h"

#include <QList>
#include <QStringList>
#include <functional>

using ResultSink = std::function<void(const BookResult& result)>;

// Runs the requests in `workers` worker processes started with the arguments (the command and
// its options); reports each result as it arrives and returns them all, in request order.
QList<BookResult> runInWorkers(const QStringList& arguments, const QList<BookRequest>& requests, int workers,
                               bool showBars, const ResultSink& report);
