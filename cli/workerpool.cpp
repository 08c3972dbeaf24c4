#include "cli/workerpool.h"

#include "cli/progressviews.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <memory>
#include <vector>

namespace {

struct Worker
{
    std::unique_ptr<QProcess> process;
    int busyWith = -1;  // index of the request it works on
    QByteArray pending; // a line not yet complete
};

class Pool
{
public:
    Pool(const QStringList& arguments, const QList<BookRequest>& requests, int workerCount, bool showBars,
         const ResultSink& report)
        : requests(requests), results(requests.size()), showBars(showBars), report(report)
    {
        workers.reserve(workerCount);
        for (int i = 0; i < workerCount; ++i)
            start(arguments);
    }

    QList<BookResult> run()
    {
        for (Worker& worker : workers)
            handOutNext(worker);
        if (finished < requests.size())
            loop.exec();
        clearBars();
        // Their input is closed: each worker ends its office and exits.
        for (Worker& worker : workers)
            worker.process->waitForFinished(-1);
        return results.toList();
    }

private:
    void start(const QStringList& arguments)
    {
        workers.emplace_back();
        Worker& worker = workers.back();
        worker.process = std::make_unique<QProcess>();
        QProcess* process = worker.process.get();
        const int index = int(workers.size()) - 1;
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(process, &QProcess::readyReadStandardOutput, [this, index] { readFrom(workers[index]); });
        QObject::connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
                         [this, index](int, QProcess::ExitStatus) { lost(workers[index]); });
        process->start(QCoreApplication::applicationFilePath(), arguments + QStringList(QStringLiteral("--worker")));
    }

    void handOutNext(Worker& worker)
    {
        if (next >= requests.size()) {
            worker.busyWith = -1;
            worker.process->closeWriteChannel(); // no more work: the worker ends
            return;
        }
        worker.busyWith = next++;
        const BookRequest& request = requests.at(worker.busyWith);
        const QJsonObject line{{QStringLiteral("book"), request.book}, {QStringLiteral("out"), request.outputFolder}};
        worker.process->write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
    }

    void readFrom(Worker& worker)
    {
        worker.pending += worker.process->readAllStandardOutput();
        for (int end = worker.pending.indexOf('\n'); end >= 0; end = worker.pending.indexOf('\n')) {
            const QJsonObject line = QJsonDocument::fromJson(worker.pending.left(end)).object();
            worker.pending.remove(0, end + 1);
            if (line.contains(QStringLiteral("progress")))
                showProgress(line.value(QStringLiteral("progress")).toString(),
                             line.value(QStringLiteral("percent")).toInt());
            else if (line.contains(QStringLiteral("result")) && worker.busyWith >= 0)
                complete(worker, BookResult::fromJson(line.value(QStringLiteral("result")).toObject()));
        }
    }

    void showProgress(const QString& book, int percent)
    {
        if (showBars)
            bars.update(book, percent);
    }

    void clearBars()
    {
        if (showBars)
            bars.clear();
    }

    void complete(Worker& worker, BookResult result)
    {
        result.book = requests.at(worker.busyWith).book;
        results[worker.busyWith] = result;
        if (showBars)
            bars.remove(result.book);
        clearBars();
        report(result);
        ++finished;
        handOutNext(worker);
        if (finished == requests.size())
            loop.quit();
    }

    // A worker that ended: the workbook it was on failed with it; the rest go on elsewhere.
    void lost(Worker& worker)
    {
        if (worker.busyWith < 0)
            return;
        BookResult result;
        result.outcome.kind = JobOutcome::Kind::Failed;
        result.outcome.messages.append(
            QCoreApplication::translate("WorkerPool", "处理这个工作簿的进程意外退出了，结果没有保存。"));
        const int lostRequest = worker.busyWith;
        worker.busyWith = -1;
        result.book = requests.at(lostRequest).book;
        results[lostRequest] = result;
        clearBars();
        report(result);
        ++finished;
        bool anyAlive = false;
        for (const Worker& other : workers)
            anyAlive = anyAlive || other.process->state() != QProcess::NotRunning;
        // Without a worker left, the remaining workbooks cannot be done.
        while (!anyAlive && next < requests.size()) {
            BookResult skipped = result;
            skipped.book = requests.at(next).book;
            results[next++] = skipped;
            report(skipped);
            ++finished;
        }
        if (finished == requests.size())
            loop.quit();
    }

    const QList<BookRequest>& requests;
    QVector<BookResult> results;
    bool showBars;
    const ResultSink& report;
    std::vector<Worker> workers;
    int next = 0;
    int finished = 0;
    QEventLoop loop;
    TerminalBars bars;
};

} // namespace

QList<BookResult> runInWorkers(const QStringList& arguments, const QList<BookRequest>& requests, int workers,
                               bool showBars, const ResultSink& report)
{
    Pool pool(arguments, requests, workers, showBars, report);
    return pool.run();
}
