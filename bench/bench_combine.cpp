// Combiner: each whole run (as the window and the command line run it, office already started)
// against the office's own floor for the same work, measured in the same run.
//
// Build and run (one command):
//   bash scripts/build.sh && QT_QPA_PLATFORM=offscreen build/bench/bench_combine
// Optional arguments: --sheets or --files (only that case), how often each measurement is
// repeated (the median is printed), 3.
//
// The workbooks are like users' own (tests/support/customerbook.h): Chinese texts, a bold column,
// a filled money column and a date column with number formats, a formula column using a defined
// name. Cases and goals:
//   combine-sheets: 12 sheets x 10,000 rows into 合并, saved in place; floor: the office loads
//     the workbook and stores the result. Goal: 1.5 x the floor.
//   combine-files: 30 files x 2,000 rows into a new workbook, every sheet a sheet, and stacked
//     (--stack); floor: the office loads each file once and stores the result. Goal: 1.5 x.
// Every measurement runs in a process and office of its own on fresh copies. Times are wall clock
// and CPU of this process and the office together; the goals are judged on CPU, the steadier on
// a machine shared with other work.

#include "automation/officeentry.h"
#include "bench/support/benchutil.h"
#include "common/dialogs.h"
#include "customerbook.h"
#include "excelop/excelopkiv.h"
#include "tools/combine/filecombinejob.h"
#include "tools/combine/sheetcombinejob.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace benchutil;

namespace {

const QString kFileSheet = QStringLiteral("客户明细");

// "--generate sheets <path> <sheets> <rows>" or "--generate files <folder> <files> <rows>".
int generate(const QStringList& arguments)
{
    const QString path = arguments.value(1);
    const int count = arguments.value(2).toInt();
    const int rows = arguments.value(3).toInt();
    const QStringList names = CustomerBook::branchNames(count);
    if (arguments.value(0) == QLatin1String("sheets")) {
        QList<SheetContent> sheets;
        for (int i = 0; i < count; ++i)
            sheets.append(CustomerBook::dataSheet(names.at(i), rows, quint32(20240700 + i)));
        return CustomerBook::write(path, sheets, false) ? 0 : 1;
    }
    QDir().mkpath(path);
    for (int i = 0; i < count; ++i)
        if (!CustomerBook::write(QDir(path).filePath(names.at(i) + QStringLiteral(".xlsx")),
                                 {CustomerBook::dataSheet(kFileSheet, rows, quint32(20240800 + i))}, false))
            return 1;
    return 0;
}

bool generateInChild(const QStringList& arguments)
{
    return QProcess::execute(QCoreApplication::applicationFilePath(),
                             QStringList{QStringLiteral("--generate")} + arguments)
           == 0;
}

QString freshCopy(const QString& source, const QString& copy)
{
    QFile::remove(copy);
    return QFile::copy(source, copy) ? copy : QString();
}

QString freshFolderCopy(const QString& source, const QString& copy)
{
    QDir(copy).removeRecursively();
    QDir().mkpath(copy);
    for (const QString& name : QDir(source).entryList(QDir::Files))
        QFile::copy(QDir(source).filePath(name), QDir(copy).filePath(name));
    return copy;
}

bool reportsDone(const JobOutcome& outcome)
{
    if (outcome.kind == JobOutcome::Kind::Done)
        return true;
    std::printf("  unexpected outcome: %s\n", qPrintable(outcome.messages.join(QStringLiteral(" | "))));
    return false;
}

Timing combineSheets(const QString& book, bool& ok)
{
    SheetCombineRequest request;
    request.workbookPath = book;
    SheetCombineJob job(request);
    std::unique_ptr<ExcelOpKiv> link;
    JobOutcome outcome;
    const Timing timing = timingOf([&] { outcome = job.run(link); });
    ok = reportsDone(outcome);
    return timing;
}

Timing combineFiles(const QString& folder, const QString& result, bool stack, bool& ok)
{
    FileCombineRequest request;
    request.folder = folder;
    request.resultPath = result;
    request.settings.stack = stack;
    FileCombineJob job(request);
    std::unique_ptr<ExcelOpKiv> link;
    JobOutcome outcome;
    const Timing timing = timingOf([&] {
        if (job.formProblem().isEmpty())
            outcome = job.run(link);
    });
    ok = reportsDone(outcome);
    return timing;
}

// The office's own share: each source loaded once, then the result stored (its load not counted).
Timing officeFloor(const QStringList& sources, const QString& result)
{
    Timing total;
    ExcelOpKiv link;
    for (const QString& source : sources) {
        const Timing load = timingOf([&] { link.openWorkBook(source); });
        total.wall += load.wall;
        total.cpu += load.cpu;
    }
    link.openWorkBook(result);
    const Timing store = timingOf([&] { link.saveWorkbook(); });
    total.wall += store.wall;
    total.cpu += store.cpu;
    return total;
}

// The child's side: "sheets <book>", "files <folder> <result> [stack]", "floor <result> <source>...".
// Prints "measured <wall> <cpu>" when the work was done.
int measure(const QStringList& arguments)
{
    {
        ExcelOpKiv startsTheOffice;
    }
    const QString what = arguments.value(0);
    bool ok = true;
    Timing timing;
    if (what == QLatin1String("sheets"))
        timing = combineSheets(arguments.value(1), ok);
    else if (what == QLatin1String("files"))
        timing = combineFiles(arguments.value(1), arguments.value(2), arguments.value(3) == QLatin1String("stack"), ok);
    else if (what == QLatin1String("floor"))
        timing = officeFloor(arguments.mid(2), arguments.value(1));
    else
        return 1;
    if (!ok)
        return 1;
    std::printf("measured %.3f %.3f\n", timing.wall, timing.cpu);
    return 0;
}

// The median of the repeats, each in a child process; ok false when one failed. prepare() lays
// out fresh copies before each.
Timing medianInChildren(int repeats, const std::function<QStringList()>& prepare, bool& ok)
{
    QList<double> walls;
    QList<double> cpus;
    ok = true;
    for (int k = 0; k < repeats; ++k) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--measure")} + prepare());
        const bool finished = child.waitForFinished(-1) && child.exitCode() == 0;
        const QStringList fields = QString::fromUtf8(child.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
        if (!finished || fields.size() != 3 || fields.first() != QLatin1String("measured")) {
            ok = false;
            return Timing();
        }
        walls.append(fields.at(1).toDouble());
        cpus.append(fields.at(2).toDouble());
    }
    return {medianOf(walls), medianOf(cpus)};
}

void judge(const QString& label, const Timing& run, const Timing& floor)
{
    printRatios(label + QStringLiteral(" / floor"), run, floor);
    printGoal(label + QStringLiteral(" within 1.5 x the floor (cpu)"), run.cpu <= 1.5 * floor.cpu);
}

void sheetsCase(const QString& folder, int repeats)
{
    std::printf("combine-sheets: 12 sheets x 10,000 rows into one\n");
    const QString source = QDir(folder).filePath(QStringLiteral("sheets.xlsx"));
    const QString book = QDir(folder).filePath(QStringLiteral("sheets-run.xlsx"));
    if (!generateInChild({QStringLiteral("sheets"), source, QStringLiteral("12"), QStringLiteral("10000")})) {
        std::printf("  could not write the workbook\n");
        return;
    }
    printLine(QStringLiteral("workbook file"), fileSizeText(source));
    bool ok = false;
    const Timing run = medianInChildren(
        repeats,
        [&] {
            return QStringList{QStringLiteral("sheets"), freshCopy(source, book)};
        },
        ok);
    if (!ok)
        return;
    printLine(QStringLiteral("result file"), fileSizeText(book));
    printTiming(QStringLiteral("whole run (open, combine, save)"), run);
    const QString result = QDir(folder).filePath(QStringLiteral("sheets-result.xlsx"));
    const QString loaded = QDir(folder).filePath(QStringLiteral("sheets-floor.xlsx"));
    const Timing floor = medianInChildren(
        repeats,
        [&] {
            return QStringList{QStringLiteral("floor"), freshCopy(book, result), freshCopy(source, loaded)};
        },
        ok);
    if (!ok)
        return;
    printTiming(QStringLiteral("floor: load the workbook, store the result"), floor);
    judge(QStringLiteral("combine-sheets"), run, floor);
}

void filesCase(const QString& folder, int repeats)
{
    std::printf("combine-files: 30 files x 2,000 rows into a new workbook\n");
    const QString sources = QDir(folder).filePath(QStringLiteral("files"));
    if (!generateInChild({QStringLiteral("files"), sources, QStringLiteral("30"), QStringLiteral("2000")})) {
        std::printf("  could not write the workbooks\n");
        return;
    }
    printLine(QStringLiteral("one source file"),
              fileSizeText(QDir(sources).entryInfoList(QDir::Files).value(0).filePath()));
    const QString copies = QDir(folder).filePath(QStringLiteral("files-run"));
    for (const bool stack : {false, true}) {
        const QString label = stack ? QStringLiteral("combine-files --stack") : QStringLiteral("combine-files");
        const QString result =
            QDir(folder).filePath(stack ? QStringLiteral("stacked.xlsx") : QStringLiteral("all.xlsx"));
        bool ok = false;
        const Timing run = medianInChildren(
            repeats,
            [&] {
                QFile::remove(result);
                return QStringList{QStringLiteral("files"), freshFolderCopy(sources, copies), result,
                                   stack ? QStringLiteral("stack") : QString()};
            },
            ok);
        if (!ok)
            return;
        printLine(label + QStringLiteral(": result file"), fileSizeText(result));
        printTiming(label + QStringLiteral(": whole run (open all, combine, save)"), run);
        const QString stored = QDir(folder).filePath(QStringLiteral("files-floor.xlsx"));
        const Timing floor = medianInChildren(
            repeats,
            [&] {
                QStringList arguments{QStringLiteral("floor"), freshCopy(result, stored)};
                for (const QFileInfo& file : QDir(freshFolderCopy(sources, copies)).entryInfoList(QDir::Files))
                    arguments.append(file.absoluteFilePath());
                return arguments;
            },
            ok);
        if (!ok)
            return;
        printTiming(label + QStringLiteral(": floor (load each file, store the result)"), floor);
        judge(label, run, floor);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    windowsOffscreen();
    QApplication application(argc, argv);
    OfficeServer::registerAsExcel();
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--generate"))
        return generate(arguments.mid(1));
    setDialogsHeadlessForTests();
    if (arguments.value(0) == QLatin1String("--measure"))
        return measure(arguments.mid(1));
    const bool sheetsOnly = arguments.removeAll(QStringLiteral("--sheets"));
    const bool filesOnly = arguments.removeAll(QStringLiteral("--files"));
    const int repeats = qMax(1, arguments.value(0, QStringLiteral("3")).toInt());
    QTemporaryDir folder;
    std::printf("Combiner benchmark (every measurement in a process and office of its own, median of %d)\n", repeats);
    if (!filesOnly)
        sheetsCase(folder.path(), repeats);
    if (!sheetsOnly)
        filesCase(folder.path(), repeats);
    return 0;
}
