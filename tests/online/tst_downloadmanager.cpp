// The download manager against a loopback server: good content, HTTP and connection faults,
// retries, cancel, the size cap, where files land and what the outcome signal says.

#include "online/mydownloadmanager.h"
#include "testhttpserver.h"
#include "testsupport.h"

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
    QTemporaryDir folder;

    // Runs one download to its outcome; the manager is kept by the test.
    Outcome download(MyDownloadManager& manager, const QString& path, const QString& saveDir,
                     const QString& fileName = "out.bin")
    {
        QSignalSpy spy(&manager, &MyDownloadManager::signalDownloadFinished);
        manager.startDownload(saveDir, fileName, server.url(path));
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
    }

    void init() { server.resetCounts(); }

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
        QVERIFY2(outcome.msg.startsWith("Download of " + server.url(path) + " failed: "),
                 qPrintable(outcome.msg));
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

    void failedWriteStillReportsSuccessWithEmptyMessage()
    {
        MyDownloadManager manager;
        const Outcome outcome = download(manager, "/good", folder.filePath("no/such/folder"));
        QVERIFY(outcome.isSucceeded);
        QVERIFY(outcome.msg.isEmpty());
        QVERIFY(!QFile::exists(folder.filePath("no/such/folder/out.bin")));
    }

    void cancelFromTheDialogReportsFailureAtOnce()
    {
        MyDownloadManager manager;
        manager.setRetryCount(10);
        manager.setShowProgress(true);
        manager.setProgressLabel("正在下载“测试”");
        QSignalSpy spy(&manager, &MyDownloadManager::signalDownloadFinished);
        manager.startDownload(folder.path(), "c.bin", server.url("/slow"));
        QProgressDialog* dialog = visibleProgressDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->labelText(), QString("正在下载“测试”"));
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
