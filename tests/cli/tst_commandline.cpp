// kivexcel-cli against the windows: the same workbooks through both give the same cells; refused
// inputs say the window's words with exit status 1; a wrong command line gives 2; no display needed.

#include "../tools/compare/comparerdriver.h"
#include "testsupport.h"

#include "tools/splitcolumn/splitsheetfromcolumn.h"
#include "tools/splitsheets/splitexcelfromsheets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QList<QStringList> numbered(const QString& title, const QStringList& values)
{
    QList<QStringList> rows{{QStringLiteral("编号"), title, QStringLiteral("备注")}};
    for (int i = 0; i < values.size(); ++i)
        rows.append({QString::number(i + 1), values.at(i), QStringLiteral("行%1").arg(i + 2)});
    return rows;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void commandLineMistakesExitWithTwo();
    void compareGivesTheWindowsCells_data();
    void compareGivesTheWindowsCells();
    void splitColumnGivesTheWindowsCells();
    void splitColumnAreaDefaultsToTheSheetsUsedArea();
    void compareNotSavedIsAFailureAsInTheWindow();
    void splitSheetsGivesTheWindowsFiles();
    void splitSheetsMakesItsOutputFolder();
    void refusedInputSaysTheWindowsWordsAndExitsWithOne();
    void aNewUsersFirstRunWorks();
    void severalWorkbooksAtOnceEachInItsOwnFolder();

private:
    QString path(const QString& name) const { return folder.filePath(name); }
    QString twin(const QString& source, const QString& name);

    QTemporaryDir folder;
};

void TestCommandLine::initTestCase()
{
    initTestEnvironment();
    QVERIFY(folder.isValid());
}

QString TestCommandLine::twin(const QString& source, const QString& name)
{
    const QString copy = path(name);
    QFile::remove(copy);
    return QFile::copy(source, copy) ? copy : QString();
}

void TestCommandLine::commandLineMistakesExitWithTwo()
{
    const CliRun version = runCli({"--version"});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(version.out.startsWith("kivexcel-cli "));
    QCOMPARE(runCli({}).exitCode, 2);
    QCOMPARE(runCli({"merge", "a.xlsx"}).exitCode, 2);
    const CliRun missing = runCli({"compare", "a.xlsx", "--sheet1", "S"});
    QCOMPARE(missing.exitCode, 2);
    QVERIFY(missing.err.contains("--column1"));
    QCOMPARE(runCli({"split-sheets", "--out", folder.path()}).exitCode, 2);
    QCOMPARE(runCli({"split-sheets", "a.xlsx", "--out", folder.path(), "--jobs", "0"}).exitCode, 2);
    const CliRun help = runCli({"split-column", "--help"});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("--drop-column"));
    // --start and --end may be left out; the sheet and the column may not.
    const CliRun noColumn = runCli({"split-column", "a.xlsx", "--sheet", "S"});
    QCOMPARE(noColumn.exitCode, 2);
    QVERIFY(noColumn.err.startsWith("Missing: --column\n"));
    const CliRun twoOutFiles = runCli({"compare", "a.xlsx", "b.xlsx", "--sheet1", "S", "--column1", "A", "--sheet2",
                                       "T", "--column2", "A", "--out-file", path("x.xlsx")});
    QCOMPARE(twoOutFiles.exitCode, 2);
    QCOMPARE(twoOutFiles.err, QString("--out-file takes one workbook.\n"));
    const CliRun badFormat = runCli({"split-sheets", "a.xlsx", "--out", folder.path(), "--format", "doc"});
    QCOMPARE(badFormat.exitCode, 2);
    QCOMPARE(badFormat.err, QString("--format takes one of: same, xlsx, xls, ods, csv, pdf.\n"));
    const CliRun overview = runCli({"--help"});
    QCOMPARE(overview.exitCode, 0);
    for (const char* command : {"compare", "split-column", "split-sheets"})
        QVERIFY2(overview.out.contains(QString("\n  %1 ").arg(command)), command);
}

void TestCommandLine::compareGivesTheWindowsCells_data()
{
    QTest::addColumn<QString>("extension");
    QTest::newRow("xlsx") << "xlsx";
    QTest::newRow("xls") << "xls";
    QTest::newRow("ods") << "ods";
}

void TestCommandLine::compareGivesTheWindowsCells()
{
    QFETCH(QString, extension);
    const QString source =
        twoSheetWorkbook(path("compare-source." + extension), numbered("姓名", {"张三", "李四", "张三", "", "王五"}),
                         numbered("名字", {"张三", "赵六", "", "张三"}));
    QVERIFY(!source.isEmpty());
    const QString byWindow = twin(source, "compare-window." + extension);
    const QString byCli = twin(source, "compare-cli." + extension);

    ComparerDriver comparer;
    comparer.importWorkbook(byWindow);
    comparer.compare(1, 1, "6", "5");
    comparer.destroyWindow();

    // Row counts left out: the sheets' last used rows, which are the ones typed above.
    const CliRun cli = runCli(
        {"compare", byCli, "--sheet1", "Sheet1", "--column1", "B", "--sheet2", "Sheet2", "--column2", "2", "--quiet"});
    QCOMPARE(cli.exitCode, 0);
    QVERIFY(cli.err.contains(finishedText()));
    const QList<SheetContent> expected = readWorkbook(byWindow);
    QCOMPARE(sheetNamed(expected, "Sheet1").rows.value(1).value(0), QString("2"));
    QCOMPARE(dump(readWorkbook(byCli)), dump(expected));
}

void TestCommandLine::splitColumnGivesTheWindowsCells()
{
    const QString source = path("split-source.ods");
    QVERIFY(
        writeWorkbook(source, {SheetContent{"数据", numbered("城市", {"北京", "上海", "北京", "a/b", "", "上海"})}}));
    const QString byWindow = twin(source, "split-window.ods");
    const QString byCli = twin(source, "split-cli.ods");

    {
        SplitSheetFromColumn window;
        KivFileDialog::setNextFileName(byWindow);
        window.findChild<QPushButton*>("importFileButton")->click();
        window.findChild<QTextEdit*>("startCellText")->setPlainText("A1");
        window.findChild<QTextEdit*>("endCellText")->setPlainText("C7");
        window.findChild<QTextEdit*>("referColText")->setPlainText("B");
        window.findChild<QCheckBox*>("deleteReferColAfterDealCheckBox")->setChecked(true);
        window.findChild<QPushButton*>("pushButton")->click();
    }
    const CliRun cli = runCli({"split-column", byCli, "--sheet", "数据", "--start", "A1", "--end", "C7", "--column",
                               "B", "--drop-column", "--json"});
    QVERIFY2(cli.exitCode == 0, qPrintable(QString::number(cli.exitCode) + "\n" + cli.out + cli.err));
    const QJsonObject result = QJsonDocument::fromJson(cli.out.toUtf8()).object();
    QCOMPARE(result.value("outcome").toString(), QString("done"));
    QCOMPARE(result.value("file").toString(), byCli);
    const QList<SheetContent> expected = readWorkbook(byWindow);
    QCOMPARE(expected.size(), 5); // the source and 北京, 上海, a_b, 空
    QCOMPARE(dump(readWorkbook(byCli)), dump(expected));
}

// Left out, 起始位置 and 结束于 are what the window fills in when the sheet is picked: A1 and the
// sheet's last used cell.
void TestCommandLine::splitColumnAreaDefaultsToTheSheetsUsedArea()
{
    const QString source = path("area-source.xlsx");
    QVERIFY(writeWorkbook(source, {SheetContent{"其他", {{"x"}}},
                                   SheetContent{"数据", numbered("城市", {"北京", "上海", "北京", "", "广州"})}}));
    const QString byWindow = twin(source, "area-window.xlsx");
    const QString byCli = twin(source, "area-cli.xlsx");
    {
        SplitSheetFromColumn window;
        KivFileDialog::setNextFileName(byWindow);
        window.findChild<QPushButton*>("importFileButton")->click();
        window.findChild<QComboBox*>("comboBoxSheets")->setCurrentIndex(1);
        QCOMPARE(window.findChild<QTextEdit*>("startCellText")->toPlainText(), QString("A1"));
        QCOMPARE(window.findChild<QTextEdit*>("endCellText")->toPlainText(), QString("C6"));
        window.findChild<QTextEdit*>("referColText")->setPlainText("B");
        window.findChild<QPushButton*>("pushButton")->click();
    }
    const CliRun cli = runCli({"split-column", byCli, "--sheet", "数据", "--column", "B", "--quiet"});
    QVERIFY2(cli.exitCode == 0, qPrintable(cli.err));
    const QList<SheetContent> expected = readWorkbook(byWindow);
    QCOMPARE(expected.size(), 6); // the two sheets and 北京, 上海, 空, 广州
    QCOMPARE(dump(readWorkbook(byCli)), dump(expected));

    // A sheet without used cells has no rows to split.
    const QString empty = path("area-empty.xlsx");
    QVERIFY(writeWorkbook(empty, {SheetContent{"数据", {{"x"}}}, SheetContent{"空表", {}}}));
    const QByteArray before = fileBytes(empty);
    const CliRun refused = runCli({"split-column", empty, "--sheet", "空表", "--column", "A", "--quiet"});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains("“空表”表在标题行（第1行）下面没有数据行"), qPrintable(refused.err));
    QCOMPARE(fileBytes(empty), before);
}

// Compared but not saved: a failure, graded as the window grades it, in the window's words.
void TestCommandLine::compareNotSavedIsAFailureAsInTheWindow()
{
    const QString book = twoSheetWorkbook(path("unsaved.xlsx"), numbered("A", {"x"}), numbered("B", {"x"}));
    const QByteArray before = fileBytes(book);
    const CliRun cli = runCli({"compare", book, "--sheet1", "Sheet1", "--column1", "B", "--sheet2", "Sheet2",
                               "--column2", "B", "--out-file", path("no/such/folder/result.xlsx"), "--json"});
    QCOMPARE(cli.exitCode, 1);
    const QJsonObject result = QJsonDocument::fromJson(cli.out.toUtf8()).object();
    QCOMPARE(result.value("outcome").toString(), QString("failed"));
    QVERIFY2(cli.err.contains("对比已结束，但结果未能保存到Excel文件（文件可能是只读的、正被其他程序占用或磁盘已满），"
                              "请检查后重新导入并对比。"),
             qPrintable(cli.err));
    QCOMPARE(fileBytes(book), before);
}

void TestCommandLine::splitSheetsGivesTheWindowsFiles()
{
    const QString target = fixturePath("xlrd-Formate.xls");
    QDir(folder.path()).mkpath("files-window");
    QDir(folder.path()).mkpath("files-cli");
    {
        splitExcelFromSheets window;
        window.findChild<QTextEdit*>("dealFilePathTextEdit")->setPlainText(target);
        window.findChild<QTextEdit*>("outputDirPathTextEdit")->setPlainText(path("files-window"));
        window.findChild<QPushButton*>("startButton")->click();
    }
    const CliRun cli = runCli({"split-sheets", target, "--out", path("files-cli")});
    QCOMPARE(cli.exitCode, 0);
    const QStringList files = QDir(path("files-window")).entryList(QDir::Files, QDir::Name);
    QCOMPARE(QDir(path("files-cli")).entryList(QDir::Files, QDir::Name), files);
    QVERIFY(files.size() >= 2);
    for (const QString& file : files)
        QCOMPARE(dump(readWorkbook(path("files-cli/" + file))), dump(readWorkbook(path("files-window/" + file))));
}

// As mkdir -p would; what is no folder and cannot become one is refused in the window's words.
void TestCommandLine::splitSheetsMakesItsOutputFolder()
{
    const QString book = twin(fixturePath("xlrd-sample.xlsx"), "nested-out.xlsx");
    const QString out = path("not/yet/there");
    const CliRun made = runCli({"split-sheets", book, "--out", out, "--quiet"});
    QVERIFY2(made.exitCode == 0, qPrintable(made.err));
    QVERIFY(QFile::exists(out + "/Sheet1.xlsx"));

    const QString notAFolder = path("plain-file");
    QFile file(notAFolder);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const CliRun refused = runCli({"split-sheets", book, "--out", notAFolder + "/sub", "--quiet"});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains("“目标文件夹”不存在，请重新选择。"), qPrintable(refused.err));
    QCOMPARE(QFileInfo(notAFolder).size(), qint64(0));
}

void TestCommandLine::refusedInputSaysTheWindowsWordsAndExitsWithOne()
{
    const QString book = twoSheetWorkbook(path("refused.xlsx"), numbered("A", {"x"}), numbered("B", {"x"}));
    const QByteArray before = fileBytes(book);
    const CliRun missingSheet = runCli(
        {"compare", book, "--sheet1", "Sheet1", "--column1", "B", "--sheet2", "没有", "--column2", "B", "--quiet"});
    QCOMPARE(missingSheet.exitCode, 1);
    QVERIFY(missingSheet.err.contains("表2选择的表不在导入的Excel文件里，请重新导入Excel文件或重新选择表2。"));
    const CliRun badRows = runCli({"compare", book, "--sheet1", "Sheet1", "--column1", "B", "--rows1", "-5", "--sheet2",
                                   "Sheet2", "--column2", "B", "--quiet"});
    QCOMPARE(badRows.exitCode, 1);
    QVERIFY(badRows.err.contains("表1的总行数有误，请重新输入。"));
    const CliRun badColumn =
        runCli({"split-column", book, "--sheet", "Sheet1", "--start", "A1", "--end", "C2", "--column", "3B"});
    QCOMPARE(badColumn.exitCode, 1);
    QVERIFY(badColumn.err.contains("您输入的“分割参考列”格式有误，请重新输入。"));
    QCOMPARE(fileBytes(book), before);
}

// A new user has no office profile yet: the office makes one and asks to be started again.
void TestCommandLine::aNewUsersFirstRunWorks()
{
    QTemporaryDir home;
    const QString out = path("first-run");
    QDir().mkpath(out);
    const CliRun cli = runCli(
        {"split-sheets", twin(fixturePath("xlrd-sample.xlsx"), "first.xlsx"), "--out", out, "--quiet"}, home.path());
    QVERIFY2(cli.exitCode == 0, qPrintable(cli.err));
    QVERIFY(QFile::exists(out + "/Sheet1.xlsx"));
}

void TestCommandLine::severalWorkbooksAtOnceEachInItsOwnFolder()
{
    const QString out = path("batch");
    QDir().mkpath(out);
    const QString good1 = twin(fixturePath("xlrd-sample.xlsx"), "one.xlsx");
    const QString good2 = twin(fixturePath("xlrd-sample.ods"), "two.ods");
    const QString missing = path("absent.xlsx");
    const CliRun cli = runCli({"split-sheets", good1, missing, good2, "--out", out, "--jobs", "2", "--json"});
    QCOMPARE(cli.exitCode, 1); // the absent one was refused, the others still ran
    QStringList outcomes;
    for (const QString& line : cli.out.split('\n', Qt::SkipEmptyParts)) {
        const QJsonObject result = QJsonDocument::fromJson(line.toUtf8()).object();
        outcomes.append(QFileInfo(result.value("file").toString()).fileName() + "="
                        + result.value("outcome").toString());
    }
    outcomes.sort();
    QVERIFY2(outcomes == QStringList({"absent.xlsx=refused", "one.xlsx=done", "two.ods=done"}),
             qPrintable(outcomes.join(", ") + "\n" + cli.out + cli.err));
    QVERIFY(QFile::exists(out + "/one/Sheet1.xlsx"));
    QVERIFY(QFile::exists(out + "/two/Sheet1.ods"));
    QVERIFY(cli.err.contains("“目标文件”不存在，请重新选择。"));
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
