// Saves never lose a workbook: a save that cannot complete leaves the file as it was and says so;
// a dead office leaves nothing behind; the office ends with its program; files that cannot be
// written still open, read-only; no tool works on a copy in the office that differs from the file.
#include "automation/officeentry.h"
#include "automation/safesave.h"
#include "common/dialogs.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"
#include "tools/splitcolumn/columnsplitjob.h"
#include "tools/splitcolumn/splitsheetfromcolumn.h"
#include "tools/shared/sheetfilesjob.h"

#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const QStringList kFormats = {"xlsx", "xls", "ods"};

// A tmpfs of the given size at the folder, unmounted when this goes.
class SmallDisk
{
public:
    SmallDisk(const QString& folder, qint64 bytes) : folder(folder)
    {
        QDir().mkpath(folder);
        const QByteArray options = "size=" + QByteArray::number(bytes);
        mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallDisk()
    {
        if (mounted)
            ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
    }
    bool remountReadOnly()
    {
        return ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    bool mounted = false;

private:
    QString folder;
};

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

qint64 pages(qint64 bytes)
{
    return (bytes + 4095) / 4096;
}

QString lockOf(const QString& path)
{
    const QFileInfo info(path);
    return info.dir().filePath(QStringLiteral(".~lock.") + info.fileName() + QLatin1Char('#'));
}

QList<SheetContent> rowsOf(int count, const QString& prefix)
{
    QList<QStringList> rows{{"key", "text"}};
    for (int i = 0; i < count; ++i)
        rows.append({QString::number(i % 7), prefix + QString::number(i)});
    return {{"Data", rows}};
}

// Fills column C of the first sheet with text, so the saved workbook grows.
bool grow(ExcelOpKiv& link, int rows)
{
    QStringList texts;
    for (int i = 0; i < rows; ++i)
        texts.append(QStringLiteral("grown text number %1 to make the file larger").arg(i));
    return link.sheetAt(0) && link.sheetAt(0)->writeColumnTexts(3, 1, texts);
}

bool processGone(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const int close = line.lastIndexOf(')');
    return close > 0 && line.mid(close + 2, 1) == "Z"; // a zombie no longer runs
}

// Processes still running in the group (the office and whatever it started).
int runningInGroup(pid_t group)
{
    int running = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const int pid = entry.toInt(&isPid);
        if (isPid && getpgid(pid) == group && !processGone(pid))
            ++running;
    }
    return running;
}

} // namespace

class WorkbookSavesTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir root;

    QString newFolder(const QString& name)
    {
        const QString path = root.filePath(name);
        QDir(path).removeRecursively();
        QDir().mkpath(path);
        return path;
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(root.isValid());
    }
    void init() { KivMessageBox::clearShownTexts(); }

    // A good save: the change is in the file, the file keeps its permissions, nothing is left beside it.
    void savesInPlaceKeepingPermissionsAndNothingBeside()
    {
        for (const QString& format : kFormats) {
            const QString folder = newFolder("plain-" + format);
            const QString path = folder + "/book." + format;
            QVERIFY(writeWorkbook(path, rowsOf(20, "r")));
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
            {
                auto link = openedWorkbook(path);
                QVERIFY(link->hasWorkbook());
                QVERIFY(!link->isReadOnly());
                QVERIFY(link->sheetAt(0)->setCellValue(1, 5, "saved"));
                QVERIFY2(link->saveWorkbook(), qPrintable(format));
                QCOMPARE(filesIn(folder), QStringList({".~lock.book." + format + "#", "book." + format}));
            }
            QCOMPARE(filesIn(folder), QStringList{"book." + format});
            struct stat status
            {};
            QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
            QCOMPARE(int(status.st_mode & 07777), 0640);
            QCOMPARE(openedWorkbook(path)->sheetAt(0)->getCellValue(1, 5), QString("saved"));
        }
    }

    // The check that guards every save, on files the office wrote: whole files pass, cut or
    // damaged ones do not.
    void checkPassesWholeFilesOnlyFromEveryFormat()
    {
        const QString folder = newFolder("check");
        for (const QString& format : kFormats) {
            const QString path = folder + "/whole." + format;
            QVERIFY(writeWorkbook(path, rowsOf(3000, "check")));
            const SafeSave::Container container =
                format == "xls" ? SafeSave::Container::Compound : SafeSave::Container::Zip;
            QString why;
            QVERIFY2(SafeSave::isComplete(path, container, &why), qPrintable(format + ": " + why));
            const QByteArray bytes = fileBytes(path);
            for (const int cut : {1, 22, 512, 4096, int(bytes.size() / 2)}) {
                const QString damaged = folder + "/cut." + format;
                QFile file(damaged);
                QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
                file.write(bytes.left(bytes.size() - cut));
                file.close();
                QVERIFY2(!SafeSave::isComplete(damaged, container),
                         qPrintable(format + " cut " + QString::number(cut)));
            }
            if (container == SafeSave::Container::Zip) {
                // One byte changed inside packed data: sizes agree, the checksum does not.
                QByteArray changed = bytes;
                changed[bytes.size() / 3] = char(changed[bytes.size() / 3] ^ 0x5A);
                QFile file(folder + "/changed." + format);
                QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
                file.write(changed);
                file.close();
                QVERIFY(!SafeSave::isComplete(folder + "/changed." + format, container));
            }
        }
    }

    // A disk that fills during the save: the workbook stays byte for byte, the save says it
    // failed, and no temporary file is left. Sizes around the edge where the office's own store
    // put a truncated file in place.
    void fullDiskLeavesTheWorkbookAsItWas()
    {
        for (const QString& format : kFormats) {
            const QString measure = newFolder("measure-" + format);
            const QString measured = measure + "/book." + format;
            QVERIFY(writeWorkbook(measured, rowsOf(400, "m")));
            const QByteArray original = fileBytes(measured);
            {
                auto link = openedWorkbook(measured);
                QVERIFY(grow(*link, 400));
                QVERIFY(link->saveWorkbook());
            }
            const qint64 resultSize = QFileInfo(measured).size();

            for (const int short_ : {1, 2, 4}) {
                const QString disk = root.filePath(QStringLiteral("disk-%1-%2").arg(format).arg(short_));
                // The original, its lock file and the result less a few pages.
                SmallDisk small(disk, (pages(original.size()) + 1 + pages(resultSize) - short_) * 4096);
                if (!small.mounted)
                    QSKIP("Cannot mount a small tmpfs here (needs root): the full-disk save is not tested");
                const QString path = disk + "/book." + format;
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
                QCOMPARE(file.write(original), qint64(original.size()));
                file.close();
                {
                    auto link = openedWorkbook(path);
                    QVERIFY(link->hasWorkbook());
                    QVERIFY(grow(*link, 400));
                    QVERIFY2(!link->saveWorkbook(), qPrintable(format + " short by " + QString::number(short_)));
                    QCOMPARE(fileBytes(path), original);
                    QCOMPARE(filesIn(disk).join(' '), QString(".~lock.book." + format + "# book." + format));
                }
                QCOMPARE(filesIn(disk), QStringList{"book." + format});
            }
        }
    }

    // Through a tool: the column splitter on a full disk tells the user and leaves the file.
    void columnSplitOnAFullDiskSaysNotSaved()
    {
        const QString disk = root.filePath("disk-split");
        const QString source = newFolder("split-source") + "/book.xlsx";
        QVERIFY(writeWorkbook(source, rowsOf(300, "s")));
        const QByteArray original = fileBytes(source);
        SmallDisk small(disk, (pages(original.size()) + 2) * 4096);
        if (!small.mounted)
            QSKIP("Cannot mount a small tmpfs here (needs root): the full-disk save is not tested");
        const QString path = disk + "/book.xlsx";
        QVERIFY(QFile::copy(source, path));
        std::unique_ptr<ExcelOpKiv> link;
        const JobOutcome outcome = ColumnSplitJob({path, "Data", "A1", "B301", "A", false}).run(link);
        QCOMPARE(outcome.kind, JobOutcome::Kind::Failed);
        QVERIFY2(outcome.messages.value(0).startsWith("保存失败"), qPrintable(outcome.messages.value(0)));
        QVERIFY(outcome.written.isEmpty());
        QCOMPARE(fileBytes(path), original);
        QCOMPARE(filesIn(disk), QStringList{"book.xlsx"});
    }

    // A killed office: its lock file beside the workbook goes, and so do the temporary files of
    // a save it was killed in.
    void aKilledOfficeLeavesNothingBesideTheWorkbook()
    {
        const QString folder = newFolder("killed");
        const QString path = folder + "/book.xlsx";
        QVERIFY(writeWorkbook(path, rowsOf(30000, "killed while saving")));
        const QByteArray original = fileBytes(path);
        {
            auto link = openedWorkbook(path);
            QVERIFY(QFileInfo::exists(lockOf(path)));
            OfficeServer::killOfficeForTests();
            link->sheetAt(0)->getCellValue(1, 1); // finds the office gone
        }
        {
            ExcelOpKiv next;
        } // the next office starts, the dead one's leftovers are cleared
        QCOMPARE(filesIn(folder), QStringList{"book.xlsx"});

        // Killed in the middle of a save: as soon as the save's first file shows in the folder.
        auto link = openedWorkbook(path);
        QVERIFY(grow(*link, 30000));
        std::atomic<bool> killed{false};
        std::atomic<bool> stop{false};
        // Listed before the thread starts: a thread started late would count the save's file.
        const QStringList before = filesIn(folder);
        std::thread killer([&] {
            for (int waited = 0; waited < 60000 && !stop; ++waited) {
                if (filesIn(folder).size() > before.size()) {
                    OfficeServer::killOfficeForTests();
                    killed = true;
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        const bool saved = link->saveWorkbook();
        stop = true;
        killer.join();
        QVERIFY(killed);
        QVERIFY(!saved);
        QCOMPARE(fileBytes(path), original);
        link.reset();
        {
            ExcelOpKiv next;
        }
        QCOMPARE(filesIn(folder), QStringList{"book.xlsx"});
    }

    // The office of a program killed with -9 ends too, with everything it started.
    void theOfficeEndsWithItsProgram()
    {
        QProcess child;
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({"--start-office-and-wait"});
        child.start();
        QVERIFY(child.waitForStarted());
        child.setReadChannel(QProcess::StandardOutput);
        QVERIFY(child.waitForReadyRead(60000));
        const pid_t office = child.readAllStandardOutput().trimmed().toInt();
        QVERIFY(office > 0);
        QVERIFY(!processGone(office));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(10000));
        QTRY_VERIFY_WITH_TIMEOUT(processGone(office), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(runningInGroup(office), 0, 10000);
    }

    // A file held by another program, or in a folder that cannot be written: it opens read-only,
    // the sheet-to-files splitter works on it, and the tools that save in place know at import.
    void filesThatCannotBeWrittenOpenReadOnly()
    {
        const QString folder = newFolder("held");
        const QString path = folder + "/held.xlsx";
        QVERIFY(writeWorkbook(path, {{"A", {{"a"}}}, {"B", {{"b"}}}}));
        const QByteArray original = fileBytes(path);
        QFile lock(lockOf(path));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(",someone,elsewhere,01.01.2024 10:00,file:///nowhere/profile;\n");
        lock.close();
        {
            auto link = openedWorkbook(path);
            QVERIFY(link->hasWorkbook());
            QVERIFY(link->isReadOnly());
            QCOMPARE(link->getSheetNames(), QStringList({"A", "B"}));
            QVERIFY(!link->saveWorkbook());
        }
        std::unique_ptr<ExcelOpKiv> tool;
        const JobOutcome refused = ColumnSplitJob({path, "A", "A1", "A3", "A", false}).run(tool);
        QCOMPARE(refused.kind, JobOutcome::Kind::Refused);
        QVERIFY2(refused.messages.value(0).contains("只读"), qPrintable(refused.messages.value(0)));
        lock.remove();
        QCOMPARE(fileBytes(path), original);

        // A folder nobody can write, root included: a read-only mount.
        const QString disk = root.filePath("readonly-disk");
        SmallDisk small(disk, 1 << 20);
        if (!small.mounted)
            QSKIP("Cannot mount a tmpfs here (needs root): the read-only folder is not tested");
        QVERIFY(QFile::copy(path, disk + "/held.xlsx"));
        QVERIFY(small.remountReadOnly());
        {
            auto link = openedWorkbook(disk + "/held.xlsx");
            QVERIFY(link->hasWorkbook());
            QVERIFY(link->isReadOnly());
            QVERIFY(!link->saveWorkbook());
        }
        const QString output = newFolder("held-out");
        const JobOutcome split = SheetFilesJob({disk + "/held.xlsx", output}).run(tool);
        QCOMPARE(split.kind, JobOutcome::Kind::Done);
        QCOMPARE(filesIn(output), QStringList({"A.xlsx", "B.xlsx"}));
        QCOMPARE(fileBytes(disk + "/held.xlsx"), original);
    }

    // Two links on one file share the office's copy only while it is the file.
    void noLinkIsHandedACopyThatDiffersFromTheFile()
    {
        const QString folder = newFolder("shared");
        const QString path = folder + "/book.xlsx";
        QVERIFY(writeWorkbook(path, {{"S", {{"on disk"}}}}));
        auto first = openedWorkbook(path);
        QVERIFY(first->sheetAt(0)->setCellValue(1, 1, "only in memory"));
        auto second = openedWorkbook(path);
        QCOMPARE(second->sheetAt(0)->getCellValue(1, 1), QString("on disk"));
        QCOMPARE(first->sheetAt(0)->getCellValue(1, 1), QString("only in memory"));
        second.reset();

        // Another program replaces the file while a link holds it unchanged.
        const QString other = folder + "/other.xlsx";
        QVERIFY(writeWorkbook(other, {{"S", {{"written elsewhere"}}}}));
        auto holder = openedWorkbook(other);
        QVERIFY(writeWorkbook(folder + "/next.xlsx", {{"S", {{"newer"}}}}));
        QTest::qWait(20); // a change time of its own
        QVERIFY(QFile::remove(other));
        QVERIFY(QFile::rename(folder + "/next.xlsx", other));
        QCOMPARE(openedWorkbook(other)->sheetAt(0)->getCellValue(1, 1), QString("newer"));
    }

    // The column splitter lets go of its workbook when its window closes.
    void theColumnSplitterReleasesItsWorkbookOnClose()
    {
        const QString folder = newFolder("window");
        const QString path = folder + "/book.xlsx";
        QVERIFY(writeWorkbook(path, rowsOf(5, "w")));
        SplitSheetFromColumn window;
        window.show();
        KivFileDialog::setNextFileName(path);
        window.findChild<QPushButton*>("importFileButton")->click();
        QVERIFY(QFileInfo::exists(lockOf(path)));
        window.close();
        QVERIFY(!QFileInfo::exists(lockOf(path)));
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--start-office-and-wait") == 0) {
        // The child of theOfficeEndsWithItsProgram: starts an office, says its process, waits.
        QApplication app(argc, argv);
        initTestEnvironment();
        ExcelOpKiv link;
        printf("%d\n", int(OfficeServer::officeProcessForTests()));
        fflush(stdout);
        for (;;)
            pause();
    }
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    WorkbookSavesTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_workbooksaves.moc"
