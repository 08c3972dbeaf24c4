// What the office costs at its start and in saves. A new profile starts the office at once, and
// later starts skip the office's graphics self-tests. The cost measures (one malloc arena, no
// undo records from the load on) are applied, and change nothing a save writes: every part of
// the saved package but its document properties is the same byte for byte with and without them.
#include "automation/officeentry.h"
#include "common/pathutils.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"
#include "zipwriter.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// One part of an .xlsx package (empty when it is not there).
QByteArray partOf(const QString& xlsx, const QString& part)
{
    ZipPackage package;
    return package.open(xlsx) ? package.unpacked(part.toUtf8()) : QByteArray();
}

// The names of the parts of an .xlsx package.
QStringList partsOf(const QString& xlsx)
{
    ZipPackage package;
    QStringList parts;
    if (package.open(xlsx))
        for (const ZipPackage::Entry& entry : package.entries())
            parts.append(QString::fromUtf8(entry.name));
    parts.sort();
    return parts;
}

QStringList customers(int count)
{
    const QStringList cities{"北京", "上海", "广州", "深圳", "杭州"};
    const QStringList trades{"科技", "贸易", "物流", "电子"};
    QStringList names{"客户名称"};
    for (int i = 0; i < count; ++i)
        names.append(cities.at(i % cities.size()) + QStringLiteral("华信") + trades.at(i % trades.size())
                     + QStringLiteral("有限公司"));
    return names;
}

// Chinese among digits and Latin letters, as addresses and product codes have them.
QStringList addresses(int count)
{
    QStringList texts{"地址"};
    for (int i = 0; i < count; ++i)
        texts.append(QStringLiteral("中山路%1号%2栋 Room %3").arg(i + 1).arg(i % 9 + 1).arg(100 + i));
    return texts;
}

// Ends the office and waits until every thread of it is gone, so the next link starts a new one.
void endOffice()
{
    const pid_t office = OfficeServer::officeProcessForTests();
    OfficeServer::killOfficeForTests();
    if (office <= 0)
        return;
    QTRY_VERIFY_WITH_TIMEOUT(
        [office] {
            QFile status(QStringLiteral("/proc/%1/status").arg(office));
            if (!status.open(QIODevice::ReadOnly))
                return true;
            const QByteArray text = status.readAll();
            return text.contains("\nState:\tZ") && text.contains("\nThreads:\t1\n");
        }(),
        10000);
}

} // namespace

class OfficeCostTest : public QObject
{
    Q_OBJECT

    QTemporaryDir root;

    // A comparer's work on a copy of a real workbook of Chinese Excel, in an office started with
    // or without the measures; then the next run's: the saved workbook opened, changed, saved.
    QString runOn(const QString& name, bool measures)
    {
        if (measures)
            qunsetenv("KIVEXCEL_OFFICE_PLAIN");
        else
            qputenv("KIVEXCEL_OFFICE_PLAIN", "1");
        endOffice(); // the measures come with a new office
        const QString folder = root.filePath(measures ? "with" : "without");
        QDir().mkpath(folder);
        const QString path = copyFixture(name, folder);
        const int rows = 300;
        {
            auto link = openedWorkbook(path);
            SheetEntry* sheet = link->sheetAt(0);
            if (!sheet || !sheet->writeColumnTexts(2, 1, customers(rows))
                || !sheet->writeColumnTexts(3, 1, addresses(rows)))
                return QString();
            QStringList amounts{"金额"};
            for (int i = 0; i < rows; ++i)
                amounts.append(QString::number(i * 37 % 1000 + 0.5));
            QStringList counts{"“客户名称”出现的次数"};
            for (int i = 0; i < rows; ++i)
                counts.append(QString::number(i % 4));
            if (!sheet->writeColumnTexts(4, 1, amounts) || !sheet->insertColumn(1)
                || !sheet->writeColumnTexts(1, 1, counts) || !sheet->setAutoFilter(1) || !link->saveWorkbook())
                return QString();
        }
        {
            auto link = openedWorkbook(path);
            SheetEntry* sheet = link->sheetAt(0);
            if (!sheet || !sheet->writeColumnTexts(6, 1, addresses(rows / 2)) || !link->saveWorkbook())
                return QString();
        }
        qunsetenv("KIVEXCEL_OFFICE_PLAIN");
        endOffice();
        return path;
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(root.isValid());
    }

    void cleanupTestCase() { qunsetenv("KIVEXCEL_OFFICE_PLAIN"); }

    // This program's profile is new (main points XDG_DATA_HOME at an empty folder): the office
    // sets it up and asks to be started again, and the first link still gets an application.
    void aNewProfileStartsAndLaterStartsSkipTheSelfTests()
    {
        const QString profile = joinPath(localDataFolder(), "office/profile-0");
        QVERIFY(!QFileInfo::exists(profile));
        {
            ExcelOpKiv first;
            QVERIFY(first.hasApplication());
        }
        const QFileInfo log(joinPath(profile, "user/GraphicsRenderTests.log"));
        QVERIFY(log.exists());
        const QDateTime ran = log.lastModified();
        const pid_t firstOffice = OfficeServer::officeProcessForTests();
        endOffice();
        {
            ExcelOpKiv next;
            QVERIFY(next.hasApplication());
            QVERIFY(OfficeServer::officeProcessForTests() != firstOffice);
        }
        QCOMPARE(QFileInfo(log.filePath()).lastModified(), ran);
        endOffice();
    }

    // The office starts with one malloc arena, and the workbooks it opens keep no undo records;
    // without the measures, with neither.
    void theOfficeStartsWithTheMeasures()
    {
        for (const bool measures : {true, false}) {
            if (!measures)
                qputenv("KIVEXCEL_OFFICE_PLAIN", "1");
            endOffice();
            const QString folder = root.filePath(measures ? "on" : "off");
            QVERIFY(QDir().mkpath(folder));
            auto link = openedWorkbook(copyFixture("xlnt-16_hidden_sheet.xlsx", folder));
            QVERIFY(link->sheetAt(0));
            QFile environ(QString("/proc/%1/environ").arg(OfficeServer::officeProcessForTests()));
            QVERIFY(environ.open(QIODevice::ReadOnly));
            QHash<QByteArray, QByteArray> variables;
            for (const QByteArray& entry : environ.readAll().split('\0'))
                variables.insert(entry.left(entry.indexOf('=')), entry.mid(entry.indexOf('=') + 1));
            QCOMPARE(variables.value("MALLOC_ARENA_MAX"), measures ? QByteArray("1") : QByteArray());
            // Fonts are kept either way: the font configuration is not one of the measures.
            QVERIFY(variables.value("FONTCONFIG_FILE").endsWith("fonts.conf"));
            QCOMPARE(OfficeServer::undoOfOpenWorkbooksForTests(), QList<bool>{!measures});
            link.reset();
            qunsetenv("KIVEXCEL_OFFICE_PLAIN");
        }
        endOffice();
    }

    // A Chinese Excel workbook (its font 等线, not on the machine; a hidden second sheet) worked
    // on twice, with and without the measures.
    void savesAreTheSameWithAndWithoutTheMeasures()
    {
        const QString name = "xlnt-16_hidden_sheet.xlsx";
        const QString plainPath = runOn(name, false);
        const QString tunedPath = runOn(name, true);
        QVERIFY(!plainPath.isEmpty());
        QVERIFY(!tunedPath.isEmpty());
        const QStringList parts = partsOf(plainPath);
        QCOMPARE(partsOf(tunedPath), parts);
        QVERIFY(parts.contains("xl/worksheets/sheet1.xml"));
        int compared = 0;
        for (const QString& part : parts) {
            if (part.startsWith("docProps/")) // times of the saves, and the editing time
                continue;
            const QByteArray plain = partOf(plainPath, part);
            QVERIFY2(partOf(tunedPath, part) == plain, qPrintable(part));
            ++compared;
        }
        QVERIFY(compared >= 6);
        // The work really is in the saves.
        QVERIFY(partOf(tunedPath, "xl/sharedStrings.xml").contains("北京华信科技有限公司"));
        QVERIFY(partOf(tunedPath, "xl/sharedStrings.xml").contains("“客户名称”出现的次数"));
    }
};

int main(int argc, char* argv[])
{
    QTemporaryDir dataHome; // a new office profile for this program
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    QApplication app(argc, argv);
    OfficeCostTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_officecost.moc"
