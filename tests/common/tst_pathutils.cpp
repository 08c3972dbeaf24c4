// Path joining with both separators, file names from sheet names, the per-user data folder and
// the detached program start.

#include "common/desktopservices.h"
#include "common/pathutils.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

class TestPathUtils : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        KivDesktopServices::setRecording(true);
    }

    void joinPathChoosesTheSeparator_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("joined");
        QTest::newRow("backslash folder") << "C:\\a"
                                          << "b"
                                          << "C:\\a\\b";
        QTest::newRow("slash folder") << "./ad"
                                      << "x"
                                      << "./ad/x";
        QTest::newRow("ends with slash") << "C:\\a/"
                                         << "b"
                                         << "C:\\a/b";
        QTest::newRow("ends with backslash") << "C:\\a\\"
                                             << "b"
                                             << "C:\\a\\b";
        QTest::newRow("empty first") << ""
                                     << "b"
                                     << "/b";
        QTest::newRow("second kept as is") << "/x"
                                           << "/y"
                                           << "/x//y";
        QTest::newRow("backslash anywhere") << "C:\\a/b"
                                            << "c"
                                            << "C:\\a/b\\c";
    }
    void joinPathChoosesTheSeparator()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, joined);
        QCOMPARE(joinPath(first, second), joined);
    }

    void sanitizeFileNameReplacesInOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("written example") << " a/b:c? "
                                         << "a b：c？";
        QTest::newRow("backslash") << "a\\b"
                                   << "a b";
        QTest::newRow("only replaced characters") << "\\/:*?\"<>|"
                                                  << "  ： ？“《》 ";
        QTest::newRow("inner spaces stay") << "x  y"
                                           << "x  y";
        QTest::newRow("case sensitive, nothing else") << "CON.txt"
                                                      << "CON.txt";
    }
    void sanitizeFileNameReplacesInOrder()
    {
        QFETCH(QString, text);
        QFETCH(QString, fileName);
        QCOMPARE(sanitizeFileName(text), fileName);
    }

    void localDataFolderLandsInTheDataHome()
    {
        QTemporaryDir dataHome;
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
        QCOMPARE(localDataFolder(), dataHome.path() + "/DuZozodKiv");
        QCOMPARE(joinPath(localDataFolder(), "duZozodKivUpdate/update"),
                 dataHome.path() + "/DuZozodKiv/duZozodKivUpdate/update");

        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(localDataFolder(), QDir::homePath() + "/.local/share/DuZozodKiv");
        qputenv("XDG_DATA_HOME", "relative/place");
        QCOMPARE(localDataFolder(), QDir::homePath() + "/.local/share/DuZozodKiv");
        QVERIFY(!localDataFolder().contains('\\'));
        qputenv("XDG_DATA_HOME", saved);
    }

    void userProfileIsNullWhenUnset()
    {
        const QByteArray saved = qgetenv("USERPROFILE");
        qunsetenv("USERPROFILE");
        QVERIFY(userProfileFolder().isNull());
        qputenv("USERPROFILE", "C:\\Users\\ann");
        QCOMPARE(userProfileFolder(), QString("C:\\Users\\ann"));
        if (saved.isNull())
            qunsetenv("USERPROFILE");
        else
            qputenv("USERPROFILE", saved);
    }

    void launchProgramKeepsAPathWithSpacesWhole()
    {
        KivDesktopServices::clearRecorded();
        QVERIFY(launchProgram("/tmp/my ads/run me.sh"));
        const QList<StartedProgram> started = KivDesktopServices::startedPrograms();
        QCOMPARE(started.size(), 1);
        QCOMPARE(started.first().program, QString("/tmp/my ads/run me.sh"));
        QVERIFY(started.first().arguments.isEmpty());
    }

    void onlyWebAddressesAreOpened()
    {
        KivDesktopServices::clearRecorded();
        QVERIFY(KivDesktopServices::openUrl(QUrl("http://127.0.0.1/x")));
        QVERIFY(KivDesktopServices::openUrl(QUrl("HTTPS://example.org/")));
        QVERIFY(!KivDesktopServices::openUrl(QUrl("file:///etc/passwd")));
        QVERIFY(!KivDesktopServices::openUrl(QUrl("javascript:alert(1)")));
        QVERIFY(!KivDesktopServices::openUrl(QUrl("")));
        QCOMPARE(KivDesktopServices::openedUrls().size(), 2);
    }
};

QTEST_MAIN(TestPathUtils)
#include "tst_pathutils.moc"
