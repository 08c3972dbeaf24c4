// A workbook's sheet files written by two offices at once (kivexcel-cli split-sheets --jobs 2, and
// split-column --to-files --jobs 2): the same files as one office writes, and an office that dies
// leaves no file half-written, is reported, and any sheet without its file is named.
#include "fileformat/zippackage.h"
#include "testsupport.h"
#include "tools/shared/sheetshares.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

QList<SheetContent> months(int count, int rows)
{
    QList<SheetContent> sheets{{QStringLiteral("汇总"), {{QStringLiteral("月份"), QStringLiteral("首行")}}}};
    for (int m = 1; m <= count; ++m) {
        SheetContent sheet{QStringLiteral("%1月").arg(m), {{QStringLiteral("名称"), QStringLiteral("数量")}}};
        for (int r = 1; r <= rows; ++r)
            sheet.rows.append({QStringLiteral("客户%1号").arg(r), QString::number(r * m)});
        sheets.append(sheet);
        sheets[0].rows.append({sheet.name, QString::number(m)});
    }
    return sheets;
}

// The package's parts with their contents, but the document properties' times.
QMap<QString, QByteArray> partsOf(const QString& path)
{
    QMap<QString, QByteArray> parts;
    ZipPackage package;
    if (!package.open(path))
        return parts;
    for (const ZipPackage::Entry& entry : package.entries()) {
        const QString name = QString::fromUtf8(entry.name);
        if (!name.startsWith(QLatin1String("docProps/")))
            parts.insert(name, package.unpacked(entry));
    }
    return parts;
}

// The processes whose parent is pid, and theirs.
QList<qint64> descendantsOf(qint64 pid)
{
    QList<qint64> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 child = entry.toLongLong(&number);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid ...: the name may hold spaces, so read after its closing parenthesis.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.value(1).toLongLong() == pid)
            found << child << descendantsOf(child);
    }
    return found;
}

// The process writing the second share of the files into folder, once it runs.
qint64 secondShareProcess(const QString& folder)
{
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!commandLine.open(QIODevice::ReadOnly))
            continue;
        const QByteArray arguments = commandLine.readAll();
        if (arguments.contains("--share") && arguments.contains(folder.toUtf8()))
            return entry.toLongLong();
    }
    return 0;
}

} // namespace

class SheetFilesSharesTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    void sharesAreConsecutiveAndCoverEverySheet()
    {
        const QStringList sheets = {"a", "b", "c", "d", "e", "f", "g"};
        QCOMPARE(shareOf(sheets, 0, 2), QStringList({"a", "b", "c", "d"}));
        QCOMPARE(shareOf(sheets, 1, 2), QStringList({"e", "f", "g"}));
        QCOMPARE(shareOf(sheets, 2, 3), QStringList({"f", "g"}));
        QCOMPARE(shareOf(sheets, 0, 1), sheets);
        // Two sheets whose files would share a name are written by one office.
        QVERIFY(fileNamesApart({"一月", "二月"}));
        QVERIFY(!fileNamesApart({"a/b", "a*b"}));
        QCOMPARE(officesAffordable(2, 3, 1000), 1);
        // Unasked, a small workbook gets one office: a second one's start would cost more.
        QCOMPARE(officesByDefault(200 << 10), 1);
        QCOMPARE(officesByDefault(8 << 20), qBound(1, QThread::idealThreadCount(), 2));
    }

    void twoOfficesWriteTheSameFilesAsOne()
    {
        const QString book = folder.filePath("months.xlsx");
        QVERIFY(writeXlsx(book, months(9, 50)));
        const QString one = folder.filePath("one"), two = folder.filePath("two");
        const CliRun single = runCli({"split-sheets", book, "--out", one, "--jobs", "1", "--quiet"});
        QVERIFY2(single.exitCode == 0, qPrintable(single.err));
        const CliRun shared = runCli({"split-sheets", book, "--out", two, "--jobs", "2", "--quiet"});
        QVERIFY2(shared.exitCode == 0, qPrintable(shared.err));
        // The summary's formulas kept as values are counted once, as with one office.
        QCOMPARE(shared.err, QString(single.err).replace(one, two));
        const QStringList files = QDir(one).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(files.size(), 10);
        QCOMPARE(QDir(two).entryList(QDir::Files | QDir::Hidden), files);
        for (const QString& file : files)
            QVERIFY2(partsOf(QDir(one).filePath(file)) == partsOf(QDir(two).filePath(file)), qPrintable(file));
    }

    // The column split's new sheets, and only they, shared among two offices.
    void aColumnSplitIntoFilesSharesItsFilesAlike()
    {
        const QString book = folder.filePath("regions.xlsx");
        SheetContent details{QStringLiteral("明细"), {{"客户", "区域", "数量"}}};
        for (int r = 1; r <= 90; ++r)
            details.rows.append(
                {QStringLiteral("客户%1号").arg(r), QStringLiteral("区%1").arg(r % 9), QString::number(r)});
        QVERIFY(writeXlsx(book, {details, {QStringLiteral("说明"), {{"按区域分"}}}}));
        const QString one = folder.filePath("regions-one"), two = folder.filePath("regions-two");
        QVERIFY(QDir().mkpath(one) && QDir().mkpath(two));
        const QStringList split = {"split-column", book, "--sheet", "明细", "--column", "B", "--quiet", "--jobs"};
        const CliRun single = runCli(split + QStringList{"1", "--to-files", one});
        QVERIFY2(single.exitCode == 0, qPrintable(single.err));
        const CliRun shared = runCli(split + QStringList{"2", "--to-files", two});
        QVERIFY2(shared.exitCode == 0, qPrintable(shared.err));
        const QStringList files = QDir(one).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(files.size(), 9);
        QCOMPARE(QDir(two).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot), files);
        for (const QString& file : files)
            QVERIFY2(partsOf(QDir(one).filePath(file)) == partsOf(QDir(two).filePath(file)), qPrintable(file));
        QCOMPARE(readWorkbook(QDir(two).filePath("区8.xlsx")).value(0).rows.size(), 11);
    }

    void anOfficeDyingLeavesWholeFilesAndSaysWhatIsMissing()
    {
        const QString book = folder.filePath("big.xlsx");
        const QList<SheetContent> sheets = months(16, 3000);
        QVERIFY(writeXlsx(book, sheets));
        const QString out = folder.filePath("dying");
        QProcess cli;
        cli.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        cli.start(QStringLiteral(KIVEXCEL_CLI), {"split-sheets", book, "--out", out, "--jobs", "2", "--quiet"});
        QVERIFY(cli.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        qint64 share = 0;
        // The second share's office is ended as soon as its first file (9月, the first sheet of
        // the second share) is in place, with the others still to come.
        const QString firstOfShare = QDir(out).filePath("9月.xlsx");
        while (!QFile::exists(firstOfShare) && waited.elapsed() < 120000 && cli.state() == QProcess::Running) {
            QTest::qWait(10);
            share = share ? share : secondShareProcess(out);
        }
        const QList<qint64> office = share ? descendantsOf(share) : QList<qint64>();
        QVERIFY2(!office.isEmpty() && QFile::exists(firstOfShare), "the second office wrote no file");
        for (qint64 pid : office)
            ::kill(pid_t(pid), SIGKILL);
        QVERIFY(cli.waitForFinished(300000));
        const QString err = QString::fromUtf8(cli.readAllStandardError());

        // Every file there is whole; each sheet without one is named.
        QVERIFY(QDir(out).entryList({".~kivexcel-*"}, QDir::Files | QDir::Hidden).isEmpty());
        int missing = 0;
        for (const SheetContent& sheet : sheets) {
            const QString file = QDir(out).filePath(sheet.name + ".xlsx");
            if (QFile::exists(file))
                QCOMPARE(readWorkbook(file).value(0).rows, sheet.rows);
            else {
                ++missing;
                QVERIFY2(err.contains("“" + sheet.name + "”"), qPrintable(sheet.name + ": " + err));
            }
        }
        // The share's run may start an office again for the files left; the run still reports
        // the office's end, and any sheet still without its file.
        QCOMPARE(cli.exitCode(), 1);
        QVERIFY2(err.contains(QStringLiteral("电子表格程序意外退出了")) || missing > 0, qPrintable(err));
    }
};

QTEST_MAIN(SheetFilesSharesTest)
#include "tst_sheetfilesshares.moc"
