// The choices of the 选项 menus and their command-line flags: off by default, the same in the
// window and on the command line, remembered by the windows, and each doing what it says on real
// workbooks through the office.
#include "automation/axobject.h"
#include "common/dialogs.h"
#include "common/optionsmenu.h"
#include "compare/comparerdriver.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"
#include "tools/compare/comparisonrun.h"
#include "tools/splitcolumn/columnsplitplan.h"
#include "tools/splitcolumn/splitplan.h"
#include "tools/splitcolumn/splitsheetfromcolumn.h"
#include "tools/splitsheets/splitexcelfromsheets.h"

#include <QAction>
#include <QActionGroup>
#include <QRegularExpression>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QList<QStringList> kLeft = {{"name"}, {" Apple"}, {"BANANA"}, {"ｃｈｅｒｒｙ"}, {"date"}};
const QList<QStringList> kRight = {{"name"}, {"apple "}, {"banana"}, {"cherry"}, {"cherry"}};

// The conditional formats the saved .xlsx holds for its n-th sheet (1-based), read from the file.
int conditionalFormatsOf(const QString& path, int sheetNumber)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"),
                {QStringLiteral("-p"), path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheetNumber)});
    if (!unzip.waitForFinished(30000) || unzip.exitCode() != 0)
        return -1;
    return unzip.readAllStandardOutput().count("<conditionalFormatting");
}

void check(QMainWindow& window, const char* option)
{
    QAction* action = window.findChild<QAction*>(QString::fromLatin1(option));
    QVERIFY2(action, option);
    action->setChecked(true);
}

} // namespace

class OptionsTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    QString copyOf(const QString& source, const QString& name)
    {
        const QString path = folder.filePath(name);
        QFile::remove(path);
        return QFile::copy(source, path) ? path : QString();
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }
    void init() { KivMessageBox::clearShownTexts(); }

    // --- the comparer ---

    void forgivingFormsOfAValue()
    {
        ComparisonOptions all;
        all.trimSpaces = all.ignoreCase = all.foldWidth = true;
        QCOMPARE(ComparisonRun::comparedForm(QStringLiteral("　Ａｂ１２ "), all), QStringLiteral("ab12"));
        QCOMPARE(ComparisonRun::comparedForm(QStringLiteral("　Ａｂ１２ "), ComparisonOptions()),
                 QStringLiteral("　Ａｂ１２ "));
        ComparisonOptions trimOnly;
        trimOnly.trimSpaces = true;
        QCOMPARE(ComparisonRun::comparedForm(QStringLiteral(" 中文 Text "), trimOnly), QStringLiteral("中文 Text"));
    }

    // Every comparer option at once, in the window and on the command line: the same cells.
    void comparerOptionsInTheWindowAndOnTheCommandLine()
    {
        const QString source = twoSheetWorkbook(folder.filePath("options-source.xlsx"), kLeft, kRight);
        QVERIFY(!source.isEmpty());
        const QString byWindow = copyOf(source, "options-window.xlsx");
        const QString byCli = copyOf(source, "options-cli.xlsx");
        const QByteArray original = fileBytes(source);
        {
            ComparerDriver comparer;
            for (const char* option : {"compare/trim", "compare/ignoreCase", "compare/foldWidth", "compare/matchRow",
                                       "compare/highlight", "compare/backup"})
                check(*comparer.win(), option);
            comparer.importWorkbook(byWindow);
            comparer.compare(0, 0, "5", "5");
            QCOMPARE(KivMessageBox::shownTexts(), QStringList(finishedText()));
            // The compared columns moved two places on.
            QCOMPARE(comparer.box("comboBoxTitle1")->currentIndex(), 2);
        }
        const CliRun cli =
            runCli({"compare", byCli, "--sheet1", "Sheet1", "--column1", "A", "--sheet2", "Sheet2", "--column2", "A",
                    "--trim", "--ignore-case", "--fold-width", "--match-row", "--highlight", "--backup", "--quiet"});
        QVERIFY2(cli.exitCode == 0, qPrintable(cli.err));

        const QList<SheetContent> result = readWorkbook(byWindow);
        QCOMPARE(dump(readWorkbook(byCli)), dump(result));
        const SheetContent left = sheetNamed(result, "Sheet1");
        QCOMPARE(left.rows.value(0).value(0),
                 QStringLiteral("“name”在“Sheet2”表“name”列出现的次数（忽略首尾空格、忽略大小写、全角半角视为相同）"));
        QCOMPARE(left.rows.value(0).value(1), QStringLiteral("在“Sheet2”表“name”列首次出现的行"));
        QList<QStringList> countsAndRows;
        for (const QStringList& row : left.rows.mid(1))
            countsAndRows.append(row.mid(0, 3));
        QCOMPARE(countsAndRows,
                 QList<QStringList>(
                     {{"1", "2", " Apple"}, {"1", "3", "BANANA"}, {"2", "4", "ｃｈｅｒｒｙ"}, {"0", "", "date"}}));
        const SheetContent right = sheetNamed(result, "Sheet2");
        QCOMPARE(right.rows.value(4).mid(0, 2), QStringList({"1", "4"}));
        // One conditional format per sheet marks the counts of 0.
        QCOMPARE(conditionalFormatsOf(byWindow, 1), 1);
        QCOMPARE(conditionalFormatsOf(byCli, 2), 1);
        // The originals were kept beside the workbooks.
        QCOMPARE(fileBytes(folder.filePath("options-window.备份.xlsx")), original);
        QCOMPARE(fileBytes(folder.filePath("options-cli.备份.xlsx")), original);
    }

    // Nothing chosen: exact comparison, one new column, no backup, no conditional format.
    void comparerDefaultsStayAsWritten()
    {
        const QString path = twoSheetWorkbook(folder.filePath("defaults.xlsx"), kLeft, kRight);
        QVERIFY(!path.isEmpty());
        const CliRun cli = runCli({"compare", path, "--sheet1", "Sheet1", "--column1", "A", "--sheet2", "Sheet2",
                                   "--column2", "A", "--quiet"});
        QVERIFY2(cli.exitCode == 0, qPrintable(cli.err));
        const SheetContent left = sheetNamed(readWorkbook(path), "Sheet1");
        QCOMPARE(left.rows.value(0), QStringList({"“name”在“Sheet2”表“name”列出现的次数", "name"}));
        QStringList counts;
        for (const QStringList& row : left.rows.mid(1))
            counts.append(row.value(0));
        QCOMPARE(counts, QStringList({"0", "0", "0", "0"}));
        QCOMPARE(conditionalFormatsOf(path, 1), 0);
        QVERIFY(!QFile::exists(folder.filePath("defaults.备份.xlsx")));
    }

    // A second backup does not replace the first.
    void backupsAreNumbered()
    {
        const QString path = twoSheetWorkbook(folder.filePath("twice.ods"), kLeft, kRight);
        QVERIFY(!path.isEmpty());
        const QByteArray first = fileBytes(path);
        for (int run = 0; run < 2; ++run) {
            const CliRun cli = runCli({"split-column", path, "--sheet", "Sheet1", "--start", "A1", "--end", "A5",
                                       "--column", "A", "--backup", "--quiet"});
            QVERIFY2(cli.exitCode == 0, qPrintable(cli.err));
        }
        QCOMPARE(fileBytes(folder.filePath("twice.备份.ods")), first);
        QVERIFY(QFile::exists(folder.filePath("twice.备份2.ods")));
        QVERIFY(fileBytes(folder.filePath("twice.备份2.ods")) != first);
    }

    // --- the column splitter ---

    void planNamesEachValueAndWhyItWasRenamed()
    {
        const QVector<ValueRows> groups =
            groupRowsByValue({"北京", "a/b", "", "北京", "sheet1", QString(40, 'x'), "a:b"}, 2);
        const QVector<SplitPlanEntry> sheets = planSheets(groups, {"Sheet1", "数据"});
        QStringList names;
        for (const SplitPlanEntry& entry : sheets)
            names.append(entry.name + "=" + QString::number(entry.rowCount) + ":" + entry.whyRenamed.join("+"));
        QCOMPARE(names,
                 QStringList({"北京=2:", "a_b=1:含有表名不能用的字符", "空=1:空值", "sheet1_0=1:名字已被占用",
                              QString(31, 'x') + "=1:超过31个字符", "a_b_0=1:含有表名不能用的字符+名字已被占用"}));
        const QVector<SplitPlanEntry> files = planFiles(groups, ".xlsx");
        QCOMPARE(files.at(1).name, QString("a b.xlsx"));
        QCOMPARE(files.at(2).name, QString("空.xlsx"));
        QCOMPARE(files.at(5).name, QString("a：b.xlsx"));
    }

    // The plan on the command line changes nothing; into files leaves the workbook as it was and
    // gives each value a file with the title row and its rows.
    void planFirstAndIntoFiles()
    {
        const QString book = folder.filePath("cities.xlsx");
        QVERIFY(writeWorkbook(
            book,
            {{"数据", {{"姓名", "城市"}, {"张伟", "北京"}, {"李娜", "上海"}, {"王芳", "北京"}, {"刘洋", "a/b"}}}}));
        const QByteArray original = fileBytes(book);
        const CliRun plan = runCli({"split-column", book, "--sheet", "数据", "--start", "A1", "--end", "B5", "--column",
                                    "B", "--dry-run", "--json"});
        QVERIFY2(plan.exitCode == 0, qPrintable(plan.err));
        const QJsonArray entries = QJsonDocument::fromJson(plan.out.toUtf8()).object().value("plan").toArray();
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries.at(0).toObject().value("name").toString(), QString("北京"));
        QCOMPARE(entries.at(0).toObject().value("rows").toInt(), 2);
        QCOMPARE(entries.at(2).toObject().value("renamed").toArray().size(), 1);
        const CliRun text = runCli({"split-column", book, "--sheet", "数据", "--start", "A1", "--end", "B5", "--column",
                                    "B", "--dry-run", "--to-files", folder.path()});
        QVERIFY2(text.out.contains(QStringLiteral("“a/b”：1行 → a b.xlsx（改名：含有文件名不能用的字符）")),
                 qPrintable(text.out));
        QCOMPARE(fileBytes(book), original);

        // The window: the plan first, cancelled, then started.
        const QString files = folder.filePath("files");
        QVERIFY(QDir().mkpath(files));
        SplitSheetFromColumn window;
        check(window, "splitColumn/lookFirst");
        check(window, "splitColumn/intoFiles");
        KivFileDialog::setNextFileName(book);
        window.findChild<QPushButton*>("importFileButton")->click();
        window.findChild<QTextEdit*>("referColText")->setPlainText("B");
        KivFileDialog::setNextDirectory(files);
        KivMessageBox::setNextAnswer(QMessageBox::Cancel);
        window.findChild<QPushButton*>("pushButton")->click();
        QVERIFY(KivMessageBox::shownTexts().value(0).startsWith(
            QStringLiteral("分割方案（3个值）：\n“北京”：2行 → 北京.xlsx")));
        QVERIFY(QDir(files).entryList(QDir::Files).isEmpty());
        KivMessageBox::clearShownTexts();
        KivFileDialog::setNextDirectory(files);
        window.findChild<QPushButton*>("pushButton")->click();
        QCOMPARE(KivMessageBox::lastKind(), NoticeKind::Information);
        QCOMPARE(QDir(files).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList({"a b.xlsx", "上海.xlsx", "北京.xlsx"}));
        const QList<SheetContent> beijing = readWorkbook(files + "/北京.xlsx");
        QCOMPARE(beijing.size(), 1);
        QCOMPARE(beijing.first().rows, QList<QStringList>({{"姓名", "城市"}, {"张伟", "北京"}, {"王芳", "北京"}}));
        QCOMPARE(fileBytes(book), original);
        // The command line writes the same files.
        const QString cliFiles = folder.filePath("files-cli");
        QVERIFY(QDir().mkpath(cliFiles));
        const CliRun cli = runCli({"split-column", book, "--sheet", "数据", "--start", "A1", "--end", "B5", "--column",
                                   "B", "--to-files", cliFiles, "--backup", "--quiet"});
        QVERIFY2(cli.exitCode == 0, qPrintable(cli.err));
        QCOMPARE(QDir(cliFiles).entryList(QDir::Files), QDir(files).entryList(QDir::Files));
        QCOMPARE(dump(readWorkbook(cliFiles + "/上海.xlsx")), dump(readWorkbook(files + "/上海.xlsx")));
        QCOMPARE(fileBytes(book), original);
    }

    // --- the sheet-to-files splitter ---

    void hiddenSheetsAreSkippedWhenChosen()
    {
        const QString book = copyOf(fixturePath("xlnt-16_hidden_sheet.xlsx"), "hidden.xlsx");
        const QString all = folder.filePath("all");
        const QString visible = folder.filePath("visible");
        QVERIFY(QDir().mkpath(all) && QDir().mkpath(visible));
        QCOMPARE(runCli({"split-sheets", book, "--out", all, "--quiet"}).exitCode, 0);
        QCOMPARE(QDir(all).entryList(QDir::Files).size(), 2);
        {
            splitExcelFromSheets window;
            check(window, "splitSheets/skipHidden");
            window.findChild<QTextEdit*>("dealFilePathTextEdit")->setPlainText(book);
            window.findChild<QTextEdit*>("outputDirPathTextEdit")->setPlainText(visible);
            window.findChild<QPushButton*>("startButton")->click();
        }
        const QStringList written = QDir(visible).entryList(QDir::Files);
        QCOMPARE(written.size(), 1);
        const QString cliVisible = folder.filePath("visible-cli");
        QDir().mkpath(cliVisible);
        QCOMPARE(runCli({"split-sheets", book, "--out", cliVisible, "--skip-hidden", "--quiet"}).exitCode, 0);
        QCOMPARE(QDir(cliVisible).entryList(QDir::Files), written);
    }

    // CSV files open in the office with every Chinese text intact; PDF files are real PDFs with
    // one sheet each; a file of the workbook's own format in the folder is left alone.
    void filesInAnotherFormat()
    {
        const QList<SheetContent> sheets = {{"一月", {{"姓名", "城市"}, {"张伟", "北京"}, {"李娜", "上海，浦东"}}},
                                            {"二月", {{"姓名"}, {"王芳"}}}};
        const QString book = folder.filePath("formats.xlsx");
        QVERIFY(writeWorkbook(book, sheets));
        const QString csv = folder.filePath("csv");
        QVERIFY(QDir().mkpath(csv));
        QVERIFY(writeWorkbook(csv + "/一月.xlsx", {{"keep", {{"mine"}}}}));
        const QByteArray mine = fileBytes(csv + "/一月.xlsx");
        const CliRun cli = runCli({"split-sheets", book, "--out", csv, "--format", "csv", "--quiet"});
        QVERIFY2(cli.exitCode == 0, qPrintable(cli.err));
        QCOMPARE(QDir(csv).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList({"一月.csv", "一月.xlsx", "二月.csv"}));
        QCOMPARE(fileBytes(csv + "/一月.xlsx"), mine);
        QVERIFY(fileBytes(csv + "/一月.csv").startsWith("\xEF\xBB\xBF"));
        const QList<SheetContent> opened = readWorkbook(csv + "/一月.csv");
        QVERIFY2(!opened.isEmpty(), fileBytes(csv + "/一月.csv").constData());
        QCOMPARE(dump({opened.value(0)}).mid(1), dump({SheetContent{opened.value(0).name, sheets.at(0).rows}}).mid(1));

        const QString pdf = folder.filePath("pdf");
        QVERIFY(QDir().mkpath(pdf));
        {
            splitExcelFromSheets window;
            QActionGroup* formats = window.findChild<QActionGroup*>("splitSheets/format");
            QVERIFY(formats);
            for (QAction* action : formats->actions())
                if (action->data().toString() == "pdf")
                    action->trigger();
            window.findChild<QTextEdit*>("dealFilePathTextEdit")->setPlainText(book);
            window.findChild<QTextEdit*>("outputDirPathTextEdit")->setPlainText(pdf);
            window.findChild<QPushButton*>("startButton")->click();
        }
        QCOMPARE(QDir(pdf).entryList(QDir::Files), QStringList({"一月.pdf", "二月.pdf"}));
        for (const char* name : {"一月.pdf", "二月.pdf"}) {
            const QByteArray bytes = fileBytes(pdf + "/" + name);
            QVERIFY(bytes.startsWith("%PDF-"));
            // The page tree counts one page.
            const QRegularExpression pages("/Type\\s*/Pages[^>]*/Count\\s+(\\d+)",
                                           QRegularExpression::DotMatchesEverythingOption);
            QCOMPARE(pages.match(QString::fromLatin1(bytes.constData(), bytes.size())).captured(1), QString("1"));
        }
        // The window remembers the format chosen.
        splitExcelFromSheets again;
        QCOMPARE(chosenValue(again.findChild<QActionGroup*>("splitSheets/format")), QString("pdf"));
    }

    // --- the windows ---

    // Choices come back in the next window; the menu bar sits above the form, which keeps its height.
    void choicesAreRememberedAndFormsKeepTheirSize()
    {
        {
            SplitSheetFromColumn window;
            QAction* backup = window.findChild<QAction*>("splitColumn/backup");
            QVERIFY(backup && !backup->isChecked());
            backup->setChecked(true);
        }
        SplitSheetFromColumn window;
        QVERIFY(window.findChild<QAction*>("splitColumn/backup")->isChecked());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.menuBar()->actions().value(0)->text(), QStringLiteral("选项"));
        const auto wholeFormShows = [](QMainWindow& shown) {
            QWidget* form = shown.centralWidget();
            return form->childrenRect().bottom() < form->height(); // nothing cut off below
        };
        QVERIFY(wholeFormShows(window));
        splitExcelFromSheets sheets;
        sheets.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheets));
        QVERIFY(wholeFormShows(sheets));
        ComparerDriver comparer;
        comparer.win()->show();
        QVERIFY(QTest::qWaitForWindowExposed(comparer.win()));
        QVERIFY(wholeFormShows(*comparer.win()));
    }
};

QTEST_MAIN(OptionsTest)
#include "tst_options.moc"
