// An office that stops answering (a stopped process) is ended by the call watchdog: the call
// fails instead of blocking for good, the link says why, the comparer reports it without saving,
// and the next link starts a fresh office that works.

#include "../tools/compare/comparerdriver.h"
#include "testsupport.h"

#include "automation/officeentry.h"
#include "excelop/excelopkiv.h"
#include "tools/compare/comparisonrun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class TestOfficeWatchdog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void stoppedOfficeIsEndedAndReplaced();
    void comparisonOnAStoppedOfficeSavesNothing();
    void comparerWindowReportsItAndImportsAgain();
    void oneWatcherForAllCalls();

private:
    QString workbook(const QString& name);
    // The whole office group: a launcher may stand between us and the office itself.
    static void stopOffice() { QVERIFY(killpg(OfficeServer::officeProcessForTests(), SIGSTOP) == 0); }

    QTemporaryDir folder;
};

void TestOfficeWatchdog::initTestCase()
{
    initTestEnvironment();
    QVERIFY(folder.isValid());
    // Short enough for a test, long enough for every call of a small workbook.
    OfficeServer::setCallTimeoutMillisecondsForTests(4000);
}

QString TestOfficeWatchdog::workbook(const QString& name)
{
    return twoSheetWorkbook(folder.filePath(name), {{"A"}, {"x"}, {"y"}}, {{"B"}, {"x"}});
}

void TestOfficeWatchdog::stoppedOfficeIsEndedAndReplaced()
{
    const QString file = workbook("stopped.xlsx");
    auto link = openedWorkbook(file);
    QCOMPARE(link->officeState(), OfficeState::Working);
    stopOffice();
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(link->sheetAt(0)->getCellValue(2, 1), QString());
    QVERIFY2(clock.elapsed() < 30000, "the call came back");
    QCOMPARE(link->officeState(), OfficeState::StoppedAnswering);
    QVERIFY(!officeLostText(OfficeState::StoppedAnswering).isEmpty());
    link.reset();

    auto fresh = openedWorkbook(file);
    QCOMPARE(fresh->officeState(), OfficeState::Working);
    QCOMPARE(fresh->sheetAt(0)->getCellValue(2, 1), QString("x"));
}

void TestOfficeWatchdog::comparisonOnAStoppedOfficeSavesNothing()
{
    const QString file = workbook("compare.xlsx");
    const QByteArray before = fileBytes(file);
    auto link = openedWorkbook(file);
    ComparisonSettings settings;
    settings.workbookPath = file;
    settings.side1 = {0, "Sheet1", 0, QString(), "3"};
    settings.side2 = {1, "Sheet2", 0, QString(), "2"};
    stopOffice();
    const ComparisonOutcome outcome = ComparisonRun(*link, settings).run();
    QCOMPARE(int(outcome.kind), int(ComparisonOutcome::Kind::Failed));
    QVERIFY(!outcome.saved);
    QCOMPARE(outcome.messages, QStringList(officeLostText(OfficeState::StoppedAnswering)));
    link.reset();
    QCOMPARE(fileBytes(file), before);
}

void TestOfficeWatchdog::comparerWindowReportsItAndImportsAgain()
{
    const QString file = workbook("window.xlsx");
    ComparerDriver comparer;
    comparer.importWorkbook(file);
    KivMessageBox::clearShownTexts();
    stopOffice();
    comparer.compare(0, 0, "3", "2");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList(officeLostText(OfficeState::StoppedAnswering)));

    KivMessageBox::clearShownTexts();
    comparer.importWorkbook(file);
    QCOMPARE(comparer.items("comboBoxSheet1"), QStringList({"Sheet1", "Sheet2"}));
    comparer.compare(0, 0, "3", "2");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList(finishedText()));
}

QTEST_MAIN(TestOfficeWatchdog)
// Every call is watched by the same thread: thousands of calls (a cell at a time) must not leave
// a thread each behind, which would end the program when it can start no more.
void TestOfficeWatchdog::oneWatcherForAllCalls()
{
    const auto threads = [] {
        return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
    };
    auto link = openedWorkbook(workbook("many-calls.xlsx"));
    link->sheetAt(0)->getCellValue(1, 1);
    const int before = threads();
    for (int k = 0; k < 500; ++k)
        link->sheetAt(0)->getCellValue(1 + k % 3, 1);
    QVERIFY2(threads() < before + 10, qPrintable(QStringLiteral("%1 threads, %2 before").arg(threads()).arg(before)));
}

#include "tst_office_watchdog.moc"
