// The update check against a loopback server: when the box shows, what it says, what a choice
// opens, the version the user asked not to hear of again, documents of any element name, and the
// answers that are no document (error pages, web pages, redirects to where it may not go, a server
// that never answers), and a folder the document cannot be written to.

#include "common/dialogs.h"
#include "common/desktopservices.h"
#include "online/mydownloadmanager.h"
#include "online/updatefunkiv.h"
#include "testhttpserver.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

QByteArray updateXml(const QByteArray& children, const QByteArray& root = "updateKiv")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root + ">" + children + "</" + root.split(' ').first()
           + ">\n";
}

QByteArray versionXml(int code)
{
    return updateXml("<VERSIONNOW>" + QByteArray::number(code) + ".0</VERSIONNOW><VERSIONCODE>"
                     + QByteArray::number(code) + "</VERSIONCODE><WEBURL>http://example.org/home</WEBURL>");
}

QString offerText(const QString& version)
{
    return "发现新版本\n新版本为：" + version + "\n是否现在就打开主页下载新版本？\n主页：http://example.org/home";
}

// What a real (not headless) box showed.
struct SeenBox
{
    QStringList labelTexts;
    bool plainTextOnly = true;
    bool opensLinks = false;
    QStringList buttonTexts;
};

} // namespace

class TestUpdateFunKiv : public QObject
{
    Q_OBJECT

private:
    TestHttpServer server;
    TestHttpServer tlsServer;
    bool tlsReady = false;
    QTemporaryDir folder;
    std::unique_ptr<QTemporaryDir> settingsFolder;
    int checks = 0;

    // Runs one check against a document and waits until it has come to its end; the path
    // the document was served at.
    QString runCheck(const QByteArray& document, QMessageBox::StandardButton answer = QMessageBox::Ok)
    {
        const QString path = QString("/check%1/updateinfo.xml").arg(checks + 1);
        server.setRoute(path, 200, document);
        runCheckAt(server.url(path), answer);
        return path;
    }

    // The folder of the next check is check<n>/duZozodKivUpdate/update.
    QString runCheckAt(const QString& url, QMessageBox::StandardButton answer = QMessageBox::Ok)
    {
        const QString saveDir = folder.filePath(QString("check%1/duZozodKivUpdate/update").arg(++checks));
        KivMessageBox::setNextAnswer(answer);
        auto* check = new UpdateFunKiv(1, url, saveDir);
        [&] { QTRY_VERIFY(check->isSettled()); }();
        check->deleteLater();
        return saveDir;
    }

    // Shows the next box for real; once it is up, notes what it shows and clicks what choose picks.
    void answerRealBox(SeenBox& seen, std::function<QAbstractButton*(QMessageBox*)> choose)
    {
        KivMessageBox::setHeadless(false);
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [poll, &seen, choose] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            poll->deleteLater();
            for (QLabel* label : box->findChildren<QLabel*>()) {
                if (label->text().isEmpty())
                    continue;
                seen.labelTexts.append(label->text());
                seen.plainTextOnly = seen.plainTextOnly && label->textFormat() == Qt::PlainText;
                seen.opensLinks = seen.opensLinks || label->openExternalLinks();
            }
            for (QAbstractButton* button : box->buttons())
                seen.buttonTexts.append(button->text());
            choose(box)->click();
        });
        poll->start(20);
    }

    static QAbstractButton* buttonNamed(QMessageBox* box, const QString& text)
    {
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == text)
                return button;
        }
        return box->button(QMessageBox::Cancel);
    }

    static void redirect(TestHttpServer& on, const QString& path, int status, const QString& target)
    {
        TestHttpServer::Route route;
        route.status = status;
        route.body = "<html><body>Moved</body></html>";
        route.location = target.toUtf8();
        on.setRoute(path, route);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        KivDesktopServices::setRecording(true);
        QVERIFY(server.start());
        tlsReady = TestHttpServer::trustLoopbackCertificate() && tlsServer.startTls();
        // Short stalls and pauses: every retry of a failing check is over in moments.
        MyDownloadManager::setDefaultTransferTimeout(200);
        MyDownloadManager::setDefaultRetryPause(10);
    }

    void init()
    {
        KivMessageBox::clearShownTexts();
        KivDesktopServices::clearRecorded();
        server.resetCounts();
        // Every test remembers declined versions in a scratch place of its own.
        settingsFolder = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder->path());
    }

    void cleanup() { KivMessageBox::setHeadless(true); }

    void newerVersionOffersTheHomePage()
    {
        runCheck(updateXml("<VERSIONNOW>2.0</VERSIONNOW><VERSIONCODE>2</VERSIONCODE>"
                           "<DOWNURL>http://example.org/d.zip</DOWNURL>"
                           "<WEBURL>http://example.org/home</WEBURL>"));
        QCOMPARE(
            KivMessageBox::shownTexts(),
            QStringList("发现新版本\n新版本为：2.0\n是否现在就打开主页下载新版本？\n主页：http://example.org/home"));
        QCOMPARE(KivDesktopServices::openedUrls(), QList<QUrl>({QUrl("http://example.org/home")}));
    }

    void cancelOpensNothing()
    {
        runCheck(updateXml("<VERSIONCODE>2</VERSIONCODE><WEBURL>http://example.org/</WEBURL>"), QMessageBox::Cancel);
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
        QTest::newRow("nested one level deeper") << updateXml("<info><VERSIONCODE>5</VERSIONCODE></info>");
        QTest::newRow("malformed") << QByteArray("<updateKiv><VERSIONCODE>5</VERSIONCODE>");
        QTest::newRow("nested 300000 deep") << updateXml(
            "<VERSIONCODE>5</VERSIONCODE>" + QByteArray("<a>").repeated(300000) + QByteArray("</a>").repeated(300000));
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

    void anyDocumentElementIsRead_data()
    {
        QTest::addColumn<QByteArray>("root");
        QTest::newRow("update") << QByteArray("update");
        QTest::newRow("in capitals") << QByteArray("UPDATEKIV");
        QTest::newRow("prefixed") << QByteArray("k:info xmlns:k=\"urn:kiv\"");
    }
    void anyDocumentElementIsRead()
    {
        QFETCH(QByteArray, root);
        const QString path = runCheck(updateXml("<VERSIONNOW>2.0</VERSIONNOW><VERSIONCODE>2</VERSIONCODE>"
                                                "<WEBURL>http://example.org/home</WEBURL>",
                                                root));
        QCOMPARE(KivMessageBox::shownTexts(), QStringList(offerText("2.0")));
        QCOMPARE(server.requestCount(path), 1);
    }

    void webPageIsRefusedAndNotAskedForAgain_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::newRow("html holding a version") << updateXml("<VERSIONCODE>9</VERSIONCODE>", "html");
        QTest::newRow("HTML") << QByteArray("<HTML><BODY><VERSIONCODE>9</VERSIONCODE></BODY></HTML>");
        QTest::newRow("XHTML") << QByteArray("<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\">"
                                             "<body>Log in first</body></html>");
        QTest::newRow("a portal's page, not XML")
            << QByteArray("<!DOCTYPE html><html><head><meta charset=utf-8><title>Log in</title></head></html>");
    }
    void webPageIsRefusedAndNotAskedForAgain()
    {
        QFETCH(QByteArray, page);
        const QString path = runCheck(page);
        QVERIFY(KivMessageBox::shownTexts().isEmpty());
        QVERIFY(KivDesktopServices::openedUrls().isEmpty());
        QVERIFY(!QFile::exists(folder.filePath(QString("check%1/duZozodKivUpdate/update/updateinfo.xml").arg(checks))));
        // Ten retries are allowed, but the page would only come again; the next start asks anew.
        QTest::qWait(100);
        QCOMPARE(server.requestCount(path), 1);
    }

    void unwritableFolderEndsTheCheckQuietly()
    {
        QFile blocker(folder.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        server.setRoute("/unwritable/updateinfo.xml", 200, versionXml(9));
        auto* check = new UpdateFunKiv(1, server.url("/unwritable/updateinfo.xml"), folder.filePath("blocker/update"));
        QTRY_VERIFY(check->isSettled());
        QTest::qWait(100);
        QCOMPARE(server.requestCount("/unwritable/updateinfo.xml"), 1);
        QVERIFY(KivMessageBox::shownTexts().isEmpty());
        delete check;
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

    void servedTextIsShownAsPlainText()
    {
        SeenBox seen;
        answerRealBox(seen, [](QMessageBox* box) { return box->button(QMessageBox::Cancel); });
        const QString version = "<a href=\"file:///etc/passwd\">2.0</a>";
        runCheck(updateXml("<VERSIONNOW><![CDATA[" + version.toUtf8()
                           + "]]></VERSIONNOW>"
                             "<VERSIONCODE>2</VERSIONCODE><WEBURL>http://example.org/home</WEBURL>"));
        QCOMPARE(seen.labelTexts, QStringList({"发现新版本", offerText(version).section('\n', 1)}));
        QVERIFY(seen.plainTextOnly);
        QVERIFY(!seen.opensLinks);
        QVERIFY(KivDesktopServices::openedUrls().isEmpty());
    }

    void declinedVersionIsNotOfferedAgainButANewerOneIs()
    {
        runCheck(versionXml(3), QMessageBox::Ignore); // the third button
        QCOMPARE(KivMessageBox::shownTexts(), QStringList(offerText("3.0")));
        QVERIFY(KivDesktopServices::openedUrls().isEmpty());
        QCOMPARE(UpdateFunKiv::declinedVersionCode(), 3);
        QVERIFY(!QDir(settingsFolder->path()).isEmpty()); // kept in the scratch settings

        KivMessageBox::clearShownTexts();
        runCheck(versionXml(3));
        runCheck(versionXml(2));
        QVERIFY(KivMessageBox::shownTexts().isEmpty());

        runCheck(versionXml(4));
        QCOMPARE(KivMessageBox::shownTexts(), QStringList(offerText("4.0")));
        QCOMPARE(KivDesktopServices::openedUrls(), QList<QUrl>({QUrl("http://example.org/home")}));
    }

    void versionDeclinedForNowIsOfferedAgain()
    {
        runCheck(versionXml(5), QMessageBox::Cancel);
        runCheck(versionXml(5), QMessageBox::Cancel);
        QCOMPARE(KivMessageBox::shownTexts(), QStringList({offerText("5.0"), offerText("5.0")}));
        QCOMPARE(UpdateFunKiv::declinedVersionCode(), 0);
    }

    void theThirdButtonOfTheRealBoxDeclinesTheVersion()
    {
        SeenBox seen;
        answerRealBox(seen, [](QMessageBox* box) { return buttonNamed(box, "不再提醒此版本"); });
        runCheck(versionXml(6));
        QCOMPARE(seen.buttonTexts.size(), 3);
        QVERIFY(seen.buttonTexts.contains("不再提醒此版本"));
        QCOMPARE(UpdateFunKiv::declinedVersionCode(), 6);
        QVERIFY(KivDesktopServices::openedUrls().isEmpty());
        KivMessageBox::setHeadless(true);
        runCheck(versionXml(6));
        QVERIFY(KivMessageBox::shownTexts().isEmpty());
    }

    void onlyTwoHundredAnswersAreDocuments_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<bool>("needsTls");
        server.setRoute("/doc.xml", 200, versionXml(7));
        tlsServer.setRoute("/doc.xml", 200, versionXml(7));
        server.setRoute("/missing.xml", 404, versionXml(7));
        server.setRoute("/moved-nowhere.xml", 301, versionXml(7));
        server.setRoute("/portal", 200,
                        "<!DOCTYPE html><html><head><meta charset=utf-8>"
                        "<title>Log in</title></head><body>Log in first</body></html>");
        redirect(server, "/to-portal.xml", 302, server.url("/portal"));
        redirect(server, "/to-http.xml", 301, server.url("/doc.xml"));
        redirect(server, "/to-https.xml", 302, tlsServer.url("/doc.xml"));
        redirect(tlsServer, "/to-http.xml", 301, server.url("/doc.xml"));
        QTest::newRow("404 with a document as its page") << server.url("/missing.xml") << false << false;
        QTest::newRow("301 without Location, a document as its body")
            << server.url("/moved-nowhere.xml") << false << false;
        QTest::newRow("302 to a portal's login page") << server.url("/to-portal.xml") << false << false;
        QTest::newRow("301 http to http") << server.url("/to-http.xml") << true << false;
        QTest::newRow("302 http to https") << server.url("/to-https.xml") << true << true;
        QTest::newRow("301 https to http") << tlsServer.url("/to-http.xml") << false << true;
    }
    void onlyTwoHundredAnswersAreDocuments()
    {
        QFETCH(QString, start);
        QFETCH(bool, offered);
        QFETCH(bool, needsTls);
        if (needsTls && !tlsReady)
            QSKIP("no TLS on this machine");
        const QString saveDir = runCheckAt(start);
        QCOMPARE(KivMessageBox::shownTexts(), offered ? QStringList(offerText("7.0")) : QStringList());
        QCOMPARE(QFile::exists(saveDir + "/updateinfo.xml"), offered);
        if (start.startsWith("https:") && !offered)
            QCOMPARE(server.requestCount("/doc.xml"), 0);
    }

    void stalledDocumentIsAFailureAndAskedForAgain()
    {
        TestHttpServer::Route silent;
        silent.delivery = TestHttpServer::Delivery::Silent;
        server.setRoute("/stalled/updateinfo.xml", silent);
        KivMessageBox::setNextAnswer(QMessageBox::Cancel);
        auto* check = new UpdateFunKiv(1, server.url("/stalled/updateinfo.xml"), folder.filePath("stalled"));
        QTRY_COMPARE(server.requestCount("/stalled/updateinfo.xml"), 1);
        server.setRoute("/stalled/updateinfo.xml", 200, versionXml(8));
        QTRY_VERIFY(check->isSettled());
        QVERIFY(server.requestCount("/stalled/updateinfo.xml") >= 2);
        QCOMPARE(KivMessageBox::shownTexts(), QStringList(offerText("8.0")));
        delete check;
    }

    void serverThatNeverAnswersEndsTheCheck()
    {
        TestHttpServer::Route silent;
        silent.delivery = TestHttpServer::Delivery::Silent;
        server.setRoute("/never/updateinfo.xml", silent);
        auto* check = new UpdateFunKiv(1, server.url("/never/updateinfo.xml"), folder.filePath("never"));
        // Eleven attempts of 0.2 s each.
        QTRY_VERIFY_WITH_TIMEOUT(check->isSettled(), 15000);
        QCOMPARE(server.requestCount("/never/updateinfo.xml"), 11);
        QVERIFY(KivMessageBox::shownTexts().isEmpty());
        delete check;
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
