// The update check against a loopback server: when the box shows, what it says, what a choice
// opens, and the documents that must stay silent.

#include "common/dialogs.h"
#include "common/desktopservices.h"
#include "online/updatefunkiv.h"
#include "testhttpserver.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray updateXml(const QByteArray& children)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<updateKiv>" + children + "</updateKiv>\n";
}

} // namespace

class TestUpdateFunKiv : public QObject
{
    Q_OBJECT

private:
    TestHttpServer server;
    QTemporaryDir folder;
    int checks = 0;

    // Runs one check against a document and waits until it has been read.
    void runCheck(const QByteArray& document, QMessageBox::StandardButton answer = QMessageBox::Ok)
    {
        const QString path = QString("/check%1/updateinfo.xml").arg(++checks);
        server.setRoute(path, 200, document);
        const QString saveDir = folder.filePath(QString("check%1/duZozodKivUpdate/update").arg(checks));
        KivMessageBox::setNextAnswer(answer);
        auto* check = new UpdateFunKiv(1, server.url(path), saveDir);
        QTRY_VERIFY(QFile::exists(saveDir + "/updateinfo.xml"));
        QTest::qWait(100);
        check->deleteLater();
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        KivDesktopServices::setRecording(true);
        QVERIFY(server.start());
    }

    void init()
    {
        KivMessageBox::clearShownTexts();
        KivDesktopServices::clearRecorded();
    }

    void newerVersionOffersTheHomePage()
    {
        runCheck(updateXml("<VERSIONNOW>2.0</VERSIONNOW><VERSIONCODE>2</VERSIONCODE>"
                           "<DOWNURL>http://example.org/d.zip</DOWNURL>"
                           "<WEBURL>http://example.org/home</WEBURL>"));
        QCOMPARE(KivMessageBox::shownTexts(),
                 QStringList("发现新版本\n新版本为：2.0\n是否现在就打开主页下载新版本？\n主页：http://example.org/home"));
        QCOMPARE(KivDesktopServices::openedUrls(), QList<QUrl>({QUrl("http://example.org/home")}));
    }

    void cancelOpensNothing()
    {
        runCheck(updateXml("<VERSIONCODE>2</VERSIONCODE><WEBURL>http://example.org/</WEBURL>"),
                 QMessageBox::Cancel);
        QCOMPARE(KivMessageBox::shownTexts().size(), 1);
        QVERIFY(KivDesktopServices::openedUrls().isEmpty());
    }

    void sameOrOlderOrUnreadableVersionsStaySilent_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::newRow("same code") << updateXml("<VERSIONCODE>1</VERSIONCODE>");
        QTest::newRow("code 0") << updateXml("<VERSIONCODE>0</VERSIONCODE>");
        QTest::newRow("not a number") << updateXml("<VERSIONCODE>two</VERSIONCODE>");
        QTest::newRow("no code") << updateXml("<VERSIONNOW>9</VERSIONNOW>");
        QTest::newRow("lower-case tag") << updateXml("<versioncode>5</versioncode>");
        QTest::newRow("nested one level deeper")
            << updateXml("<info><VERSIONCODE>5</VERSIONCODE></info>");
        QTest::newRow("malformed") << QByteArray("<updateKiv><VERSIONCODE>5</VERSIONCODE>");
        QTest::newRow("nested 300000 deep")
            << updateXml("<VERSIONCODE>5</VERSIONCODE>" + QByteArray("<a>").repeated(300000)
                         + QByteArray("</a>").repeated(300000));
    }
    void sameOrOlderOrUnreadableVersionsStaySilent()
    {
        QFETCH(QByteArray, document);
        runCheck(document);
        QVERIFY(KivMessageBox::shownTexts().isEmpty());
        QVERIFY(KivDesktopServices::openedUrls().isEmpty());
    }

    void missingOrUnsafeWebAddressKeepsTheDefaultHomePage_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::newRow("missing") << updateXml("<VERSIONNOW>3</VERSIONNOW><VERSIONCODE>3</VERSIONCODE>");
        QTest::newRow("local file") << updateXml("<VERSIONNOW>3</VERSIONNOW><VERSIONCODE>3</VERSIONCODE>"
                                                 "<WEBURL>file:///etc/passwd</WEBURL>");
    }
    void missingOrUnsafeWebAddressKeepsTheDefaultHomePage()
    {
        QFETCH(QByteArray, document);
        runCheck(document);
        const QString home = KIVEXCEL_HOME_PAGE;
        QCOMPARE(KivMessageBox::shownTexts(),
                 QStringList("发现新版本\n新版本为：3\n是否现在就打开主页下载新版本？\n主页：" + home));
        QCOMPARE(KivDesktopServices::openedUrls(), QList<QUrl>({QUrl(home)}));
    }

    void laterTagWins()
    {
        runCheck(updateXml("<VERSIONCODE>7</VERSIONCODE><VERSIONCODE>1</VERSIONCODE>"));
        QVERIFY(KivMessageBox::shownTexts().isEmpty());
    }

    void deletedBeforeTheAnswerStaysSilent()
    {
        TestHttpServer::Route silent;
        silent.delivery = TestHttpServer::Delivery::Silent;
        server.setRoute("/silent.xml", silent);
        auto* check = new UpdateFunKiv(1, server.url("/silent.xml"), folder.filePath("silent"));
        QVERIFY(QFileInfo(folder.filePath("silent")).isDir());
        QTRY_COMPARE(server.requestCount("/silent.xml"), 1);
        check->deleteLater();
        QTest::qWait(200);
        QVERIFY(KivMessageBox::shownTexts().isEmpty());
    }

    void shippedDocumentNamesVersionOne()
    {
        QFile file(KIVEXCEL_SOURCE_DIR "/site/duzozod/update/updateinfo.xml");
        QVERIFY(file.open(QIODevice::ReadOnly));
        UpdateDocument document;
        QVERIFY(readUpdateDocument(file.readAll(), document));
        QCOMPARE(document.versionCode, 1);
    }
};

QTEST_MAIN(TestUpdateFunKiv)
#include "tst_updatefunkiv.moc"
