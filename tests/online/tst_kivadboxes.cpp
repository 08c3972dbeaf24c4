// What the banner asks and tells the user about its entries, read off the real boxes and the
// progress dialog: titles and addresses from the list show as written, markup and all, never as
// live rich text; the question leans to No and names a look-alike host in its network form.

#include "adlist.h"
#include "common/desktopservices.h"
#include "common/dialogs.h"
#include "online/kivadviewbutton.h"
#include "online/mydownloadmanager.h"
#include "testhttpserver.h"
#include "testsupport.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

namespace {

// What a real box showed.
struct SeenBox
{
    QStringList texts;
    bool readAsMarkup = false; // some label renders its text as rich text
    bool opensLinks = false;
    bool noIsDefault = false;
};

// As QLabel decides: a format it was told, else rich whenever the text looks like markup.
bool rendersAsMarkup(const QLabel* label)
{
    const Qt::TextFormat format = label->textFormat();
    return format == Qt::AutoText ? Qt::mightBeRichText(label->text()) : format != Qt::PlainText;
}

const QString linkToPasswd = "<a href=\"file:///etc/passwd\">T</a>";

} // namespace

class TestKivAdBoxes : public QObject
{
    Q_OBJECT

private:
    TestHttpServer server;
    QPointer<QTimer> poll;

    // Shows the next box for real; once it is up, notes what it shows and clicks the answer.
    void readNextRealBox(SeenBox& seen, QMessageBox::StandardButton answer)
    {
        KivMessageBox::setHeadless(false);
        poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this, &seen, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            poll->stop();
            poll->deleteLater();
            for (QLabel* label : box->findChildren<QLabel*>()) {
                if (label->text().isEmpty())
                    continue;
                seen.texts.append(label->text());
                seen.readAsMarkup = seen.readAsMarkup || rendersAsMarkup(label);
                seen.opensLinks = seen.opensLinks || label->openExternalLinks();
            }
            seen.noIsDefault = box->defaultButton() && box->defaultButton() == box->button(QMessageBox::No);
            box->button(answer)->click();
        });
        poll->start(20);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        KivDesktopServices::setRecording(true);
        QVERIFY(server.start());
        MyDownloadManager::setDefaultTransferTimeout(300);
        MyDownloadManager::setDefaultRetryPause(20);
    }

    void init()
    {
        server.resetCounts();
        KivDesktopServices::clearRecorded();
        KivMessageBox::clearShownTexts();
    }

    // A box that never came must not answer the next test's.
    void cleanup()
    {
        delete poll;
        KivMessageBox::setHeadless(true);
    }

    void realQuestionIsPlainAndLeansToNo()
    {
        QTemporaryDir cache;
        server.setRoute("/real.sh", 200, "#!/bin/sh\n");
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.startAdView();
        loadList(banner, cache.path(),
                 {{"pc-app", "real.sh", server.url("/real.sh"), "r.png", "", 5, "&lt;b&gt;Real&lt;/b&gt;"}});
        SeenBox seen;
        readNextRealBox(seen, QMessageBox::Yes);
        button.click();
        QCOMPARE(seen.texts, QStringList({"是否运行“<b>Real</b>”？", "程序：real.sh\n来自：127.0.0.1"}));
        QVERIFY(!seen.readAsMarkup);
        QVERIFY(!seen.opensLinks);
        QVERIFY(seen.noIsDefault);
        QTRY_COMPARE(KivDesktopServices::startedPrograms().size(), 1);
    }

    // The list comes over the network with a linked title and an address holding a link.
    void realRefusalNoticeShowsServedTextsAsWritten()
    {
        QTemporaryDir cache;
        const QString address = "http://example.org/" + linkToPasswd + ".exe";
        server.setRoute(
            "/marked-up.xml", 200,
            listXml({{"pc-app", "t.exe", address.toHtmlEscaped(), "t.png", "", 5, linkToPasswd.toHtmlEscaped()}}));
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.setListUrl(server.url("/marked-up.xml"));
        banner.setSaveDir(cache.path());
        banner.startAdView();
        QTRY_COMPARE(button.text(), linkToPasswd + "\n图片加载中。。");
        SeenBox seen;
        readNextRealBox(seen, QMessageBox::Ok);
        button.click();
        QCOMPARE(seen.texts, QStringList("“" + linkToPasswd + "”的下载地址不安全，不会下载或运行：\n" + address));
        QVERIFY(!seen.readAsMarkup);
        QVERIFY(!seen.opensLinks);
        QVERIFY(KivDesktopServices::openedUrls().isEmpty());
        QVERIFY(KivDesktopServices::startedPrograms().isEmpty());
    }

    void questionNamesALookAlikeHostInItsNetworkForm()
    {
        QTemporaryDir cache;
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.startAdView();
        loadList(banner, cache.path(),
                 {{"pc-app", "p.exe", QString::fromUtf8("https://ex\xd0\xb0mple.org/p.exe"), "p.png", "", 5, "P"}});
        KivMessageBox::setNextAnswer(QMessageBox::No);
        button.click();
        QCOMPARE(KivMessageBox::shownTexts(), QStringList("是否运行“P”？\n程序：p.exe\n来自：xn--exmple-4nf.org"));
    }

    void programTitleIsShownAsWritten()
    {
        QTemporaryDir cache;
        TestHttpServer::Route slowProgram;
        slowProgram.body = QByteArray(3000, 'x');
        slowProgram.delivery = TestHttpServer::Delivery::Slow;
        slowProgram.pauseMs = 50;
        server.setRoute("/titled", slowProgram);
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.startAdView();
        loadList(banner, cache.path(),
                 {{"pc-app", "titled", server.url("/titled"), "t.png", "", 5, linkToPasswd.toHtmlEscaped()}});
        KivMessageBox::setNextAnswer(QMessageBox::Yes);
        button.click();
        QCOMPARE(KivMessageBox::shownTexts().first().section('\n', 0, 0), "是否运行“" + linkToPasswd + "”？");
        QProgressDialog* dialog = visibleProgressDialog();
        QVERIFY(dialog);
        const QLabel* label = dialog->findChild<QLabel*>();
        QCOMPARE(label->text(), "正在下载“" + linkToPasswd + "”");
        QVERIFY(!rendersAsMarkup(label));
        QTRY_COMPARE(server.requestCount("/titled"), 1);
        dialog->findChild<QPushButton*>()->click();
        QTRY_VERIFY(!visibleProgressDialog());
    }

    void untrustedProgramIsRefusedWithAMessage()
    {
        QTemporaryDir cache;
        writeFile(cache.path() + "/cached.exe/cached.exe", "MZ"); // from an earlier download
        QPushButton button;
        KivAdViewButton banner(&button);
        banner.startAdView();
        loadList(banner, cache.path(),
                 {{"pc-app", "cached.exe", "http://example.org/cached.exe", "c.png", "", 1, "Cached"},
                  {"pc-app", "new.exe", "http://localhost:" + QString::number(server.port()) + "/new.exe", "n.png", "",
                   1, "New"}});
        KivMessageBox::setNextAnswer(QMessageBox::Yes);
        KivMessageBox::setNextAnswer(QMessageBox::Yes);
        button.click();
        banner.slotsShowNext();
        button.click();
        QTest::qWait(200);
        QCOMPARE(KivMessageBox::shownTexts(),
                 QStringList({"“Cached”的下载地址不安全，不会下载或运行：\nhttp://example.org/cached.exe",
                              "“New”的下载地址不安全，不会下载或运行：\nhttp://localhost:"
                                  + QString::number(server.port()) + "/new.exe"}));
        QVERIFY(KivDesktopServices::startedPrograms().isEmpty());
        QCOMPARE(server.requestCount("/cached.exe"), 0);
        QCOMPARE(server.requestCount("/new.exe"), 0);
    }
};

QTEST_MAIN(TestKivAdBoxes)
#include "tst_kivadboxes.moc"
