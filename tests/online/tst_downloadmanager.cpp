// The download manager against a loopback server: good content, HTTP and connection faults,
// redirects (also through a TLS server), stalls, retries, cancel, the size cap, where files land,
// files that cannot be written, and what the outcome signal says.

#include "online/mydownloadmanager.h"
#include "testhttpserver.h"
#include "testsupport.h"

#include <QLabel>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Outcome
{
    bool isSucceeded = false;
    QString msg, sdir, fname, url;
};

Outcome outcomeAt(const QSignalSpy& spy, int index = 0)
{
    const QList<QVariant> arguments = spy.at(index);
    return {arguments.at(0).toBool(), arguments.at(1).toString(), arguments.at(2).toString(),
            arguments.at(3).toString(), arguments.at(4).toString()};
}

QByteArray bodyOf(int size)
{
    QByteArray body(size, 'k');
    for (int i = 0; i < size; i += 97)
        body[i] = char('a' + i % 26);
    return body;
}

QByteArray fileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QProgressDialog* visibleProgressDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QProgressDialog*>(widget);
        if (dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace

class TestDownloadManager : public QObject
{
    Q_OBJECT

private:
    TestHttpServer server;
    TestHttpServer tlsServer;
    bool tlsReady = false;
    QTemporaryDir folder;

    // Runs one download to its outcome; the manager is kept by the test.
    Outcome download(MyDownloadManager& manager, const QString& path, const QString& saveDir,
                     const QString& fileName = "out.bin")
    {
        return downloadFrom(manager, server.url(path), saveDir, fileName);
    }

    Outcome downloadFrom(MyDownloadManager& manager, const QString& url, const QString& saveDir,
                         const QString& fileName)
    {
        QSignalSpy spy(&manager, &MyDownloadManager::signalDownloadFinished);
        manager.startDownload(saveDir, fileName, url);
        if (!spy.wait(10000))
            return {false, "no outcome", {}, {}, {}};
        QTest::qWait(50); // a second signal would come now
        return spy.count() == 1 ? outcomeAt(spy) : Outcome{false, "more than one outcome", {}, {}, {}};
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(server.start());
        QVERIFY(folder.isValid());
        TestHttpServer::Route large;
        large.body = bodyOf(6 * 1024 * 1024);
        server.setRoute("/good", 200, bodyOf(3000));
        server.setRoute("/large", large);
        large.delivery = TestHttpServer::Delivery::NoLength;
        server.setRoute("/large-unknown", large);
        TestHttpServer::Route unknown;
        unknown.body = bodyOf(2000);
        unknown.delivery = TestHttpServer::Delivery::NoLength;
        server.setRoute("/unknown-length", unknown);
        TestHttpServer::Route truncated;
        truncated.body = bodyOf(4000);
        truncated.delivery = TestHttpServer::Delivery::Truncated;
        server.setRoute("/truncated", truncated);
        TestHttpServer::Route dropped;
        dropped.delivery = TestHttpServer::Delivery::Dropped;
        server.setRoute("/dropped", dropped);
        TestHttpServer::Route slow;
        slow.body = bodyOf(4000);
        slow.delivery = TestHttpServer::Delivery::Slow;
        slow.pieceBytes = 100;
        slow.pauseMs = 40;
        server.setRoute("/slow", slow);
        server.setRoute("/missing", 404, "not here");
        server.setRoute("/broken", 500, "broken");
        server.setRoute("/missing-page", 404, "<!DOCTYPE html><html><body>Not found</body></html>");
        server.setRoute("/moved-nowhere", 301, bodyOf(3000)); // no Location: nothing to follow
        server.setRoute("/choices", 300, bodyOf(3000));       // not a redirect Qt follows
        server.setRoute("/no-content", 204);
        server.setRoute("/portal", 200,
                        "<!DOCTYPE html><html><head><meta charset=utf-8>"
                        "<title>Log in</title></head><body>Log in first</body></html>");

        tlsReady = TestHttpServer::trustLoopbackCertificate() && tlsServer.startTls();
        tlsServer.setRoute("/good", 200, bodyOf(3000));
        redirect(server, "/to-http", 301, server.url("/good"));
        redirect(server, "/to-https", 302, tlsServer.url("/good"));
        redirect(server, "/relative", 302, "/good");
        redirect(server, "/to-file", 302, "file:///etc/passwd");
        redirect(server, "/to-portal", 302, server.url("/portal"));
        redirect(server, "/loop", 302, server.url("/loop"));
        redirect(tlsServer, "/to-https", 301, tlsServer.url("/good"));
        redirect(tlsServer, "/to-http", 301, server.url("/good"));
        redirect(tlsServer, "/to-http-302", 302, server.url("/good"));
        TestHttpServer::Route silent;
        silent.delivery = TestHttpServer::Delivery::Silent;
        server.setRoute("/silent", silent);
        TestHttpServer::Route stalled;
        stalled.body = bodyOf(4000);
        stalled.delivery = TestHttpServer::Delivery::Stalled;
        server.setRoute("/stalled", stalled);
    }

    static void redirect(TestHttpServer& on, const QString& path, int status, const QString& target)
    {
        TestHttpServer::Route route;
        route.status = status;
        route.body = "<html><body>Moved</body></html>";
        route.location = target.toUtf8();
        on.setRoute(path, route);
    }

    void init()
    {
        server.resetCounts();
        tlsServer.resetCounts();
    }

    void successWritesTheFileAndSaysWhere()
    {
        MyDownloadManager manager;
        const Outcome outcome = download(manager, "/good", folder.path());
        QVERIFY2(outcome.isSucceeded, qPrintable(outcome.msg));
        const QString path = folder.path() + "/out.bin";
        QCOMPARE(outcome.msg, "Download of " + server.url("/good") + " succeeded (saved to " + path + ")");
        QCOMPARE(outcome.sdir, folder.path());
        QCOMPARE(outcome.fname, QString("out.bin"));
        QCOMPARE(outcome.url, server.url("/good"));
        QCOMPARE(fileContent(path), bodyOf(3000));
        QVERIFY(!(QFile::permissions(path) & (QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther)));
    }

    void bodiesWithoutLengthAndSlowBodiesArriveWhole()
    {
        MyDownloadManager manager;
        QVERIFY(download(manager, "/unknown-length", folder.path(), "u.bin").isSucceeded);
        QCOMPARE(fileContent(folder.filePath("u.bin")), bodyOf(2000));
        QVERIFY(download(manager, "/slow", folder.path(), "s.bin").isSucceeded); // reused manager
        QCOMPARE(fileContent(folder.filePath("s.bin")), bodyOf(4000));
    }

    void faultsAreFailures_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("404") << "/missing";
        QTest::newRow("404 with a page") << "/missing-page";
        QTest::newRow("301 without Location") << "/moved-nowhere";
        QTest::newRow("300 with a body") << "/choices";
        QTest::newRow("500") << "/broken";
        QTest::newRow("dropped connection") << "/dropped";
        QTest::newRow("truncated body") << "/truncated";
        QTest::newRow("oversized, length known") << "/large";
        QTest::newRow("oversized, length unknown") << "/large-unknown";
    }
    void faultsAreFailures()
    {
        QFETCH(QString, path);
        MyDownloadManager manager;
        const QString fileName = "fault" + QString::number(qHash(path)) + ".bin";
        const Outcome outcome = download(manager, path, folder.path(), fileName);
        QVERIFY(!outcome.isSucceeded);
        QVERIFY2(outcome.msg.startsWith("Download of " + server.url(path) + " failed: "), qPrintable(outcome.msg));
        QVERIFY(!QFile::exists(folder.filePath(fileName)));
    }

    void refusedPortIsAFailure()
    {
        MyDownloadManager manager;
        QSignalSpy spy(&manager, &MyDownloadManager::signalDownloadFinished);
        manager.startDownload(folder.path(), "r.bin",
                              QString("http://127.0.0.1:%1/x").arg(TestHttpServer::refusedPort()));
        QVERIFY(spy.wait(5000));
        QVERIFY(!outcomeAt(spy).isSucceeded);
        QVERIFY(outcomeAt(spy).msg.contains("failed: "));
    }

    void programsMayBeLargerThanDocuments()
    {
        MyDownloadManager manager;
        manager.setMaxBytes(MyDownloadManager::programMaxBytes);
        QVERIFY(download(manager, "/large", folder.path(), "big.bin").isSucceeded);
        QCOMPARE(QFileInfo(folder.filePath("big.bin")).size(), qint64(6 * 1024 * 1024));
    }

    void tenRetriesMakeElevenAttemptsAndOneSignal()
    {
        MyDownloadManager manager;
        manager.setRetryCount(10);
        manager.setRetryPause(5);
        const Outcome outcome = download(manager, "/broken", folder.path());
        QVERIFY(!outcome.isSucceeded);
        QCOMPARE(server.requestCount("/broken"), 11);
    }

    void retriesPauseBetweenAttempts()
    {
        MyDownloadManager manager;
        manager.setRetryCount(2);
        manager.setRetryPause(300);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!download(manager, "/missing", folder.path()).isSucceeded);
        QVERIFY(clock.elapsed() >= 600);
        QCOMPARE(server.requestCount("/missing"), 3);
    }

    void emptySaveFolderWritesToTheCurrentFolder()
    {
        const QString previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        MyDownloadManager manager;
        const Outcome outcome = download(manager, "/good", QString(), "here.bin");
        QDir::setCurrent(previous);
        QVERIFY(outcome.isSucceeded);
        QCOMPARE(outcome.sdir, QString("./"));
        QVERIFY(outcome.msg.endsWith("(saved to ./here.bin)"));
        QCOMPARE(fileContent(folder.filePath("here.bin")), bodyOf(3000));
    }

    void failedWriteIsAFailureNamingTheFileAndTheReason_data()
    {
        QTest::addColumn<QString>("saveDir");
        QTest::addColumn<QString>("fileName");
        QDir(folder.path()).mkpath("taken/name.bin");
        QFile plain(folder.filePath("plain-file"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        QTest::newRow("folder missing") << folder.filePath("no/such/folder") << "out.bin";
        QTest::newRow("folder is a file") << folder.filePath("plain-file") << "out.bin";
        QTest::newRow("name taken by a folder") << folder.filePath("taken") << "name.bin";
    }
    void failedWriteIsAFailureNamingTheFileAndTheReason()
    {
        QFETCH(QString, saveDir);
        QFETCH(QString, fileName);
        MyDownloadManager manager;
        manager.setRetryCount(10);
        manager.setRetryPause(5);
        const Outcome outcome = download(manager, "/good", saveDir, fileName);
        QVERIFY(!outcome.isSucceeded);
        const QString path = saveDir + "/" + fileName;
        const QString start = "Download of " + server.url("/good") + " failed: cannot write " + path + ": ";
        QVERIFY2(outcome.msg.startsWith(start), qPrintable(outcome.msg));
        QVERIFY2(outcome.msg.size() > start.size(), "no reason given");
        QCOMPARE(outcome.sdir, saveDir);
        QCOMPARE(outcome.fname, fileName);
        QVERIFY(!QFileInfo(path).isFile());
        // The folder would refuse the same body again: nothing is fetched twice.
        QCOMPARE(server.requestCount("/good"), 1);
    }

    void cancelFromTheDialogReportsFailureAtOnce()
    {
        MyDownloadManager manager;
        manager.setRetryCount(10);
        manager.setShowProgress(true);
        manager.setProgressLabel("正在下载“<a href=\"file:///etc/passwd\">测试</a>”");
        QSignalSpy spy(&manager, &MyDownloadManager::signalDownloadFinished);
        manager.startDownload(folder.path(), "c.bin", server.url("/slow"));
        QProgressDialog* dialog = visibleProgressDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->labelText(), QString("正在下载“<a href=\"file:///etc/passwd\">测试</a>”"));
        QCOMPARE(dialog->findChild<QLabel*>()->textFormat(), Qt::PlainText); // shown as written
        QCOMPARE(dialog->findChild<QPushButton*>()->text(), QString("取消"));
        QTRY_VERIFY(dialog->value() > 0); // progress reaches the dialog
        dialog->findChild<QPushButton*>()->click();
        QVERIFY(spy.wait(1000));
        QTest::qWait(300);
        QCOMPARE(spy.count(), 1);
        QVERIFY(!outcomeAt(spy).isSucceeded);
        QCOMPARE(server.requestCount("/slow"), 1);
        QVERIFY(!QFile::exists(folder.filePath("c.bin")));
    }

    void cancelBetweenRetriesReportsFailureAtOnce()
    {
        MyDownloadManager manager;
        manager.setRetryCount(10);
        manager.setRetryPause(60000);
        QSignalSpy spy(&manager, &MyDownloadManager::signalDownloadFinished);
        manager.startDownload(folder.path(), "p.bin", server.url("/broken"));
        QTRY_COMPARE(server.requestCount("/broken"), 1);
        QTest::qWait(100);
        QCOMPARE(spy.count(), 0);
        manager.cancelAll();
        QCOMPARE(spy.count(), 1);
        QVERIFY(!outcomeAt(spy).isSucceeded);
        QVERIFY(outcomeAt(spy).msg.contains("failed: "));
        QTest::qWait(100);
        QCOMPARE(server.requestCount("/broken"), 1);
    }

    void anyTwoHundredAnswerIsContent()
    {
        MyDownloadManager manager;
        QVERIFY(download(manager, "/no-content", folder.path(), "empty.bin").isSucceeded);
        QVERIFY(QFileInfo(folder.filePath("empty.bin")).isFile());
    }

    void redirects_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("followed");
        QTest::addColumn<bool>("needsTls");
        QTest::newRow("301 http to http") << server.url("/to-http") << true << false;
        QTest::newRow("302 relative") << server.url("/relative") << true << false;
        QTest::newRow("302 http to https") << server.url("/to-https") << true << true;
        QTest::newRow("301 https to https") << tlsServer.url("/to-https") << true << true;
        QTest::newRow("301 https to http") << tlsServer.url("/to-http") << false << true;
        QTest::newRow("302 https to http") << tlsServer.url("/to-http-302") << false << true;
        QTest::newRow("302 to file:") << server.url("/to-file") << false << false;
        QTest::newRow("302 around in a loop") << server.url("/loop") << false << false;
    }
    void redirects()
    {
        QFETCH(QString, start);
        QFETCH(bool, followed);
        QFETCH(bool, needsTls);
        if (needsTls && !tlsReady)
            QSKIP("no TLS on this machine");
        MyDownloadManager manager;
        const QString fileName = "r" + QString::number(qHash(start)) + ".bin";
        const Outcome outcome = downloadFrom(manager, start, folder.path(), fileName);
        QCOMPARE(outcome.isSucceeded, followed);
        QCOMPARE(outcome.url, start); // the address asked for, wherever the answer came from
        if (followed) {
            QCOMPARE(fileContent(folder.filePath(fileName)), bodyOf(3000));
            return;
        }
        QVERIFY(!QFile::exists(folder.filePath(fileName)));
        QCOMPARE(server.requestCount("/good"), 0); // a refused hop is never taken
        if (start.endsWith("/loop"))               // the first request and the hops allowed
            QCOMPARE(server.requestCount("/loop"), MyDownloadManager::maxRedirects + 1);
    }

    void refusedRedirectsAreRetried()
    {
        if (!tlsReady)
            QSKIP("no TLS on this machine");
        MyDownloadManager manager;
        manager.setRetryCount(2);
        manager.setRetryPause(5);
        const Outcome outcome = downloadFrom(manager, tlsServer.url("/to-http"), folder.path(), "rr.bin");
        QVERIFY(!outcome.isSucceeded);
        QVERIFY2(outcome.msg.endsWith("failed: redirect to " + server.url("/good") + " refused"),
                 qPrintable(outcome.msg));
        QCOMPARE(tlsServer.requestCount("/to-http"), 3);
        QCOMPARE(server.requestCount("/good"), 0);
    }

    void addressCheckCoversEveryHop()
    {
        MyDownloadManager manager;
        manager.setAddressCheck([](const QUrl& url) { return url.path() != "/good"; });
        QVERIFY(!download(manager, "/to-http", folder.path(), "hop.bin").isSucceeded);
        QCOMPARE(server.requestCount("/to-http"), 1);
        QCOMPARE(server.requestCount("/good"), 0);
        QVERIFY(!QFile::exists(folder.filePath("hop.bin")));
    }

    void refusedFirstAddressFailsWithoutARequest_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("file") << "file:///etc/passwd";
        QTest::newRow("empty") << "";
        QTest::newRow("no host") << "http:///x";
    }
    void refusedFirstAddressFailsWithoutARequest()
    {
        QFETCH(QString, address);
        MyDownloadManager manager;
        manager.setRetryCount(10);
        const Outcome outcome = downloadFrom(manager, address, folder.path(), "refused.bin");
        QVERIFY(!outcome.isSucceeded);
        QVERIFY2(outcome.msg.endsWith("failed: address refused"), qPrintable(outcome.msg));
        QVERIFY(!QFile::exists(folder.filePath("refused.bin")));
        QCOMPARE(server.totalRequests(), 0);
    }

    void refusedContentIsNeitherSavedNorFetchedAgain()
    {
        const auto isList = [](const QByteArray& body) { return body.startsWith("<pcad>"); };
        for (const QString& path : {QString("/portal"), QString("/to-portal")}) {
            MyDownloadManager manager;
            manager.setContentCheck(isList);
            manager.setRetryCount(10);
            manager.setRetryPause(5);
            const Outcome outcome = download(manager, path, folder.path(), "list.xml");
            QVERIFY(!outcome.isSucceeded);
            QVERIFY2(outcome.msg.endsWith("failed: not the expected content"), qPrintable(outcome.msg));
            QVERIFY(!QFile::exists(folder.filePath("list.xml")));
        }
        QCOMPARE(server.requestCount("/portal"), 2); // once for each, whatever the retries
    }

    void stalledAnswersTimeOut_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("never answers") << "/silent";
        QTest::newRow("stops halfway through the body") << "/stalled";
    }
    void stalledAnswersTimeOut()
    {
        QFETCH(QString, path);
        MyDownloadManager manager;
        manager.setTransferTimeout(300);
        manager.setRetryCount(1);
        manager.setRetryPause(5);
        const Outcome outcome = download(manager, path, folder.path(), "stalled.bin");
        QVERIFY(!outcome.isSucceeded);
        QVERIFY2(outcome.msg.endsWith("failed: nothing received for 300 ms"), qPrintable(outcome.msg));
        QCOMPARE(server.requestCount(path), 2);
        QVERIFY(!QFile::exists(folder.filePath("stalled.bin")));
    }

    void slowButMovingBodiesAreNotCutShort()
    {
        MyDownloadManager manager;
        manager.setTransferTimeout(400); // the whole body takes 1.6 s, a piece every 40 ms
        QVERIFY(download(manager, "/slow", folder.path(), "moving.bin").isSucceeded);
        QCOMPARE(fileContent(folder.filePath("moving.bin")), bodyOf(4000));
    }

    void testDefaultsApplyToNewManagers()
    {
        MyDownloadManager::setDefaultTransferTimeout(200);
        MyDownloadManager::setDefaultRetryPause(5);
        MyDownloadManager manager;
        MyDownloadManager::setDefaultTransferTimeout(MyDownloadManager::defaultTransferTimeoutMs);
        MyDownloadManager::setDefaultRetryPause(MyDownloadManager::defaultRetryPauseMs);
        manager.setRetryCount(2);
        const Outcome outcome = download(manager, "/silent", folder.path(), "defaults.bin");
        QVERIFY(!outcome.isSucceeded);
        QVERIFY2(outcome.msg.endsWith("nothing received for 200 ms"), qPrintable(outcome.msg));
        QCOMPARE(server.requestCount("/silent"), 3);
    }

    void autoDeleteRemovesTheManagerAfterReporting()
    {
        QPointer<MyDownloadManager> manager = new MyDownloadManager;
        manager->setAutoDelete(true);
        QSignalSpy spy(manager.data(), &MyDownloadManager::signalDownloadFinished);
        manager->startDownload(folder.path(), "a.bin", server.url("/good"));
        QVERIFY(spy.wait(5000));
        QTRY_VERIFY(manager.isNull());
    }

    void destroyingARunningManagerReportsNothing()
    {
        auto* manager = new MyDownloadManager;
        manager->setShowProgress(true);
        QSignalSpy spy(manager, &MyDownloadManager::signalDownloadFinished);
        manager->startDownload(folder.path(), "d.bin", server.url("/slow"));
        QTest::qWait(100);
        delete manager;
        QTest::qWait(200);
        QCOMPARE(spy.count(), 0);
        QVERIFY(!visibleProgressDialog());
    }
};

QTEST_MAIN(TestDownloadManager)
#include "tst_downloadmanager.moc"
