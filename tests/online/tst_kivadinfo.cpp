// The advertisement list reader: tags, defaults, odd documents, and the shipped site's list.

#include "online/kivadinfo.h"
#include "online/kivadviewbutton.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QList<KivAdInfo> readList(const QByteArray& xml)
{
    QTemporaryDir folder;
    QFile file(folder.filePath("ad.xml"));
    file.open(QIODevice::WriteOnly);
    file.write(xml);
    file.close();
    return KivAdInfo::getKivAdInfoLists(file.fileName());
}

QList<KivAdInfo> readEntries(const QByteArray& entries)
{
    return readList("<?xml version=\"1.0\" encoding=\"UTF-8\"?><pcad>" + entries + "</pcad>");
}

} // namespace

class TestKivAdInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestEnvironment(); }

    void readsEveryFieldOfAnEntry()
    {
        const QList<KivAdInfo> entries =
            readEntries("<ad><TYPE>web-link</TYPE><NAME>shop</NAME><URL>http://x/</URL>"
                        "<LOGONAME>a.gif</LOGONAME><LOGOURL>http://x/a.gif</LOGOURL><DURATION>7</DURATION>"
                        "<NAMETMP>商店</NAMETMP><EXTRA>ignored</EXTRA></ad>");
        QCOMPARE(entries.size(), 1);
        const KivAdInfo& entry = entries.first();
        QVERIFY(entry.isWebLink());
        QCOMPARE(entry.name, QString("shop"));
        QCOMPARE(entry.url, QString("http://x/"));
        QCOMPARE(entry.logoName, QString("a.gif"));
        QCOMPARE(entry.logoUrl, QString("http://x/a.gif"));
        QCOMPARE(entry.duration, 7);
        QCOMPARE(entry.nameTmp, QString("商店"));
    }

    void durationIsTrimmedDefaultedOrZero()
    {
        const QList<KivAdInfo> entries =
            readEntries("<a><DURATION> 12 </DURATION></a><b><DURATION>long</DURATION></b><c/>"
                        "<d><DURATION>-3</DURATION></d>");
        QCOMPARE(entries.size(), 4);
        QCOMPARE(entries.at(0).duration, 12);
        QCOMPARE(entries.at(1).duration, 0);
        QCOMPARE(entries.at(2).duration, 5);
        QCOMPARE(entries.at(3).duration, -3);
    }

    void tagsAreCaseSensitiveAndTheLastOneWins()
    {
        const QList<KivAdInfo> entries = readEntries("<a><name>lower</name><NAME>first</NAME><NAME>second</NAME>"
                                                     "<NAME>x<b>y</b>z</NAME></a>");
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first().name, QString("xyz")); // all text inside, concatenated
    }

    void anythingButWebLinkIsAProgram()
    {
        const QList<KivAdInfo> entries =
            readEntries("<a><TYPE>PC-APP</TYPE></a><b><TYPE></TYPE></b><c/><d><TYPE>Web-Link</TYPE></d>"
                        "<e><TYPE>pc-app</TYPE></e>");
        QCOMPARE(entries.size(), 5);
        for (const KivAdInfo& entry : entries)
            QVERIFY(!entry.isWebLink());
    }

    void everyChildNodeIsAnEntry()
    {
        const QList<KivAdInfo> entries = readEntries("<a><NAME>one</NAME></a><!-- between --><b><NAME>two</NAME></b>");
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries.at(0).name, QString("one"));
        QVERIFY(entries.at(1).name.isEmpty());
        QCOMPARE(entries.at(1).duration, 5);
        QCOMPARE(entries.at(2).name, QString("two"));
    }

    void unreadableDocumentsGiveNoEntries_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::newRow("malformed") << QByteArray("<pcad><a><NAME>x</NAME></pcad>");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("not xml") << QByteArray("\x89PNG\r\n\x1a\n");
        QTest::newRow("no children") << QByteArray("<pcad/>");
        // Deep enough to exhaust the stack of a recursive reader.
        QTest::newRow("nested 300000 deep")
            << "<pcad>" + QByteArray("<a>").repeated(300000) + QByteArray("</a>").repeated(300000) + "</pcad>";
    }
    void unreadableDocumentsGiveNoEntries()
    {
        QFETCH(QByteArray, xml);
        QVERIFY(readList(xml).isEmpty());
    }

    void missingFileGivesNoEntries() { QVERIFY(KivAdInfo::getKivAdInfoLists("/nonexistent/ad.xml").isEmpty()); }

    void copiesCarryTheValuesOnly()
    {
        QObject parent;
        KivAdInfo original("web-link", "n", "u", "l.png", "lu", 9, "t");
        original.setParent(&parent);
        original.setObjectName("named");
        KivAdInfo copy(original);
        QVERIFY(!copy.parent());
        QVERIFY(copy.objectName().isEmpty());
        QCOMPARE(copy.duration, 9);
        KivAdInfo assigned;
        assigned = original;
        QVERIFY(assigned.isWebLink());
        QCOMPARE(QStringList({assigned.name, assigned.url, assigned.logoName, assigned.logoUrl, assigned.nameTmp}),
                 QStringList({"n", "u", "l.png", "lu", "t"}));
        QCOMPARE(assigned.duration, 9);
        QVERIFY(!assigned.parent());
        original.setParent(nullptr);
    }

    void shippedSiteListHasAWebAndAProgramEntry()
    {
        const QList<KivAdInfo> entries =
            KivAdInfo::getKivAdInfoLists(KIVEXCEL_SOURCE_DIR "/site/myad/pcad/mypcad1.xml");
        QVERIFY(entries.size() >= 2);
        bool web = false;
        bool program = false;
        for (const KivAdInfo& entry : entries) {
            web = web || entry.isWebLink();
            program = program || !entry.isWebLink();
            QVERIFY(KivAdViewButton::isPlainFileName(entry.name));
            QVERIFY(KivAdViewButton::isPlainFileName(entry.logoName));
            QVERIFY(QFile::exists(KIVEXCEL_SOURCE_DIR "/site/myad/pcad/" + entry.logoName));
            QVERIFY(entry.duration > 0);
        }
        QVERIFY(web && program);
    }
};

QTEST_MAIN(TestKivAdInfo)
#include "tst_kivadinfo.moc"
