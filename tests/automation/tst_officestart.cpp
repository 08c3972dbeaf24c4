// The office starts on a machine it never ran on: two programs with new profiles (new homes, so
// new font caches too) starting at the same moment both get their office and do their work; and
// a program that cannot get an office says why instead of failing silently.
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

// A kivexcel-cli run in a home of its own, where nothing of an office's profile exists yet.
std::unique_ptr<QProcess> startInNewHome(const QStringList& arguments, const QString& home)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    for (const char* variable : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
        environment.remove(QString::fromLatin1(variable));
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("zh_CN"));
    process->setProcessEnvironment(environment);
    process->start(QStringLiteral(KIVEXCEL_CLI), arguments);
    return process;
}

} // namespace

class OfficeStartTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    void twoProgramsWithNewProfilesStartTogether()
    {
        std::vector<std::unique_ptr<QProcess>> runs;
        QStringList outputs;
        for (int k = 0; k < 2; ++k) {
            const QString home = folder.filePath(QStringLiteral("home%1").arg(k));
            QVERIFY(QDir().mkpath(home));
            const QString book = folder.filePath(QStringLiteral("表%1.xlsx").arg(k));
            QVERIFY(writeXlsx(book, {{QStringLiteral("甲"), {{"名称", "数量"}, {"一", "1"}}},
                                     {QStringLiteral("乙"), {{"名称", "数量"}, {"二", "2"}}}}));
            outputs << folder.filePath(QStringLiteral("files%1").arg(k));
            runs.push_back(startInNewHome({QStringLiteral("split-sheets"), book, QStringLiteral("--out"),
                                           outputs.last(), QStringLiteral("--quiet")},
                                          home));
        }
        for (size_t k = 0; k < runs.size(); ++k) {
            QProcess& run = *runs[k];
            QVERIFY(run.waitForFinished(180000));
            QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0,
                     run.readAllStandardError().constData());
            QCOMPARE(QDir(outputs.at(int(k))).entryList(QDir::Files).size(), 2);
        }
    }

    void aProgramWithoutAnOfficeSaysWhy()
    {
        // No profile can be made where nothing can be written.
        const QString book = folder.filePath(QStringLiteral("无处.xlsx"));
        QVERIFY(writeXlsx(book, {{QStringLiteral("甲"), {{"名称"}, {"一"}}}}));
        auto run = startInNewHome({QStringLiteral("split-sheets"), book, QStringLiteral("--out"),
                                   folder.filePath(QStringLiteral("nowhere")), QStringLiteral("--quiet")},
                                  QStringLiteral("/proc/kivexcel-no-home"));
        QVERIFY(run->waitForFinished(60000));
        const QString err = QString::fromUtf8(run->readAllStandardError());
        QVERIFY(run->exitCode() != 0);
        QVERIFY2(err.contains(QStringLiteral("no office profile can be made in /proc/kivexcel-no-home")),
                 qPrintable(err));
    }
};

QTEST_MAIN(OfficeStartTest)
#include "tst_officestart.moc"
