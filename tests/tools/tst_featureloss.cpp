// Nothing the user had is lost without the user being told: a save over the workbook that would
// lose features the office cannot keep (a data connection, ...) leaves the workbook byte for byte
// as it was; the window offers the result as a new file beside it, the command line refuses
// unless allowed or sent elsewhere. Views (frozen panes, the zoom, hidden grid lines) are kept,
// so a workbook with only those is saved in place without a question.
#include "fileformat/featureinventory.h"
#include "chineseofficebook.h"
#include "common/dialogs.h"
#include "compare/comparerdriver.h"
#include "excelop/excelopkiv.h"
#include "packagereading.h"
#include "testsupport.h"
#include "zipwriter.h"
#include "tools/compare/comparisonrun.h"
#include "tools/resultsave.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class FeatureLossTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;
    int books = 0;

    // A workbook with a data connection, which a save through the office drops.
    QString newBook(bool withDataConnection = true)
    {
        const QString path = folder.filePath(QStringLiteral("报名表%1.xlsx").arg(++books));
        return ChineseOfficeBook::write(path, withDataConnection) ? path : QString();
    }

    static QStringList compareArguments(const QString& book)
    {
        return {QStringLiteral("compare"),   book,
                QStringLiteral("--sheet1"),  QStringLiteral("名单"),
                QStringLiteral("--column1"), QStringLiteral("A"),
                QStringLiteral("--sheet2"),  QStringLiteral("报名"),
                QStringLiteral("--column2"), QStringLiteral("A"),
                QStringLiteral("--quiet")};
    }

    // The comparison run as the window runs it, its question answered as queued.
    ComparisonOutcome compareInWindowWay(const QString& book, QMessageBox::StandardButton answer)
    {
        auto link = openedWorkbook(book);
        ComparisonSettings settings;
        settings.workbookPath = book;
        settings.side1 = {0, QStringLiteral("名单"), 0, QString(), QStringLiteral("41")};
        settings.side2 = {1, QStringLiteral("报名"), 0, QString(), QStringLiteral("31")};
        settings.onLoss = ResultSaver::askInWindow();
        KivMessageBox::setNextAnswer(answer);
        return ComparisonRun(*link, settings).run();
    }

    static bool compared(const QString& path)
    {
        const XlsxContent content = readXlsx(path);
        return content.read
               && content.texts.value(QStringLiteral("名单"))
                          .value(QStringLiteral("A2"))
                          .contains(QStringLiteral("出现的次数"))
                      == false
               && content.texts.value(QStringLiteral("名单")).value(QStringLiteral("B2")) != QString()
               && content.sheets.size() == 2
               && content.fonts.value(QStringLiteral("名单")).contains(QStringLiteral("R2"));
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }
    void init() { KivMessageBox::clearShownTexts(); }

    // The inventory finds what the source has and what a save through the office drops.
    void inventoryOfTheSourceAndOfAPlainSave()
    {
        const QString book = newBook(true);
        const FeatureInventory::Inventory source = FeatureInventory::of(book);
        QVERIFY(source.read);
        QCOMPARE(source.counts.value(QStringLiteral("frozen-panes")), 2);
        QCOMPARE(source.counts.value(QStringLiteral("zoom")), 1);
        QCOMPARE(source.counts.value(QStringLiteral("hidden-grid")), 1);
        QCOMPARE(source.counts.value(QStringLiteral("validations")), 1);
        QCOMPARE(source.counts.value(QStringLiteral("conditional-formats")), 1);
        QCOMPARE(source.counts.value(QStringLiteral("defined-names")), 1);
        QCOMPARE(source.counts.value(QStringLiteral("data-connections")), 1);

        const QString copy = folder.filePath(QStringLiteral("plain.xlsx"));
        QVERIFY(openedWorkbook(book)->saveWorkbookCopyAs(copy));
        const QStringList lost = FeatureInventory::lost(source, FeatureInventory::of(copy));
        QCOMPARE(lost, QStringList({QStringLiteral("data-connections")}));
        QVERIFY(FeatureInventory::lost(source, source).isEmpty());
        QVERIFY(FeatureInventory::of(fixturePath(QStringLiteral("xlrd-profiles.xls"))).read);
        QVERIFY(!FeatureInventory::of(fixturePath(QStringLiteral("xlnt-1_powerpoint_presentation.xlsx"))).read
                || FeatureInventory::of(fixturePath(QStringLiteral("xlnt-1_powerpoint_presentation.xlsx")))
                       .counts.isEmpty());
    }

    // What is not there is not counted: the protection settings of an unprotected sheet, an XML
    // map's single cells beside the tables.
    void inventoryCountsOnlyWhatIsThere()
    {
        const QString path = folder.filePath(QStringLiteral("parts.xlsx"));
        ZipWriter zip(path);
        zip.addDeflated("xl/workbook.xml", "<workbook/>");
        zip.addDeflated("xl/worksheets/sheet1.xml",
                        "<worksheet><sheetData/><sheetProtection sheet=\"1\"/></worksheet>");
        zip.addDeflated("xl/worksheets/sheet2.xml",
                        "<worksheet><sheetData/><sheetProtection objects=\"1\"/></worksheet>");
        zip.addDeflated("xl/tables/table1.xml", "<table/>");
        zip.addDeflated("xl/tables/tableSingleCells1.xml", "<singleXmlCells/>");
        QVERIFY(zip.finish());
        const FeatureInventory::Inventory inventory = FeatureInventory::of(path);
        QVERIFY(inventory.read);
        QCOMPARE(inventory.counts.value(QStringLiteral("sheet-protection")), 1);
        QCOMPARE(inventory.counts.value(QStringLiteral("tables")), 1);
    }

    // The printer driver's own settings are no reason to stop: the save goes ahead and says so.
    void printerSettingsAloneDoNotStopASave()
    {
        const QString book = copyFixture(QStringLiteral("xlrd-namesdemo.xls"), folder.path());
        auto link = openedWorkbook(book);
        QVERIFY(link && link->hasWorkbook());
        const ResultSave save = ResultSaver::save(
            *link, book, QString(), [](const QStringList&, const QString&) { return LossChoice::DontSave; });
        QVERIFY(save.saved);
        QCOMPARE(save.savedPath, book);
        QCOMPARE(save.lostFeatures, QStringList{QStringLiteral("打印机设置")});
        QVERIFY(ResultSaver::noticeOf(save, book).contains(QStringLiteral("打印机设置")));
    }

    void commandLineRefusesASaveThatLosesFeatures()
    {
        const QString book = newBook();
        const QByteArray before = fileBytes(book);
        const CliRun run = runCli(compareArguments(book));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("数据连接")) && !run.err.contains(QStringLiteral("冻结窗格"))
                     && !run.err.contains(QStringLiteral("显示比例")),
                 qPrintable(run.err));
        QCOMPARE(fileBytes(book), before);
        QVERIFY(QDir(folder.path()).entryList({QStringLiteral("*.结果*")}).isEmpty());
        QVERIFY(QDir(folder.path())
                    .entryList({QStringLiteral("lu*.tmp"), QStringLiteral(".~lock*")}, QDir::Hidden | QDir::Files)
                    .isEmpty());
    }

    void commandLineSavesWhenAllowedOrSentElsewhere()
    {
        const QString book = newBook();
        const QByteArray before = fileBytes(book);
        const QString elsewhere = folder.filePath(QStringLiteral("结果/对比.xlsx"));
        QVERIFY(QDir().mkpath(QFileInfo(elsewhere).path()));
        CliRun run = runCli(compareArguments(book) << QStringLiteral("--out-file") << elsewhere);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(fileBytes(book), before);
        QVERIFY(compared(elsewhere));

        run = runCli(compareArguments(book) << QStringLiteral("--allow-loss"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(compared(book));

        run = runCli(compareArguments(book) << QStringLiteral("--out-file") << elsewhere << book);
        QCOMPARE(run.exitCode, 2);
    }

    void splitColumnRefusesASaveThatLosesFeatures()
    {
        const QString book = newBook();
        const QByteArray before = fileBytes(book);
        const CliRun run =
            runCli({QStringLiteral("split-column"), book, QStringLiteral("--sheet"), QStringLiteral("报名"),
                    QStringLiteral("--start"), QStringLiteral("A1"), QStringLiteral("--end"), QStringLiteral("Q31"),
                    QStringLiteral("--column"), QStringLiteral("C"), QStringLiteral("--quiet")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("数据连接")), qPrintable(run.err));
        QCOMPARE(fileBytes(book), before);
    }

    // Sheet files are new files: the workbook keeps everything, and the user learns what they lack.
    void sheetFilesSayWhatTheyLack()
    {
        const QString book = newBook();
        const QString out = folder.filePath(QStringLiteral("files"));
        const CliRun run =
            runCli({QStringLiteral("split-sheets"), book, QStringLiteral("--out"), out, QStringLiteral("--quiet")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("数据连接")), qPrintable(run.err));
        QVERIFY2(!run.err.contains(QStringLiteral("数据验证")) && !run.err.contains(QStringLiteral("冻结窗格"))
                     && !run.err.contains(QStringLiteral("显示比例")),
                 qPrintable(run.err));
    }

    // The window asks; its default keeps the workbook and puts the result beside it.
    void windowSavesTheResultBesideByDefault()
    {
        const QString book = newBook();
        const QByteArray before = fileBytes(book);
        const ComparisonOutcome outcome = compareInWindowWay(book, QMessageBox::Ok);
        QVERIFY(outcome.saved);
        const QString beside =
            QFileInfo(book).dir().filePath(QFileInfo(book).completeBaseName() + QStringLiteral(".结果.xlsx"));
        QCOMPARE(outcome.savedPath, beside);
        QCOMPARE(fileBytes(book), before);
        QVERIFY(compared(beside));
        const QString asked = KivMessageBox::shownTexts().value(0);
        QVERIFY2(asked.contains(QStringLiteral("数据连接")) && asked.contains(beside), qPrintable(asked));
        QVERIFY2(outcome.messages.join('\n').contains(beside), qPrintable(outcome.messages.join('\n')));
        // A second run does not overwrite the first result.
        QCOMPARE(compareInWindowWay(book, QMessageBox::Ok).savedPath,
                 QFileInfo(book).dir().filePath(QFileInfo(book).completeBaseName() + QStringLiteral(".结果2.xlsx")));
    }

    void windowOverwritesOrSavesNothingWhenTheUserSaysSo()
    {
        const QString book = newBook();
        const QByteArray before = fileBytes(book);
        ComparisonOutcome outcome = compareInWindowWay(book, QMessageBox::Cancel);
        QVERIFY(!outcome.saved);
        QCOMPARE(fileBytes(book), before);
        QVERIFY2(outcome.messages.join('\n').contains(QStringLiteral("没有保存")),
                 qPrintable(outcome.messages.join('\n')));

        outcome = compareInWindowWay(book, QMessageBox::Ignore);
        QVERIFY(outcome.saved);
        QCOMPARE(outcome.savedPath, book);
        QVERIFY(compared(book));
    }
};

QTEST_MAIN(FeatureLossTest)
#include "tst_featureloss.moc"
