// Sheet-to-files on workbooks Excel wrote: every sheet gets a file holding that sheet alone, in
// the workbook's format, macros kept where the format allows and the user told where not.
#include "fileformat/featureinventory.h"
#include "fileformat/zippackage.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class SheetFilesRealTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    CliRun splitSheets(const QString& fixture, const QString& out)
    {
        const QString book = copyFixture(fixture, folder.path());
        return runCli({QStringLiteral("split-sheets"), book, QStringLiteral("--out"), folder.filePath(out),
                       QStringLiteral("--quiet")});
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    // The office keeps a binary workbook's sheet code names for its macros and writes an empty
    // placeholder sheet (__VBA__0, ...) for each one without its sheet: every file holds its
    // sheet first, with its values, and the user is told of the placeholders.
    void macroWorkbookFilesSayWhatTheOfficeAdded()
    {
        const QString source = fixturePath(QStringLiteral("poi-50020.xls"));
        const QList<SheetContent> sheets = readWorkbook(source);
        QVERIFY(sheets.size() > 1);
        const CliRun run = splitSheets(QStringLiteral("poi-50020.xls"), QStringLiteral("vba"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("__VBA__0")), qPrintable(run.err));
        const QDir out(folder.filePath(QStringLiteral("vba")));
        QCOMPARE(out.entryList(QDir::Files).size(), sheets.size());
        for (const SheetContent& sheet : sheets) {
            const QList<SheetContent> written = readWorkbook(out.filePath(sheet.name + QStringLiteral(".xls")));
            QCOMPARE(written.value(0).name, sheet.name);
            QCOMPARE(written.value(0).rows, sheet.rows);
            for (int k = 1; k < written.size(); ++k)
                QVERIFY2(written.at(k).name.startsWith(QStringLiteral("__VBA__")), qPrintable(written.at(k).name));
        }
    }

    void macroWorkbookFilesAreMacroWorkbooks()
    {
        const CliRun run = splitSheets(QStringLiteral("poi-SimpleMacro.xlsm"), QStringLiteral("xlsm"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QStringList files = QDir(folder.filePath(QStringLiteral("xlsm"))).entryList(QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString& name : files) {
            QVERIFY(name.endsWith(QStringLiteral(".xlsm")));
            ZipPackage package;
            QVERIFY(package.open(folder.filePath(QStringLiteral("xlsm/")) + name));
            QVERIFY2(package.find("xl/vbaProject.bin"), qPrintable(name));
        }
    }
};

QTEST_MAIN(SheetFilesRealTest)
#include "tst_sheetfilesreal.moc"
