// The sheet-to-files splitter window and its run, on real workbooks through the office.
#include "common/dialogs.h"
#include "common/runprogress.h"
#include "testsupport.h"
#include "tools/splitsheets/splitexcelfromsheets.h"

#include <QCryptographicHash>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

namespace {

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

const QList<SheetContent> kThreeSheets = {
    {"North", {{"city", "sales"}, {"Oslo", "12"}, {"Bergen", "7"}}},
    {"South", {{"city", "sales"}, {"Rome", "30"}}},
    {"East", {{"note"}, {"=1+2 as text"}, {"x"}}},
};

class SheetsForm
{
public:
    SheetsForm()
    {
        target = window.findChild<QTextEdit*>("dealFilePathTextEdit");
        output = window.findChild<QTextEdit*>("outputDirPathTextEdit");
    }

    QStringList start(const QString& targetText, const QString& outputText)
    {
        target->setPlainText(targetText);
        output->setPlainText(outputText);
        KivMessageBox::clearShownTexts();
        window.findChild<QPushButton*>("startButton")->click();
        return KivMessageBox::shownTexts();
    }

    splitExcelFromSheets window;
    QTextEdit* target;
    QTextEdit* output;
};

QString doneMessage(const QString& folder)
{
    return QStringLiteral("处理完毕请打开目录%1查看。").arg(folder);
}

} // namespace

class TestSplitExcelFromSheets : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void formAndChoosers();
    void refusesMissingPaths();
    void writesOneFilePerSheet_data();
    void writesOneFilePerSheet();
    void keepsTheTargetsOwnExtension_data();
    void keepsTheTargetsOwnExtension();
    void neverOverwritesTheTargetItself();
    void reportsFilesThatCannotBeWrittenAndGoesOn();
    void sheetsWithOneFileNameMeetInOneFile();
    void cancelKeepsFinishedFilesComplete();

private:
    QString newFolder(const QString& name);
    void verifySheetFiles(const QString& folder, const QString& extension, const QList<SheetContent>& sheets);

    QTemporaryDir root;
};

void TestSplitExcelFromSheets::initTestCase()
{
    initTestEnvironment();
    QVERIFY(root.isValid());
}

QString TestSplitExcelFromSheets::newFolder(const QString& name)
{
    const QString path = root.filePath(name);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

void TestSplitExcelFromSheets::verifySheetFiles(const QString& folder, const QString& extension,
                                                const QList<SheetContent>& sheets)
{
    for (const SheetContent& sheet : sheets) {
        const QList<SheetContent> written = readWorkbook(QDir(folder).filePath(sheet.name + extension));
        QCOMPARE(sheetNames(written), QStringList{sheet.name});
        QCOMPARE(written.first().rows, sheet.rows);
    }
}

void TestSplitExcelFromSheets::formAndChoosers()
{
    SheetsForm form;
    QCOMPARE(form.window.objectName(), QString("splitExcelFromSheets"));
    QCOMPARE(form.window.windowTitle(), QString("KivExcel工具箱：Excel表格拆分器"));
    QCOMPARE(form.window.findChild<QPushButton*>("startButton")->text(), QString("开始处理"));

    KivFileDialog::setNextFileName("/data/book.xlsx");
    form.window.findChild<QPushButton*>("importFileButton")->click();
    QCOMPARE(form.target->toPlainText(), QString("/data/book.xlsx"));
    QCOMPARE(KivFileDialog::lastCaption(), QString("请选择Excel文件"));
    form.window.findChild<QPushButton*>("importFileButton")->click(); // cancelled
    QCOMPARE(form.target->toPlainText(), QString("/data/book.xlsx"));
    QVERIFY(form.window.isEnabled());

    KivFileDialog::setNextDirectory("/data/out");
    form.window.findChild<QPushButton*>("selectDirButton")->click();
    QCOMPARE(form.output->toPlainText(), QString("/data/out"));
    form.window.findChild<QPushButton*>("selectDirButton")->click(); // cancelled
    QCOMPARE(form.output->toPlainText(), QString("/data/out"));
}

void TestSplitExcelFromSheets::refusesMissingPaths()
{
    const QString folder = newFolder("paths");
    const QString target = QDir(folder).filePath("book.xlsx");
    QVERIFY(writeWorkbook(target, kThreeSheets));
    const QString noTarget = QStringLiteral("“目标文件”不存在，请重新选择。");
    const QString noFolder = QStringLiteral("“目标文件夹”不存在，请重新选择。");
    SheetsForm form;
    QCOMPARE(form.start("  ", folder), QStringList{noTarget});
    QCOMPARE(form.start(folder, folder), QStringList{noTarget}); // a folder is no file
    QCOMPARE(form.start(target + ".missing", folder), QStringList{noTarget});
    QCOMPARE(form.start(target, ""), QStringList{noFolder});
    QCOMPARE(form.start(target, folder + "/missing"), QStringList{noFolder});
    QCOMPARE(form.start(target, target), QStringList{noFolder});
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"book.xlsx"});
}

void TestSplitExcelFromSheets::writesOneFilePerSheet_data()
{
    QTest::addColumn<QString>("extension");
    QTest::newRow("xlsx") << ".xlsx";
    QTest::newRow("xls") << ".xls";
}

void TestSplitExcelFromSheets::writesOneFilePerSheet()
{
    QFETCH(QString, extension);
    const QString target = root.filePath("three" + extension);
    QVERIFY(writeWorkbook(target, kThreeSheets));
    const QByteArray before = fileHash(target);
    const QString output = newFolder("out" + extension);

    SheetsForm form;
    QCOMPARE(form.start("  " + target + " \n", " " + output + "  "), QStringList{doneMessage(output)});
    QVERIFY(form.window.isEnabled());
    QCOMPARE(RunProgress::lastMaximum(), 9);
    QCOMPARE(RunProgress::lastValues(), QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9}));
    verifySheetFiles(output, extension, kThreeSheets);
    QCOMPARE(QDir(output).entryList(QDir::Files).size(), 3);
    QCOMPARE(fileHash(target), before);
}

void TestSplitExcelFromSheets::keepsTheTargetsOwnExtension_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("extension");
    QTest::newRow("upper case") << "BOOK.XLSX"
                                << ".XLSX";
    QTest::newRow("ods") << "book.ods"
                         << ".ods";
}

void TestSplitExcelFromSheets::keepsTheTargetsOwnExtension()
{
    QFETCH(QString, fileName);
    QFETCH(QString, extension);
    const QString source = newFolder("ext-source");
    const QString target = QDir(source).filePath(fileName);
    QVERIFY(writeWorkbook(target, kThreeSheets));
    const QString output = newFolder("ext-out");

    SheetsForm form;
    QCOMPARE(form.start(target, output), QStringList{doneMessage(output)});
    QCOMPARE(QDir(output).entryList(QDir::Files, QDir::Name),
             QStringList({"East" + extension, "North" + extension, "South" + extension}));
    verifySheetFiles(output, extension, kThreeSheets);
}

void TestSplitExcelFromSheets::neverOverwritesTheTargetItself()
{
    const QString folder = newFolder("same");
    const QString target = QDir(folder).filePath("Sheet1.xlsx");
    const QList<SheetContent> sheets = {{"Sheet1", {{"mine"}, {"1"}}}, {"Other", {{"other"}}}};
    QVERIFY(writeWorkbook(target, sheets));
    const QByteArray before = fileHash(target);

    SheetsForm form;
    const QStringList shown = form.start(target, folder);
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().contains("“Sheet1”") && !shown.first().startsWith("处理完毕"), qPrintable(shown.first()));
    QCOMPARE(fileHash(target), before);
    verifySheetFiles(folder, ".xlsx", {sheets.at(1)});
}

void TestSplitExcelFromSheets::reportsFilesThatCannotBeWrittenAndGoesOn()
{
    const QString target = root.filePath("blocked.xlsx");
    QVERIFY(writeWorkbook(target, kThreeSheets));
    const QString output = newFolder("blocked-out");
    // A folder stands where South's file should go: it can be neither removed nor replaced.
    QVERIFY(QDir(output).mkpath("South.xlsx/inside"));

    SheetsForm form;
    const QStringList shown = form.start(target, output);
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().contains("“South”") && !shown.first().contains("“North”")
                 && shown.first().endsWith(QStringLiteral("其余文件已经保存，请打开目录%1查看。").arg(output)),
             qPrintable(shown.first()));
    QVERIFY(QFileInfo(QDir(output).filePath("South.xlsx/inside")).isDir());
    verifySheetFiles(output, ".xlsx", {kThreeSheets.at(0), kThreeSheets.at(2)});
}

void TestSplitExcelFromSheets::sheetsWithOneFileNameMeetInOneFile()
{
    const QString target = root.filePath("pipes.xlsx");
    QVERIFY(writeWorkbook(target, {{"a|b", {{"first"}}}, {"a b", {{"second"}}}}));
    const QString output = newFolder("pipes-out");
    SheetsForm form;
    // Named as before, and the replaced file is listed.
    QCOMPARE(form.start(target, output),
             QStringList{"以下工作表的文件名与后面的工作表相同，它们的文件被替换了：\n“a|b”（被“a b”的文件替换）\n"
                         + doneMessage(output)});
    QCOMPARE(QDir(output).entryList(QDir::Files), QStringList{"a b.xlsx"});
    verifySheetFiles(output, ".xlsx", {{"a b", {{"second"}}}});
}

void TestSplitExcelFromSheets::cancelKeepsFinishedFilesComplete()
{
    const QString target = root.filePath("cancel.xlsx");
    QVERIFY(writeWorkbook(target, kThreeSheets));
    const QByteArray before = fileHash(target);
    const QString output = newFolder("cancel-out");
    RunProgress::setCancelAtValue(6); // after South's file has lost North
    SheetsForm form;
    QCOMPARE(form.start(target, output),
             QStringList{"注意：还没处理完毕，但您选择了退出，部分处理结果已经保存在输出目录内了，请自行查看"});
    verifySheetFiles(output, ".xlsx", {kThreeSheets.at(0)});
    QCOMPARE(sheetNames(readWorkbook(QDir(output).filePath("South.xlsx"))), QStringList({"South", "East"}));
    QVERIFY(!QFile::exists(QDir(output).filePath("East.xlsx")));
    QCOMPARE(fileHash(target), before);
}

QTEST_MAIN(TestSplitExcelFromSheets)
#include "tst_splitexcelfromsheets.moc"
