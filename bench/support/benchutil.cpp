#include "benchutil.h"

#include "automation/officeentry.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/resource.h>
#include <QElapsedTimer>
#include <QHash>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace benchutil {

namespace {

// Parent pid and utime + stime (clock ticks) of one process; false when it is gone.
bool readProcessStat(const QString& pid, qint64& parent, qint64& ticks)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    // The command name may hold spaces: the fields start after its closing parenthesis.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return false;
    parent = fields.at(1).toLongLong();
    ticks = fields.at(11).toLongLong() + fields.at(12).toLongLong();
    return true;
}

} // namespace

double processTreeCpuSeconds()
{
    QHash<qint64, qint64> parentOf;
    QHash<qint64, qint64> ticksOf;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        qint64 parent = 0;
        qint64 ticks = 0;
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (isPid && readProcessStat(entry, parent, ticks)) {
            parentOf.insert(pid, parent);
            ticksOf.insert(pid, ticks);
        }
    }
    const qint64 self = getpid();
    qint64 total = 0;
    for (auto it = ticksOf.cbegin(); it != ticksOf.cend(); ++it) {
        for (qint64 pid = it.key(); pid > 1; pid = parentOf.value(pid, 0)) {
            if (pid == self) {
                total += it.value();
                break;
            }
        }
    }
    return double(total) / sysconf(_SC_CLK_TCK);
}

Timing timingOf(const std::function<void()>& work)
{
    const double cpuBefore = processTreeCpuSeconds();
    const double wall = secondsOf(work);
    return {wall, processTreeCpuSeconds() - cpuBefore};
}

void windowsOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

double secondsOf(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

double medianOf(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const int middle = values.size() / 2;
    return values.size() % 2 ? values.at(middle) : (values.at(middle - 1) + values.at(middle)) / 2;
}

namespace {

double peakMemoryOf(const QString& process)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    const QRegularExpression peak(QStringLiteral("^VmHWM:\\s*(\\d+)\\s*kB"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = peak.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : 0;
}

} // namespace

double peakMemoryMiB()
{
    return peakMemoryOf(QStringLiteral("self"));
}

double officePeakMemoryMiB()
{
    const pid_t office = OfficeServer::officeProcessForTests();
    return office > 0 ? peakMemoryOf(QString::number(office)) : 0;
}

void resetOfficePeakMemory()
{
    const pid_t office = OfficeServer::officeProcessForTests();
    QFile clear(QStringLiteral("/proc/%1/clear_refs").arg(office));
    if (office > 0 && clear.open(QIODevice::WriteOnly))
        clear.write("5"); // resets the peak resident size
}

QString fileSizeText(const QString& path)
{
    const qint64 bytes = QFileInfo(path).size();
    return QStringLiteral("%1 MiB (%2 bytes)").arg(bytes / 1048576.0, 0, 'f', 1).arg(bytes);
}

void printLine(const QString& label, const QString& value)
{
    std::printf("  %-58s %s\n", qPrintable(label), qPrintable(value));
    std::fflush(stdout);
}

void printSeconds(const QString& label, double seconds)
{
    printLine(label, QStringLiteral("%1 s").arg(seconds, 0, 'f', 3));
}

void printTiming(const QString& label, const Timing& timing)
{
    printLine(label, QStringLiteral("wall %1 s   cpu %2 s").arg(timing.wall, 7, 'f', 3).arg(timing.cpu, 7, 'f', 3));
}

void printRatios(const QString& label, const Timing& numerator, const Timing& denominator)
{
    printLine(label, QStringLiteral("wall %1     cpu %2")
                         .arg(numerator.wall / denominator.wall, 7, 'f', 2)
                         .arg(numerator.cpu / denominator.cpu, 7, 'f', 2));
}

void printGoal(const QString& goal, bool met)
{
    std::printf("  goal: %-52s %s\n", qPrintable(goal), met ? "met" : "MISSED");
    std::fflush(stdout);
}

namespace {

double childrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QString officeProgram()
{
    return QStringLiteral(KIVEXCEL_OFFICE_PROGRAM_DIR "/soffice");
}

} // namespace

ProcessRun runProcess(const QString& program, const QStringList& arguments)
{
    ProcessRun run;
    const double cpuBefore = childrenCpuSeconds();
    run.timing.wall = secondsOf([&] {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(program, arguments);
        run.ok = process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    });
    run.timing.cpu = childrenCpuSeconds() - cpuBefore;
    return run;
}

ProcessRun officeRoundTrip(const QStringList& files, const QString& outFolder)
{
    static QTemporaryDir profile;
    const QStringList common = {QStringLiteral("-env:UserInstallation=")
                                    + QUrl::fromLocalFile(profile.path()).toString(),
                                QStringLiteral("--headless"), QStringLiteral("--norestore")};
    static bool started = false;
    if (!started) {
        runProcess(officeProgram(), common + QStringList{QStringLiteral("--terminate_after_init")});
        started = true;
    }
    const QString format = QFileInfo(files.value(0)).suffix();
    return runProcess(
        officeProgram(),
        common + QStringList{QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), outFolder} + files);
}

ProcessRun peerRun(const QString& script, const QStringList& arguments)
{
    return runProcess(QStringLiteral("/usr/bin/python3"),
                      QStringList{QStringLiteral(KIVEXCEL_SOURCE_DIR "/bench/peers/") + script} + arguments);
}

void ProcessTimes::record(const QString& name, const ProcessRun& run)
{
    if (!run.ok)
        std::printf("  %s failed\n", qPrintable(name));
    wall[name].append(run.timing.wall);
    cpu[name].append(run.timing.cpu);
}

Timing ProcessTimes::median(const QString& name) const
{
    return Timing{medianOf(wall.value(name)), medianOf(cpu.value(name))};
}

} // namespace benchutil
