// "Done" means right: what a tool cannot do on a real workbook is refused before anything
// changes, with a message that says why, and the file stays byte for byte as it was.
#include "excelop/excelopkiv.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class RefusedBeforeChangeTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    QString copy(const QString& fixture) { return copyFixture(fixture, folder.path()); }

    static QStringList comparing(const QString& book, const QString& sheet1, const QString& sheet2)
    {
        return {QStringLiteral("compare"),   book,
                QStringLiteral("--sheet1"),  sheet1,
                QStringLiteral("--column1"), QStringLiteral("A"),
                QStringLiteral("--sheet2"),  sheet2,
                QStringLiteral("--column2"), QStringLiteral("A"),
                QStringLiteral("--quiet"),   QStringLiteral("--allow-loss")};
    }

    void verifyRefused(const QStringList& arguments, const QString& book, const QString& why)
    {
        const QByteArray before = fileBytes(book);
        const CliRun run = runCli(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(why), qPrintable(run.err));
        QVERIFY(fileBytes(book) == before);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    // Row 1 is used up to the sheet's last column: a new column A would push it off the sheet.
    void comparerNeedsAFreeLastColumn()
    {
        const QString book = copy(QStringLiteral("poi-53105.xlsx"));
        verifyRefused(comparing(book, QStringLiteral("Sheet1"), QStringLiteral("Sheet2")), book,
                      QStringLiteral("表1的最后一列已被使用，无法插入新列。"));
        verifyRefused(comparing(book, QStringLiteral("Sheet2"), QStringLiteral("Sheet1")), book,
                      QStringLiteral("表2的最后一列已被使用，无法插入新列。"));
    }

    // In an .xls the office moves a range over whole rows ($A1:$IV4) past the last column when a
    // column goes in, where Excel keeps it: refused before any change, naming the cells.
    void comparerRefusesWholeRowRangesOfAnXls()
    {
        const QString source = QDir(corpusFolder()).filePath(QStringLiteral("RowFunctionTestCaseData.xls"));
        if (!QFile::exists(source))
            QSKIP("the shared corpus of real-world workbooks is not here");
        const QString book = folder.filePath(QStringLiteral("whole-rows.xls"));
        QVERIFY(QFile::copy(source, book));
        QFile(book).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        verifyRefused(comparing(book, QStringLiteral("Read Me"), QStringLiteral("Tests")), book,
                      QStringLiteral("Tests!B4、Tests!B5、Tests!B6、Tests!B7的公式引用整行"));
    }

    void protectedSheetsAreRefusedByBothChangingTools()
    {
        const QString book = copy(QStringLiteral("poi-CVLKRA-KYC_Download_File_Structure_V3.1.xlsx"));
        verifyRefused(comparing(book, QStringLiteral("KYC"), QStringLiteral("ADDL INFO")), book,
                      QStringLiteral("表1受工作表保护"));
        verifyRefused({QStringLiteral("split-column"), book, QStringLiteral("--sheet"), QStringLiteral("KYC"),
                       QStringLiteral("--start"), QStringLiteral("A1"), QStringLiteral("--end"), QStringLiteral("C20"),
                       QStringLiteral("--column"), QStringLiteral("B"), QStringLiteral("--quiet"),
                       QStringLiteral("--allow-loss")},
                      book, QStringLiteral("受工作表保护"));
    }

    // The office reads this broken .xls only with its text filter: no tool takes it for a workbook.
    void anXlsReadAsTextIsDamaged()
    {
        const QString book = copy(QStringLiteral("poi-61300.xls"));
        const QString out = folder.filePath(QStringLiteral("out"));
        verifyRefused({QStringLiteral("split-sheets"), book, QStringLiteral("--out"), out, QStringLiteral("--quiet")},
                      book, QStringLiteral("文件已损坏"));
        QVERIFY(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty());
        verifyRefused(comparing(book, QStringLiteral("Sheet1"), QStringLiteral("Sheet1")), book,
                      QStringLiteral("文件已损坏"));
    }

    // A file's content is always the format its name says.
    void aCopyNeverHoldsAnotherFormatThanItsName()
    {
        const QString book = copy(QStringLiteral("xlrd-sample.xlsx"));
        auto link = openedWorkbook(book);
        QVERIFY(link && link->hasWorkbook());
        const QString misnamed = folder.filePath(QStringLiteral("copy.xls"));
        QVERIFY(!link->saveWorkbookCopyAs(misnamed));
        QVERIFY(!QFileInfo::exists(misnamed));
        QVERIFY(link->saveWorkbookAs(misnamed));
        QVERIFY(fileBytes(misnamed).startsWith(QByteArray::fromHex("d0cf11e0a1b11ae1")));
    }
};

QTEST_MAIN(RefusedBeforeChangeTest)
#include "tst_refusedbeforechange.moc"
