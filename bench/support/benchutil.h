#pragma once
// What the benchmark programs share: timing and the peak memory of this process and of the
// office. New workbooks come from the fixture library (tests/support).

#include <QList>
#include <QMap>
#include <QString>
#include <functional>

namespace benchutil {

// The windows a benchmark drives need no display: the offscreen platform, unless QT_QPA_PLATFORM
// names another. Call before the application is made.
void windowsOffscreen();

// Wall-clock seconds the work takes.
double secondsOf(const std::function<void()>& work);
// CPU seconds (user + system) used so far by this process and every process it started that
// still runs (the office among them). Less disturbed by other load on the machine than wall time.
double processTreeCpuSeconds();

struct Timing
{
    double wall = 0;
    double cpu = 0; // processTreeCpuSeconds() spent
};
Timing timingOf(const std::function<void()>& work);

// The middle value (the mean of the two middle ones for an even count); 0 for none.
double medianOf(QList<double> values);
// Peak resident memory of this process so far, in MiB (VmHWM of /proc/self/status).
double peakMemoryMiB();
// Peak resident memory of the office this program started (soffice.bin), in MiB, since it
// started or since the last reset; 0 when there is no office.
double officePeakMemoryMiB();
// Starts the office's peak over from its current size (where the kernel allows it).
void resetOfficePeakMemory();
// "12.3 MiB (12,901,234 bytes)"
QString fileSizeText(const QString& path);

// A whole process run to its end: wall seconds, and the CPU of it and of what it waited for.
// ok is false when it did not exit with 0.
struct ProcessRun
{
    Timing timing;
    bool ok = false;
};
ProcessRun runProcess(const QString& program, const QStringList& arguments);

// The office's own round trip of the files, as `soffice --headless --convert-to` does it in one
// process: its start, each file's load and store into outFolder. The office runs with a profile
// of its own, started once beforehand so that its first start does not count.
ProcessRun officeRoundTrip(const QStringList& files, const QString& outFolder);

// A script of bench/peers run with the system's python3 (its arguments after the script).
ProcessRun peerRun(const QString& script, const QStringList& arguments);

// Whole processes' times by name, run in turn; a run that failed is said at once.
class ProcessTimes
{
public:
    void record(const QString& name, const ProcessRun& run);
    // The medians of the name's runs.
    Timing median(const QString& name) const;

private:
    QMap<QString, QList<double>> wall, cpu;
};

// "label ...... 1.234 s" lines, aligned.
void printSeconds(const QString& label, double seconds);
void printLine(const QString& label, const QString& value);
void printTiming(const QString& label, const Timing& timing);
// "wall 1.23   cpu 1.10" for two ratios.
void printRatios(const QString& label, const Timing& numerator, const Timing& denominator);
// "goal: ... met" or "... MISSED".
void printGoal(const QString& goal, bool met);

} // namespace benchutil
