// Sheet-to-files split: the whole run (as the window runs it) against the office's floor, the
// office loading and storing each output file once, measured in the same run; then 20 against
// 200 sheets to show how the run grows with the sheets.
//
// Build and run (one command):
//   bash scripts/build.sh && QT_QPA_PLATFORM=offscreen build/bench/bench_splitsheets
// Optional arguments: --growth (only the 20 against 200 sheets), --cli (only the command line
// against the office's round trip and the peers), <rows of the big case, 2000> <rows of the growth
// cases, 100>.
// --cli times whole processes, in turn, median of 3, each on a fresh output folder:
// kivexcel-cli split-sheets with --jobs 1 and --jobs 2, the office's own round trip of the same
// files (soffice --headless --convert-to, all files in one office) and the pandas script of
// bench/peers (apt-get install python3-pandas python3-openpyxl).
//
// The workbook is like users' own: Chinese texts, a bold column, a filled money column and a
// date column with number formats, a formula column using a defined name, a summary sheet 汇总
// whose formulas point at every data sheet, and a name on the summary. Goals: 30 sheets of
// 2,000 rows within 1.5 x the floor; 200 sheets within 10 x the time of 20 sheets. Times are
// wall clock and CPU of this process and the office together; the goals are judged on CPU, the
// steadier on a machine shared with other work.

#include "bench/support/benchutil.h"
#include "automation/officeentry.h"
#include "customerbook.h"
#include "common/dialogs.h"
#include "excelop/excelopkiv.h"
#include "tools/splitsheets/splitexcelfromsheets.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <cstdio>
#include <memory>

using namespace benchutil;

namespace {

QList<SheetContent> dataSheets(int count, int rows)
{
    QList<SheetContent> sheets;
    const QStringList names = CustomerBook::branchNames(count);
    for (int i = 0; i < count; ++i)
        sheets.append(CustomerBook::dataSheet(names.at(i), rows, quint32(20240600 + i)));
    return sheets;
}

// In a child process, so that the rows do not count in this process's memory.
bool generateInChild(const QString& path, int sheets, int rows)
{
    const int exitCode =
        QProcess::execute(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--generate"), path, QString::number(sheets), QString::number(rows)});
    return exitCode == 0 && QFile::exists(path);
}

QString freshFolder(const QString& path)
{
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

// The run as the user starts it: both paths in the window, then 开始处理.
Timing runThroughWindow(const QString& target, const QString& output)
{
    splitExcelFromSheets window;
    window.findChild<QTextEdit*>("dealFilePathTextEdit")->setPlainText(target);
    window.findChild<QTextEdit*>("outputDirPathTextEdit")->setPlainText(output);
    KivMessageBox::clearShownTexts();
    const Timing timing = timingOf([&] { window.findChild<QPushButton*>("startButton")->click(); });
    const QStringList shown = KivMessageBox::shownTexts();
    if (shown.size() != 1 || !shown.first().startsWith(QStringLiteral("处理完毕")))
        std::printf("  unexpected outcome: %s\n", qPrintable(shown.join(QStringLiteral(" | "))));
    return timing;
}

QStringList outputFiles(const QString& folder)
{
    QStringList files;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
        files.append(info.absoluteFilePath());
    return files;
}

// The floor: the office loads and stores every output file once.
Timing officeFloor(const QStringList& outputs, const QString& scratch)
{
    Timing total;
    for (const QString& output : outputs) {
        const QString copy = QDir(scratch).filePath(QFileInfo(output).fileName());
        QFile::remove(copy);
        QFile::copy(output, copy);
        const Timing one = timingOf([&] {
            ExcelOpKiv link;
            link.openWorkBook(copy);
            link.saveWorkbook();
        });
        total.wall += one.wall;
        total.cpu += one.cpu;
        QFile::remove(copy);
    }
    return total;
}

qint64 totalSize(const QStringList& files)
{
    qint64 bytes = 0;
    for (const QString& file : files)
        bytes += QFileInfo(file).size();
    return bytes;
}

QString mib(qint64 bytes)
{
    return QStringLiteral("%1 MiB").arg(bytes / 1048576.0, 0, 'f', 1);
}

struct Measured
{
    Timing timing;
    double officePeak = 0; // MiB
    bool ok = false;
};

// One measurement in a child process of its own: its own office, started before the clock
// starts, so the office's peak memory belongs to this measurement alone.
Measured measureInChild(const QStringList& arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--measure")} + arguments);
    Measured measured;
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return measured;
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char(' '));
        if (fields.size() == 4 && fields.first() == QLatin1String("measured")) {
            measured.timing = {fields.at(1).toDouble(), fields.at(2).toDouble()};
            measured.officePeak = fields.at(3).toDouble();
            measured.ok = true;
        }
    }
    return measured;
}

// The child's side: "run <target> <output>" or
// "floor <output folder> <scratch folder>".
int measure(const QStringList& arguments)
{
    {
        ExcelOpKiv startsTheOffice;
    }
    Timing timing;
    const QString what = arguments.value(0);
    if (what == QLatin1String("run"))
        timing = runThroughWindow(arguments.value(1), arguments.value(2));
    else if (what == QLatin1String("floor"))
        timing = officeFloor(outputFiles(arguments.value(1)), arguments.value(2));
    else
        return 1;
    std::printf("measured %.3f %.3f %.0f\n", timing.wall, timing.cpu, officePeakMemoryMiB());
    return 0;
}

QString peakText(const Measured& measured)
{
    return QStringLiteral("%1 MiB").arg(measured.officePeak, 0, 'f', 0);
}

void printSizes(const QString& target, const QStringList& outputs)
{
    printLine(QStringLiteral("workbook file"), fileSizeText(target));
    printLine(QStringLiteral("output files"),
              QStringLiteral("%1 files, %2 together").arg(outputs.size()).arg(mib(totalSize(outputs))));
    if (!outputs.isEmpty())
        printLine(QStringLiteral("one output file (the first)"), fileSizeText(outputs.first()));
}

void bigCase(const QString& folder, int rows)
{
    const int sheets = 30;
    std::printf("%d sheets x %d rows, plus the summary sheet\n", sheets, rows);
    const QString target = QDir(folder).filePath(QStringLiteral("big.xlsx"));
    if (!generateInChild(target, sheets, rows)) {
        std::printf("  could not write the workbook\n");
        return;
    }
    const QString output = freshFolder(QDir(folder).filePath(QStringLiteral("big-out")));
    const Measured run = measureInChild({QStringLiteral("run"), target, output});
    const QStringList outputs = outputFiles(output);
    printSizes(target, outputs);
    printTiming(QStringLiteral("whole run (open, delete, save a copy, undo)"), run.timing);
    printLine(QStringLiteral("office peak memory in the run (VmHWM)"), peakText(run));
    const Measured floor =
        measureInChild({QStringLiteral("floor"), output, freshFolder(QDir(folder).filePath(QStringLiteral("floor")))});
    printTiming(QStringLiteral("floor: office load + store of every output file"), floor.timing);
    printLine(QStringLiteral("office peak memory in the floor (VmHWM)"), peakText(floor));
    if (!run.ok || !floor.ok) {
        std::printf("  a measurement failed\n");
        return;
    }
    printRatios(QStringLiteral("whole run / floor"), run.timing, floor.timing);
    printGoal(QStringLiteral("30 sheets x 2,000 rows within 1.5 x the floor (cpu)"),
              run.timing.cpu <= 1.5 * floor.timing.cpu);
}

void growthCase(const QString& folder, int rows)
{
    std::printf("20 against 200 sheets of %d rows, plus the summary sheet\n", rows);
    Measured small;
    Measured large;
    for (const int sheets : {20, 200}) {
        const QString target = QDir(folder).filePath(QStringLiteral("grow-%1.xlsx").arg(sheets));
        if (!generateInChild(target, sheets, rows)) {
            std::printf("  could not write the workbook of %d sheets\n", sheets);
            return;
        }
        const QString output = freshFolder(QDir(folder).filePath(QStringLiteral("grow-out")));
        const Measured measured = measureInChild({QStringLiteral("run"), target, output});
        printLine(QStringLiteral("%1 sheets: workbook file").arg(sheets), fileSizeText(target));
        printTiming(QStringLiteral("%1 sheets: whole run").arg(sheets), measured.timing);
        printLine(QStringLiteral("%1 sheets: office peak memory (VmHWM)").arg(sheets), peakText(measured));
        (sheets == 20 ? small : large) = measured;
    }
    if (!small.ok || !large.ok) {
        std::printf("  a measurement failed\n");
        return;
    }
    printRatios(QStringLiteral("200 sheets / 20 sheets"), large.timing, small.timing);
    printGoal(QStringLiteral("200 sheets within 10 x the time of 20 sheets (cpu)"),
              large.timing.cpu <= 10 * small.timing.cpu);
}

// Whole processes as a user starts them, in turn: the command line with one and two offices,
// the office's own round trip of the files it writes, and the pandas peer.
void commandLineCase(const QString& folder, int rows)
{
    const int sheets = 30;
    const int repeats = 3;
    std::printf("command line, %d sheets x %d rows, whole processes, median of %d in turn\n", sheets, rows, repeats);
    const QString target = QDir(folder).filePath(QStringLiteral("cli.xlsx"));
    if (!generateInChild(target, sheets, rows)) {
        std::printf("  could not write the workbook\n");
        return;
    }
    const QStringList names = {QStringLiteral("kivexcel-cli --jobs 1"), QStringLiteral("kivexcel-cli --jobs 2"),
                               QStringLiteral("office round trip of the files (one office)"),
                               QStringLiteral("pandas (values only)")};
    ProcessTimes times;
    const QString out = QDir(folder).filePath(QStringLiteral("cli-out"));
    for (int i = 0; i < repeats; ++i) {
        for (int jobs = 1; jobs <= 2; ++jobs)
            times.record(names.at(jobs - 1),
                         runProcess(QStringLiteral(KIVEXCEL_CLI),
                                    {QStringLiteral("split-sheets"), target, QStringLiteral("--out"), freshFolder(out),
                                     QStringLiteral("--jobs"), QString::number(jobs), QStringLiteral("--quiet")}));
        times.record(names.at(2), officeRoundTrip(outputFiles(out), freshFolder(QDir(folder).filePath("round-trip"))));
        times.record(names.at(3),
                     peerRun(QStringLiteral("splitsheets_peers.py"),
                             {QStringLiteral("pandas"), target, freshFolder(QDir(folder).filePath("pandas"))}));
    }
    for (const QString& name : names)
        printTiming(name, times.median(name));
    const double one = times.median(names.at(0)).wall;
    const double two = times.median(names.at(1)).wall;
    const double roundTrip = times.median(names.at(2)).wall;
    const double pandas = times.median(names.at(3)).wall;
    printLine(QStringLiteral("--jobs 1 / round trip (wall)"), QString::number(one / roundTrip, 'f', 2));
    printLine(QStringLiteral("--jobs 2 / round trip (wall)"), QString::number(two / roundTrip, 'f', 2));
    printLine(QStringLiteral("--jobs 2 / pandas (wall)"), QString::number(two / pandas, 'f', 2));
    printGoal(QStringLiteral("one office within 1.3 x the round trip (wall)"), one <= 1.3 * roundTrip);
    printGoal(QStringLiteral("two offices faster than pandas (wall)"), two < pandas);
}

} // namespace

int main(int argc, char* argv[])
{
    windowsOffscreen();
    QApplication application(argc, argv);
    OfficeServer::registerAsExcel();
    if (argc == 5 && QByteArray(argv[1]) == "--generate")
        return CustomerBook::write(QString::fromLocal8Bit(argv[2]), dataSheets(atoi(argv[3]), atoi(argv[4])), true) ? 0
                                                                                                                    : 1;
    setDialogsHeadlessForTests();
    if (argc > 1 && QByteArray(argv[1]) == "--measure")
        return measure(QCoreApplication::arguments().mid(2));
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool growthOnly = arguments.removeAll(QStringLiteral("--growth"));
    const bool commandLineOnly = arguments.removeAll(QStringLiteral("--cli"));
    const int bigRows = arguments.value(0, QStringLiteral("2000")).toInt();
    const int growthRows = arguments.value(1, QStringLiteral("100")).toInt();
    QTemporaryDir folder;

    std::printf("Sheet-to-files benchmark (every measurement in a process and office of its own)\n");
    if (commandLineOnly) {
        commandLineCase(folder.path(), bigRows);
        return 0;
    }
    if (!growthOnly)
        bigCase(folder.path(), bigRows);
    growthCase(folder.path(), growthRows);
    if (!growthOnly)
        commandLineCase(folder.path(), bigRows);
    return 0;
}
