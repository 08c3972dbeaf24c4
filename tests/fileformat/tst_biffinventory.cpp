// .xls workbooks (BIFF8 records in a compound file) get the same feature inventory as .xlsx ones,
// so a save over an .xls is checked too; an Excel 95, encrypted or damaged file is "not read",
// never a crash or a hang.
#include "fileformat/biffinventory.h"
#include "fileformat/featureinventory.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {
// "notes=3 hyperlinks=1" as counts.
QMap<QString, int> countsOf(const QString& text)
{
    QMap<QString, int> counts;
    for (const QString& pair : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        counts[pair.section(QLatin1Char('='), 0, 0)] = pair.section(QLatin1Char('='), 1).toInt();
    return counts;
}

QByteArray words(std::initializer_list<quint16> values)
{
    QByteArray bytes;
    for (quint16 value : values) {
        bytes.append(char(value & 0xFF));
        bytes.append(char(value >> 8));
    }
    return bytes;
}

QByteArray record(quint16 id, const QByteArray& body = QByteArray())
{
    return words({id, quint16(body.size())}) + body;
}

QByteArray bof(quint16 type, quint16 version = 0x0600)
{
    return record(0x0809, words({version, type, 0, 0, 0, 0, 0, 0}));
}

const QByteArray kEof = record(0x000A);

// Every count stands for a record of at least 4 bytes; nothing is told of a file not read.
bool plausible(const FeatureInventory::Inventory& inventory, qint64 fileSize)
{
    for (int count : inventory.counts)
        if (count < 0 || count > fileSize / 4 || !inventory.read)
            return false;
    return true;
}

} // namespace

class BiffInventoryTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    // A writable copy of a corpus workbook, or empty (and the test skipped) without the corpus.
    QString corpusCopy(const QString& name)
    {
        const QString source = QDir(corpusFolder()).filePath(name);
        const QString copy = folder.filePath(name);
        QFile::remove(copy);
        if (!QFile::exists(source) || !QFile::copy(source, copy))
            return QString();
        QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return copy;
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    // Counts checked against the .xlsx the office converts each file to, and against the
    // records' own texts (the two DCONN records name their connections).
    void excelWorkbooksAreCounted_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("inCorpus");
        QTest::addColumn<QString>("expected");
        // Two built-in names (print area, print titles) are not the user's.
        QTest::newRow("names") << "xlrd-namesdemo.xls" << false << "defined-names=32 printer-settings=1";
        QTest::newRow("picture and zoom") << "xlrd-picture_in_cell.xls" << false << "pictures=1 zoom=1 charts=0";
        QTest::newRow("embedded chart") << "xlrd-Formate.xls" << false << "charts=1 chart-sheets=0";
        QTest::newRow("notes") << "SimpleWithComments.xls" << true << "notes=3";
        QTest::newRow("notes, validations, link")
            << "33082.xls" << true << "notes=24 validations=5 hyperlinks=1 frozen-panes=1";
        QTest::newRow("links on several sheets") << "HyperlinksOnManySheets.xls" << true << "hyperlinks=4";
        QTest::newRow("conditional formats") << "WithConditionalFormatting.xls" << true << "conditional-formats=5";
        QTest::newRow("protection and macros") << "44891.xls" << true
                                               << "sheet-protection=2 workbook-protection=0 macros=1 validations=1 "
                                                  "conditional-formats=2 defined-names=2";
        QTest::newRow("panes, zoom, names")
            << "15228.xls" << true << "frozen-panes=7 zoom=13 notes=29 defined-names=48";
        QTest::newRow("hidden grid") << "53972.xls" << true << "hidden-grid=2 frozen-panes=1 notes=1";
        QTest::newRow("chart sheets") << "44010-TwoCharts.xls" << true << "charts=2 chart-sheets=2";
        // 6 buttons; the 35 drop-downs of its filter and validation are no shapes of the user's.
        QTest::newRow("controls") << "StringContinueRecords.xls" << true << "shapes=6 pictures=1 notes=1";
        // The file ends with the last byte of its workbook stream, in the middle of a sector.
        QTest::newRow("short last sector") << "47251.xls" << true << "frozen-panes=1 hidden-grid=1 pictures=2";
        QTest::newRow("OLE object") << "drawings.xls" << true << "embedded-objects=1";
        QTest::newRow("data connection") << "45365-2.xls" << true << "data-connections=1";
        // Besides its two linked files it keeps nine links since removed, which count for nothing.
        QTest::newRow("external links") << "ex42570-20305.xls" << true << "external-links=2";
    }
    void excelWorkbooksAreCounted()
    {
        QFETCH(QString, file);
        QFETCH(bool, inCorpus);
        QFETCH(QString, expected);
        const QString path = inCorpus ? corpusCopy(file) : copyFixture(file, folder.path());
        if (path.isEmpty())
            QSKIP("the shared corpus of real-world workbooks is not here");
        const FeatureInventory::Inventory inventory = FeatureInventory::of(path);
        QVERIFY(inventory.read);
        const QMap<QString, int> wanted = countsOf(expected);
        for (auto count = wanted.cbegin(); count != wanted.cend(); ++count)
            QVERIFY2(inventory.counts.value(count.key()) == count.value(),
                     qPrintable(QStringLiteral("%1: %2").arg(count.key()).arg(inventory.counts.value(count.key()))));
        for (const QString& key : inventory.counts.keys())
            QVERIFY2(FeatureInventory::keys().contains(key), qPrintable(key));
    }

    void workbooksNotReadAsBiff8()
    {
        QVERIFY(!FeatureInventory::of(folder.filePath(QStringLiteral("none.xls"))).read);
        QFile text(folder.filePath(QStringLiteral("text.xls")));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("a,b\n1,2\n") > 0);
        text.close();
        QVERIFY(!FeatureInventory::of(text.fileName()).read);
        const QStringList others{QStringLiteral("59074.xls"), QStringLiteral("35897-type4.xls")}; // Excel 95; encrypted
        for (const QString& name : others) {
            const QString path = corpusCopy(name);
            if (path.isEmpty())
                QSKIP("the shared corpus of real-world workbooks is not here");
            const FeatureInventory::Inventory inventory = FeatureInventory::of(path);
            QVERIFY2(!inventory.read && inventory.counts.isEmpty(), qPrintable(name));
        }
    }

    // Only a whole workbook stream is read: one cut short inside a sheet is not, whatever
    // follows the last substream is ignored.
    void recordStreamsEndWhereTheyShould()
    {
        const QByteArray globals = bof(0x0005) + record(0x0018, words({0, 0, 0, 0, 0, 0, 0})) + kEof;
        const QByteArray sheet = bof(0x0010) + record(0x001C, words({0, 0, 0, 1, 0})) + kEof;
        QMap<QString, int> counts;
        QVERIFY(BiffInventory::countRecords(globals + sheet + QByteArray(13, '\xEE'), counts));
        QCOMPARE(counts.value(QStringLiteral("notes")), 1);
        QCOMPARE(counts.value(QStringLiteral("defined-names")), 1);
        QVERIFY(!BiffInventory::countRecords(globals + sheet.left(sheet.size() - 4), counts));
        QVERIFY(!BiffInventory::countRecords(globals + sheet.left(sheet.size() - 1), counts));
        QVERIFY(!BiffInventory::countRecords(bof(0x0005, 0x0500) + kEof, counts));
        QVERIFY(!BiffInventory::countRecords(record(0x0018) + globals, counts));
        QVERIFY(!BiffInventory::countRecords(bof(0x0005) + record(0x002F, words({0})) + kEof, counts));
        QVERIFY(!BiffInventory::countRecords(globals + bof(0x0010).repeated(5000), counts));
    }

    // The readings that keep an unchanged workbook from looking changed, on records as Excel
    // writes them.
    void recordsCountAsTheUserSeesThem()
    {
        const QByteArray name = words({0, 0, 0, 0, 0, 0, 0});
        const QByteArray builtIn = words({0x0020, 0, 0, 0, 0, 0, 0});
        const QByteArray hidden = words({0x0001, 0, 0, 0, 0, 0, 0});
        const QByteArray budget = words({1, 10, 0}).left(5) + "Budget.xls";
        const QByteArray removed = words({2, 1}) + QByteArray("\0 ", 2);
        const QByteArray globals = bof(0x0005) + record(0x0018, name) + record(0x0018, builtIn) + record(0x0018, hidden)
                                   + record(0x01AE, words({3, 0x0401})) + record(0x01AE, budget)
                                   + record(0x01AE, removed) + record(0x01AE, budget) + record(0x0012, words({1}))
                                   + kEof;
        const QByteArray frozenWithoutPane = bof(0x0010) + record(0x023E, words({0x0008 | 0x0002})) + kEof;
        const QByteArray frozen = bof(0x0010) + record(0x023E, words({0x0008})) + record(0x00A0, words({3, 2}))
                                  + record(0x0041, words({0, 1, 1, 0, 2})) + record(0x0012, words({1})) + kEof;
        const QByteArray plain = bof(0x0010) + record(0x023E, words({0x0002})) + record(0x00A0, words({4, 4})) + kEof;
        const QByteArray chartSheet = bof(0x0020) + record(0x0012, words({1})) + kEof;
        QMap<QString, int> counts;
        QVERIFY(BiffInventory::countRecords(globals + frozenWithoutPane + frozen + plain + chartSheet, counts));
        QCOMPARE(counts,
                 countsOf(QStringLiteral("defined-names=1 external-links=1 workbook-protection=1 frozen-panes=1 "
                                         "zoom=1 hidden-grid=1 sheet-protection=1 charts=1 chart-sheets=1")));
    }

    // Damaged files: fuzzed ones, a cut-off one, one with flipped bytes. Each gives an answer.
    void damagedFilesGiveAnAnswer()
    {
        const QString whole = copyFixture(QStringLiteral("xlrd-namesdemo.xls"), folder.path());
        const QByteArray bytes = fileBytes(whole);
        QVERIFY(bytes.size() > 4096);
        QFile cut(folder.filePath(QStringLiteral("cut.xls")));
        for (int length :
             {0, 8, 511, 512, 1000, bytes.size() / 4, bytes.size() / 2, bytes.size() - 600, bytes.size() - 1}) {
            QVERIFY(cut.open(QIODevice::WriteOnly | QIODevice::Truncate) && cut.write(bytes.left(length)) == length);
            cut.close();
            QVERIFY2(!FeatureInventory::of(cut.fileName()).read, qPrintable(QString::number(length)));
        }
        QRandomGenerator random(20240611);
        for (int round = 0; round < 300; ++round) {
            QByteArray flipped = bytes;
            for (int n = 0; n < 1 + round % 8; ++n)
                flipped[int(random.bounded(flipped.size()))] = char(random.bounded(256));
            QVERIFY(cut.open(QIODevice::WriteOnly | QIODevice::Truncate) && cut.write(flipped) == flipped.size());
            cut.close();
            QVERIFY(plausible(FeatureInventory::of(cut.fileName()), flipped.size()));
        }
        // Its odd record lies inside a sheet; the office loads it, so it is read.
        QVERIFY(FeatureInventory::of(copyFixture(QStringLiteral("xlrd-corrupted_error.xls"), folder.path())).read);

        const QStringList fuzzed =
            QDir(corpusFolder()).entryList({QStringLiteral("clusterfuzz-*.xls"), QStringLiteral("crash-*.xls")});
        if (fuzzed.isEmpty())
            QSKIP("the shared corpus of real-world workbooks is not here");
        int notRead = 0;
        for (const QString& name : fuzzed) {
            const QString path = corpusCopy(name);
            const FeatureInventory::Inventory inventory = FeatureInventory::of(path);
            QVERIFY2(plausible(inventory, QFileInfo(path).size()), qPrintable(name));
            notRead += inventory.read ? 0 : 1;
        }
        QVERIFY(notRead > 0);
    }

    // What the office writes is read, and a save over it keeps all; a save over an Excel file
    // whose printer set-up the office drops is refused and leaves the file as it was.
    void savesThroughTheOffice()
    {
        const QString written = folder.filePath(QStringLiteral("名单.xls"));
        QVERIFY(writeWorkbook(written, {{QStringLiteral("名单"),
                                         {{QStringLiteral("姓名"), QStringLiteral("人数")},
                                          {QStringLiteral("张三"), QStringLiteral("3")}}},
                                        {QStringLiteral("报名"), {{QStringLiteral("x")}}}}));
        QVERIFY(FeatureInventory::of(written).read);
        ExcelOpKiv book;
        QVERIFY(book.openWorkBook(written));
        book.setKeepFeatures(true);
        QVERIFY(book.saveWorkbook());
        QVERIFY(book.featuresLostBySave().isEmpty());
        book.closeWorkbook();

        // What Excel wrote loses its printer driver's settings: found, though no reason to stop.
        const QString excels = copyFixture(QStringLiteral("xlrd-namesdemo.xls"), folder.path());
        QVERIFY(book.openWorkBook(excels));
        book.setKeepFeatures(true);
        QVERIFY(book.saveWorkbook());
        QCOMPARE(book.featuresLostBySave(), QStringList{QStringLiteral("printer-settings")});
        book.closeWorkbook();
    }
};

QTEST_MAIN(BiffInventoryTest)
#include "tst_biffinventory.moc"
