// The advertisement banner: rotation, pictures from the cache and from the site, pruning, clicks
// on web and program entries (asked first, from trusted addresses only), unsafe list values,
// downloads that cannot be written, and the list download when the site is away, stalls or
// answers with something that is no list. What its boxes say is in tst_kivadboxes.

#include "adlist.h"
#include "common/desktopservices.h"
#include "common/dialogs.h"
#include "online/kivadviewbutton.h"
#include "online/mydownloadmanager.h"
#include "testhttpserver.h"
#include "testsupport.h"

#include <QBuffer>
#include <QImage>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(TestHttpServer::Route)

namespace {

QByteArray pngPicture()
{
    QImage image(150, 100, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// The entry on show, told by the title in its placeholder text.
QString titleOnShow(const QPushButton& button)
{
    return button.text().section('\n', 0, 0);
}

} // namespace

class TestKivAdViewButton : public QObject
{
    Q_OBJECT

private:
    TestHttpServer server;

    QStringList ticks(KivAdViewButton& banner, const QPushButton& button, int count)
    {
        QStringList shown{titleOnShow(button)}; // the tick run by the list load
        for (int i = 1; i < count; ++i) {
            banner.slotsShowNext();
            shown.append(titleOnShow(button));
        }
        return shown;
    }

    static QStringList repeated(const QString& title, int times)
    {
        QStringList list;
        for (int i = 0; i < times; ++i)
            list.append(title);
        return list;
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        KivDesktopServices::setRecording(true);
        QVERIFY(server.start());
        server.serveFolder(KIVEXCEL_SOURCE_DIR "/site");
        // Stalls and retries of downloads end in moments.
        MyDownloadManager::setDefaultTransferTimeout(300);
        MyDownloadManager::setDefaultRetryPause(20);
    }

    void init()
    {
        server.resetCounts();
        KivDesktopServices::clearRecorded();
        KivMessageBox::clearShownTexts();
    }

    void durationsRotateAsWritten()
    {
        QTemporaryDir cache;
        QPushButton button;
        KivAdViewButton banner(&button);
        loadList(banner, cache.path(),
                 {{"web-link", "a", "", "a.png", "", 5, "A"},
                  {"web-link", "b", "", "b.png", "", 3, "B"},
                  {"web-link", "c", "", "c.png", "", 10, "C"}});
        const QStringList cycle = repeated("A", 5) + repeated("B", 3) + repeated("C", 10);
        QCOMPARE(ticks(banner, button, 36), cycle + cycle);
    }

    void zeroDurationStaysOnShow()
    {
        QTemporaryDir cache;
        QPushButton button;
        KivAdViewButton banner(&button);
        loadList(banner, cache.path(),
                 {{"web-link", "a", "", "a.png", "", 2, "A"},
                  {"web-link", "b", "", "b.png", "", 0, "B"},
                  {"web-link", "c", "", "c.png", "", 2, "C"}});
        QCOMPARE(ticks(banner, button, 20), repeated("A", 2) + repeated("B", 18));
    }

    void firstZeroDurationIsPassedOverAtTheFirstTick()
    {
        QTemporaryDir cache;
        QPushButton button;
        KivAdViewButton banner(&button);
        loadList(banner, cache.path(),
                 {{"web-link", "a", "", "a.png", "", 0, "A"}, {"web-link", "b", "", "b.png", "", 2, "B"}});
        QCOMPARE(ticks(banner, button, 5), QStringList({"B", "B", "A", "A", "A"}));
    }

    void cachedPictureShowsAtOnce()
    {
        QTemporaryDir cache;
        writeFile(cache.path() + "/a/a.png", pngPicture());
        QPushButton button;
        button.setFixedSize(150, 100);
        KivAdViewButton banner(&button);
        banner.startAdView(); // connects the picture player; the list URL is empty and fails
        loadList(banner, cache.path(), {{"web-link", "a", "", "a.png", "", 5, "A"}});
        QVERIFY(button.text().isEmpty());
        QTRY_VERIFY(!button.icon().isNull());
        QCOMPARE(button.iconSize(), QSize(150, 100));
    }

    void missingPictureShowsAfterItsDownload()
    {
        QTemporaryDir cache;
        TestHttpServer::Route slowPicture;
        slowPicture.body = pngPicture();
        slowPicture.delivery = TestHttpServer::Delivery::Slow;
        slowPicture.pieceBytes = 200;
        slowPicture.pauseMs = 20;
        server.setRoute("/slow.png", slowPicture);
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.startAdView();
        loadList(banner, cache.path(), {{"web-link", "a", "", "a.png", server.url("/slow.png"), 5, "A"}});
        QCOMPARE(button.text(), QString("A\n图片加载中。。"));
        QTRY_VERIFY(QFile::exists(cache.path() + "/a/a.png"));
        // The picture shows from the next tick on (the banner's own one-second tick may come first
        // on a busy machine).
        banner.slotsShowNext();
        QVERIFY(button.text().isEmpty());
        QTRY_VERIFY(!button.icon().isNull());
    }

    void pruningKeepsTheListAndCurrentEntriesOnly()
    {
        QTemporaryDir cache;
        QTemporaryDir outside;
        writeFile(cache.path() + "/dropped/dropped.sh", "#!/bin/sh\n");
        writeFile(cache.path() + "/kept/k.png", pngPicture());
        writeFile(cache.path() + "/loose-file", "x");
        writeFile(outside.path() + "/precious.txt", "mine");
        QVERIFY(QFile::link(outside.path(), cache.path() + "/linked"));
        QPushButton button;
        KivAdViewButton banner(&button);
        loadList(banner, cache.path(), {{"pc-app", "kept", "", "k.png", "", 5, "K"}});
        QVERIFY(!QFileInfo::exists(cache.path() + "/dropped"));
        QVERIFY(QFile::exists(cache.path() + "/kept/k.png"));
        QVERIFY(QFile::exists(cache.path() + "/ad.xml"));
        QVERIFY(QFile::exists(cache.path() + "/loose-file"));
        QVERIFY(QFile::exists(outside.path() + "/precious.txt"));
    }

    void unsafeNamesAreSkipped()
    {
        QTemporaryDir root;
        const QString cache = root.path() + "/cache";
        writeFile(root.path() + "/victim/keep.txt", "mine");
        QPushButton button;
        KivAdViewButton banner(&button);
        loadList(banner, cache,
                 {{"pc-app", "../victim", server.url("/p"), "x.png", server.url("/x.png"), 1, "up"},
                  {"pc-app", root.path() + "/abs", server.url("/p"), "x.png", "", 1, "absolute"},
                  {"pc-app", "a\\..\\b", server.url("/p"), "x.png", "", 1, "backslash"},
                  {"pc-app", "ok", server.url("/p"), "../../x.png", server.url("/x.png"), 1, "logo"},
                  {"pc-app", "..", server.url("/p"), "x.png", "", 1, "dots"},
                  {"web-link", "fine", "http://127.0.0.1/", "f.png", "", 1, "safe"}});
        QCOMPARE(ticks(banner, button, 3), repeated("safe", 3));
        QVERIFY(QFile::exists(root.path() + "/victim/keep.txt"));
        QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"cache", "victim"}));
        QCOMPARE(QDir(cache).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"ad.xml", "fine"}));
        QTest::qWait(200);
        QCOMPARE(server.totalRequests(), 0);
    }

    void webEntryOpensOnlyWebAddresses()
    {
        QTemporaryDir cache;
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.startAdView();
        loadList(banner, cache.path(),
                 {{"web-link", "w", "http://127.0.0.1/page?x=1", "w.png", "", 1, "W"},
                  {"web-link", "f", "file:///etc/passwd", "f.png", "", 1, "F"}});
        button.click();
        banner.slotsShowNext();
        button.click();
        QCOMPARE(KivDesktopServices::openedUrls(), QList<QUrl>({QUrl("http://127.0.0.1/page?x=1")}));
        QVERIFY(KivDesktopServices::startedPrograms().isEmpty());
    }

    void twoClicksDuringAProgramDownloadStartOneDownload()
    {
        QTemporaryDir cache;
        TestHttpServer::Route slowProgram;
        slowProgram.body = QByteArray("#!/bin/sh\necho hello\n").repeated(50);
        slowProgram.delivery = TestHttpServer::Delivery::Slow;
        slowProgram.pieceBytes = 100;
        slowProgram.pauseMs = 30;
        server.setRoute("/prog.sh", slowProgram);
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.startAdView();
        loadList(banner, cache.path(), {{"pc-app", "prog.sh", server.url("/prog.sh"), "p.png", "", 5, "Prog"}});
        KivMessageBox::setNextAnswer(QMessageBox::Yes);
        button.click();
        button.click(); // no second question while the first download runs
        QCOMPARE(KivMessageBox::shownTexts(), QStringList("是否运行“Prog”？\n程序：prog.sh\n来自：127.0.0.1"));
        QProgressDialog* dialog = visibleProgressDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->labelText(), QString("正在下载“Prog”"));
        const QString program = cache.path() + "/prog.sh/prog.sh";
        QTRY_COMPARE(KivDesktopServices::startedPrograms().size(), 1);
        QCOMPARE(KivDesktopServices::startedPrograms().first().program, program);
        QCOMPARE(server.requestCount("/prog.sh"), 1);
        QVERIFY(!QFileInfo(program).isExecutable());

        KivMessageBox::setNextAnswer(QMessageBox::Yes);
        button.click(); // in the cache now: started once the user agrees again
        QCOMPARE(KivMessageBox::shownTexts().size(), 2);
        QCOMPARE(KivDesktopServices::startedPrograms().size(), 2);
        QCOMPARE(server.requestCount("/prog.sh"), 1);
    }

    void cancelledProgramDownloadCanBeClickedAgain()
    {
        QTemporaryDir cache;
        TestHttpServer::Route slowProgram;
        slowProgram.body = QByteArray(5000, 'x');
        slowProgram.delivery = TestHttpServer::Delivery::Slow;
        slowProgram.pauseMs = 50;
        server.setRoute("/slowprog", slowProgram);
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.startAdView();
        loadList(banner, cache.path(), {{"pc-app", "slowprog", server.url("/slowprog"), "p.png", "", 5, "S"}});
        KivMessageBox::setNextAnswer(QMessageBox::Yes);
        KivMessageBox::setNextAnswer(QMessageBox::Yes);
        button.click();
        QProgressDialog* dialog = visibleProgressDialog();
        QVERIFY(dialog);
        QTRY_COMPARE(server.requestCount("/slowprog"), 1);
        dialog->findChild<QPushButton*>()->click();
        QTRY_VERIFY(!visibleProgressDialog());
        QTest::qWait(100);
        QVERIFY(KivDesktopServices::startedPrograms().isEmpty());
        button.click();
        QTRY_COMPARE(server.requestCount("/slowprog"), 2);
        visibleProgressDialog()->findChild<QPushButton*>()->click();
        QTest::qWait(100);
    }

    void programRunsOnlyWhenTheUserSaysYes()
    {
        QTemporaryDir cache;
        server.setRoute("/asked.sh", 200, "#!/bin/sh\necho asked\n");
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.startAdView();
        loadList(banner, cache.path(), {{"pc-app", "asked.sh", server.url("/asked.sh"), "a.png", "", 5, "Asked"}});
        const QString question = "是否运行“Asked”？\n程序：asked.sh\n来自：127.0.0.1";
        const QString program = cache.path() + "/asked.sh/asked.sh";

        KivMessageBox::setNextAnswer(QMessageBox::No);
        button.click();
        button.click(); // a box closed without an answer is a no too
        QTest::qWait(200);
        QCOMPARE(KivMessageBox::shownTexts(), QStringList({question, question}));
        QCOMPARE(server.requestCount("/asked.sh"), 0);
        QVERIFY(!QFile::exists(program));

        KivMessageBox::setNextAnswer(QMessageBox::Yes);
        button.click();
        QTRY_COMPARE(KivDesktopServices::startedPrograms().size(), 1);
        QCOMPARE(KivDesktopServices::startedPrograms().first().program, program);

        KivMessageBox::setNextAnswer(QMessageBox::No);
        button.click(); // in the cache: still asked, and still not started on No
        QCOMPARE(KivMessageBox::shownTexts().size(), 4);
        QCOMPARE(KivDesktopServices::startedPrograms().size(), 1);
    }

    void trustedProgramAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("trusted");
        QTest::newRow("https elsewhere") << "https://example.org/p.exe" << true;
        QTest::newRow("http on the site's loopback host") << "http://127.0.0.1:8917/p.sh" << true;
        QTest::newRow("http on that host, other port") << "http://127.0.0.1:1234/p.sh" << true;
        QTest::newRow("http elsewhere") << "http://example.org/p.exe" << false;
        QTest::newRow("http on another loopback name") << "http://localhost:8917/p.sh" << false;
        QTest::newRow("http on a look-alike host") << "http://127.0.0.1.example.org/p.sh" << false;
        QTest::newRow("http with the host as user name") << "http://127.0.0.1@example.org/p.sh" << false;
        QTest::newRow("ftp") << "ftp://127.0.0.1/p.sh" << false;
        QTest::newRow("file") << "file:///usr/bin/xterm" << false;
        QTest::newRow("empty") << "" << false;
    }
    void trustedProgramAddresses()
    {
        QFETCH(QString, address);
        QFETCH(bool, trusted);
        QCOMPARE(KivAdViewButton::isTrustedProgramAddress(QUrl(address)), trusted);
    }

    void programRedirectToAnUntrustedAddressIsNotFollowed()
    {
        QTemporaryDir cache;
        TestHttpServer::Route hop;
        hop.status = 302;
        hop.location = "http://localhost:" + QByteArray::number(server.port()) + "/elsewhere.sh";
        server.setRoute("/hop.sh", hop);
        server.setRoute("/elsewhere.sh", 200, "#!/bin/sh\n");
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.startAdView();
        loadList(banner, cache.path(), {{"pc-app", "hop.sh", server.url("/hop.sh"), "h.png", "", 5, "Hop"}});
        KivMessageBox::setNextAnswer(QMessageBox::Yes);
        button.click();
        QTRY_VERIFY(!visibleProgressDialog()); // tried, retried, given up
        QVERIFY(server.requestCount("/hop.sh") >= 1);
        QCOMPARE(server.requestCount("/elsewhere.sh"), 0);
        QVERIFY(!QFile::exists(cache.path() + "/hop.sh/hop.sh"));
        QVERIFY(KivDesktopServices::startedPrograms().isEmpty());
    }

    void answersThatAreNoListAreAskedForAgain_data()
    {
        QTest::addColumn<TestHttpServer::Route>("route");
        const QByteArray list = listXml({{"web-link", "a", "http://127.0.0.1/", "a.png", "", 5, "A"}});
        const QByteArray portal = "<!DOCTYPE html><html><head><meta charset=utf-8><title>Log in</title>"
                                  "</head><body>Log in first</body></html>";
        TestHttpServer::Route route;
        route.status = 404;
        route.body = list;
        QTest::newRow("404 with a list as its page") << route;
        route.status = 301;
        QTest::newRow("301 without Location, a list as its body") << route;
        route.status = 302;
        route.body = "<html><body>Moved</body></html>";
        route.location = server.url("/portal.html").toUtf8();
        server.setRoute("/portal.html", 200, portal);
        QTest::newRow("302 to a portal's login page") << route;
        route = TestHttpServer::Route();
        route.body = portal;
        QTest::newRow("a portal's login page in place of the list") << route;
        route.body = "<html><body>Log in first</body></html>";
        QTest::newRow("well-formed, but a web page") << route;
        route.body = "<HTML><BODY><ad><NAME>a</NAME></ad></BODY></HTML>";
        QTest::newRow("a web page in capitals, holding an entry") << route;
        route.delivery = TestHttpServer::Delivery::Silent;
        QTest::newRow("never answers") << route;
    }
    void answersThatAreNoListAreAskedForAgain()
    {
        QFETCH(TestHttpServer::Route, route);
        QTemporaryDir cache;
        server.setRoute("/nolist.xml", route);
        QPushButton button;
        const QString original = button.text();
        KivAdViewButton banner(&button);
        banner.setListUrl(server.url("/nolist.xml"));
        banner.setSaveDir(cache.path());
        banner.setListRetryPause(50, 50);
        banner.startAdView();
        QTRY_VERIFY(server.requestCount("/nolist.xml") >= 2);
        QCOMPARE(button.text(), original);
        QVERIFY(!QFile::exists(cache.path() + "/ad.xml"));

        // Once the site answers with the list, the banner shows it.
        server.setRoute("/nolist.xml", 200, listXml({{"web-link", "a", "http://127.0.0.1/", "a.png", "", 5, "A"}}));
        QTRY_COMPARE(button.text(), QString("A\n图片加载中。。"));
    }

    void listWithAnotherDocumentElementIsShown()
    {
        QTemporaryDir cache;
        server.setRoute("/other-root.xml", 200,
                        listXml({{"web-link", "o", "http://127.0.0.1/", "o.png", "", 5, "O"}}, "ads"));
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.setListUrl(server.url("/other-root.xml"));
        banner.setSaveDir(cache.path());
        banner.startAdView();
        QTRY_COMPARE(button.text(), QString("O\n图片加载中。。"));
        QVERIFY(QFile::exists(cache.path() + "/ad.xml"));
        QCOMPARE(server.requestCount("/other-root.xml"), 1);
    }

    void pictureThatCannotBeWrittenLeavesThePlaceholder()
    {
        QTemporaryDir cache;
        writeFile(cache.path() + "/a", "a file where the entry's folder belongs");
        server.setRoute("/unwritable.png", 200, pngPicture());
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.startAdView();
        loadList(banner, cache.path(), {{"web-link", "a", "", "a.png", server.url("/unwritable.png"), 5, "A"}});
        QTRY_COMPARE(server.requestCount("/unwritable.png"), 1);
        QTest::qWait(200); // ten retries are allowed: none is taken
        QCOMPARE(server.requestCount("/unwritable.png"), 1);
        banner.slotsShowNext();
        QCOMPARE(button.text(), QString("A\n图片加载中。。"));
        QVERIFY(button.icon().isNull());
    }

    void programThatCannotBeWrittenIsNotStarted()
    {
        QTemporaryDir cache;
        writeFile(cache.path() + "/unwritable.sh", "a file where the entry's folder belongs");
        server.setRoute("/unwritable.sh", 200, "#!/bin/sh\necho hello\n");
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.startAdView();
        loadList(banner, cache.path(),
                 {{"pc-app", "unwritable.sh", server.url("/unwritable.sh"), "u.png", "", 5, "U"}});
        KivMessageBox::setNextAnswer(QMessageBox::Yes);
        button.click();
        QTRY_VERIFY(!visibleProgressDialog());
        QTest::qWait(100);
        QCOMPARE(server.requestCount("/unwritable.sh"), 1);
        QVERIFY(KivDesktopServices::startedPrograms().isEmpty());

        KivMessageBox::setNextAnswer(QMessageBox::Yes);
        button.click(); // a failed download: the entry may be tried again
        QTRY_COMPARE(server.requestCount("/unwritable.sh"), 2);
        QTRY_VERIFY(!visibleProgressDialog());
        QCOMPARE(KivMessageBox::shownTexts().size(), 2);
        QVERIFY(KivDesktopServices::startedPrograms().isEmpty());
    }

    void listBehindARedirectLoads()
    {
        QTemporaryDir cache;
        TestHttpServer::Route moved;
        moved.status = 301;
        moved.location = server.url("/moved-list.xml").toUtf8();
        server.setRoute("/old-list.xml", moved);
        server.setRoute("/moved-list.xml", 200, listXml({{"web-link", "m", "http://127.0.0.1/", "m.png", "", 5, "M"}}));
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.setListUrl(server.url("/old-list.xml"));
        banner.setSaveDir(cache.path());
        banner.startAdView();
        QTRY_COMPARE(button.text(), QString("M\n图片加载中。。"));
        QCOMPARE(server.requestCount("/old-list.xml"), 1);
    }

    void siteListLoadsAndFetchesItsPictures()
    {
        QTemporaryDir cache;
        const QString listPath = "/myad/pcad/mypcad1.xml";
        const QString siteBase = "http://127.0.0.1:8917";
        // The shipped list names the default host; serve it with this server's address instead.
        QFile shipped(KIVEXCEL_SOURCE_DIR "/site" + listPath);
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        server.setRoute("/list.xml", 200, shipped.readAll().replace(siteBase.toUtf8(), server.url("").toUtf8()));
        QPushButton button;
        button.setFixedSize(150, 100);
        KivAdViewButton banner(&button);
        banner.setListUrl(server.url("/list.xml"));
        banner.setSaveDir(cache.path() + "/admw");
        banner.startAdView();
        QTRY_VERIFY(QFile::exists(cache.path() + "/admw/kivtools/kivtools.gif"));
        QTRY_VERIFY(QFile::exists(cache.path() + "/admw/kivhello.sh/kivhello.png"));
        QCOMPARE(server.requestCount("/list.xml"), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!button.icon().isNull(), 3000); // the one-second tick shows it
        QVERIFY(button.text().isEmpty());
    }

    void offlineListRequestsBackOff()
    {
        QTemporaryDir cache;
        server.setRoute("/down.xml", 500, "down");
        QPushButton button;
        const QString original = button.text();
        KivAdViewButton banner(&button);
        banner.setListUrl(server.url("/down.xml"));
        banner.setSaveDir(cache.path());
        banner.setListRetryPause(100, 400);
        banner.startAdView();
        QTest::qWait(2000);
        // 0, 0.1, 0.3, 0.7, 1.1, 1.5, 1.9 s: the pause doubles up to its longest.
        const int requests = server.requestCount("/down.xml");
        // A busy machine may answer late and so ask fewer times, never more.
        QVERIFY2(requests >= 2 && requests <= 8, qPrintable(QString::number(requests)));
        QCOMPARE(button.text(), original);
    }

    void offlineDefaultsAskOnlyAFewTimes()
    {
        QTemporaryDir cache;
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.setListUrl(QString("http://127.0.0.1:%1/myad/pcad/mypcad1.xml").arg(TestHttpServer::refusedPort()));
        banner.setSaveDir(cache.path());
        banner.startAdView();
        // A route of its own: a request of the test before may still reach the server.
        server.setRoute("/down-counted.xml", 500, "down");
        KivAdViewButton countedBanner(&button);
        countedBanner.setListUrl(server.url("/down-counted.xml"));
        countedBanner.setSaveDir(cache.path() + "/counted");
        countedBanner.startAdView();
        QTest::qWait(3000);
        // Pauses of 2 s, 4 s, ... : two requests in three seconds (about five a minute).
        const int requests = server.requestCount("/down-counted.xml");
        QVERIFY2(requests >= 1 && requests <= 2, qPrintable(QString::number(requests)));
    }

    void bannerOutlivesItsButton()
    {
        QTemporaryDir cache;
        auto* button = new QPushButton;
        KivAdViewButton banner(button);
        banner.startAdView();
        loadList(banner, cache.path(), {{"web-link", "a", "http://127.0.0.1/", "a.png", "", 1, "A"}});
        delete button;
        banner.slotsShowNext();
        banner.slotsAdClicked();
        QCOMPARE(KivDesktopServices::openedUrls().size(), 1); // the entry is still known
    }

    void startBannerOnUsesTheDataFolder()
    {
        QTemporaryDir dataHome;
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
        QPushButton button;
        KivAdViewButton* banner = startBannerOn(&button, "admw");
        QVERIFY(QFileInfo(dataHome.path() + "/DuZozodKiv/admw").isDir());
        delete banner;
        qputenv("XDG_DATA_HOME", saved);
    }
};

QTEST_MAIN(TestKivAdViewButton)
#include "tst_kivadviewbutton.moc"
