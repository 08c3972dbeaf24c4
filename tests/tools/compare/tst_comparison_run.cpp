// The comparison run on real workbooks through the real office: counts, headers, row counts,
// the input checks in order, cancel, a second run, workbooks with formulas and styles, and a
// save that fails.

#include "comparerdriver.h"

#include "tools/compare/comparisonrun.h"
#include "tools/workbookimport.h"

#include <QHash>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kCancelled = QStringLiteral("注意：还没处理完毕，您已退出。");
const QString kPartial = QStringLiteral("虽然还没处理完，但是仍在目标文件保存了部分结果，请自行打开查看。");
const QString kFinishedNotSaved = QStringLiteral(
    "对比已结束，但结果未能保存到Excel文件（文件可能是只读的、正被其他程序占用或磁盘已满），请检查后重新导入并对比。");
const QString kPartialNotSaved =
    QStringLiteral("还没处理完，而且部分结果也未能保存到Excel文件（文件可能是只读的、正被其他程序占用或磁盘已满）。");

QString header(const QString& ownTitle, const QString& otherSheet, const QString& otherTitle)
{
    return QStringLiteral("“%1”在“%2”表“%3”列出现的次数").arg(ownTitle, otherSheet, otherTitle);
}

// The texts of one column, row 1 first, without the empty cells after the last text.
QStringList column(const SheetContent& sheet, int col)
{
    QStringList texts;
    for (const QStringList& row : sheet.rows)
        texts.append(col < row.size() ? row.at(col) : QString());
    while (!texts.isEmpty() && texts.last().isEmpty())
        texts.removeLast();
    return texts;
}

QStringList column(const QString& path, const QString& sheetName, int col)
{
    return column(sheetNamed(readWorkbook(path), sheetName), col);
}

QList<QStringList> oneColumn(const QStringList& texts)
{
    QList<QStringList> rows;
    for (const QString& text : texts)
        rows.append(QStringList(text));
    return rows;
}

// What the written algorithm gives: every value against every entry of the other list.
QStringList pairwiseCounts(const QStringList& values, const QStringList& others)
{
    QStringList counts;
    for (const QString& value : values)
        counts.append(QString::number(others.count(value)));
    return counts;
}

// Empty when every cell of before sits one column further right in after.
QString shiftProblem(const SheetContent& before, const SheetContent& after)
{
    for (int r = 0; r < before.rows.size(); ++r)
        for (int c = 0; c < before.rows.at(r).size(); ++c) {
            const QStringList afterRow = r < after.rows.size() ? after.rows.at(r) : QStringList();
            const QString moved = c + 1 < afterRow.size() ? afterRow.at(c + 1) : QString();
            if (moved != before.rows.at(r).at(c))
                return QStringLiteral("%1 row %2 col %3: '%4' became '%5'")
                    .arg(before.name)
                    .arg(r + 1)
                    .arg(c + 1)
                    .arg(before.rows.at(r).at(c), moved);
        }
    return QString();
}

} // namespace

class TestComparisonRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void countsLandInNewFirstColumnsWithHeaders();
    void emptyCellsCaseAndSpacesAreExactValues();
    void eachTableRunsToItsOwnRowCount();
    void rowCountOneGivesHeadersOnly();
    void negativeAndPaddedRowCounts();
    void inputChecksRunInOrderAndTouchNothing();
    void secondRunInsertsAnotherColumn();
    void chunkedRunMatchesPairwiseCounts();
    void cancelDuringReadPassSavesColumnsAndHeadersOnly();
    void cancelDuringCountPassKeepsWrittenChunks();
    void formulasCommentsAndHyperlinksMoveRight();
    void otherSheetsStayUnchanged();
    void failedSaveIsNeverReportedAsSaved();
    void readOnlyWorkbookIsNeitherChangedNorReportedSaved();

private:
    QString path(const QString& name) const { return folder.filePath(name); }

    QTemporaryDir folder;
};

void TestComparisonRun::initTestCase()
{
    initTestEnvironment();
    // Calls of 5,000 rows, so that a few thousand rows cross call boundaries.
    ComparisonRun::setRowsPerCall(5000);
    QVERIFY(folder.isValid());
}

void TestComparisonRun::init()
{
    KivMessageBox::clearShownTexts();
}

void TestComparisonRun::countsLandInNewFirstColumnsWithHeaders()
{
    const QString file = twoSheetWorkbook(path("basic.xlsx"), {{"Name", "Other"}, {"x", "1"}, {"x", "2"}, {"y", "3"}},
                                          {{"Key"}, {"x"}, {"z"}});
    QVERIFY(!file.isEmpty());
    ComparerDriver comparer;
    comparer.importWorkbook(file);
    comparer.compare(0, 0, "4", "3");

    QCOMPARE(KivMessageBox::shownTexts(), QStringList(finishedText()));
    QCOMPARE(RunProgress::lastLabel(), QString("正在处理中，请不要操作其他Excel文件。"));
    QCOMPARE(RunProgress::lastCancelText(), QString("取消"));
    QCOMPARE(RunProgress::lastMaximum(), 10);
    QVERIFY(comparer.win()->isEnabled());
    // The pickers list the new header first and still select the compared columns.
    const QString header1 = header("Name", "Sheet2", "Key");
    const QString header2 = header("Key", "Sheet1", "Name");
    QCOMPARE(comparer.items("comboBoxTitle1"), QStringList({header1, "Name", "Other"}));
    QCOMPARE(comparer.box("comboBoxTitle1")->currentIndex(), 1);
    QCOMPARE(comparer.items("comboBoxTitle2"), QStringList({header2, "Key"}));
    QCOMPARE(comparer.box("comboBoxTitle2")->currentIndex(), 1);

    comparer.destroyWindow();
    const QList<SheetContent> result = readWorkbook(file);
    QCOMPARE(column(sheetNamed(result, "Sheet1"), 0), QStringList({header1, "1", "1", "0"}));
    QCOMPARE(column(sheetNamed(result, "Sheet1"), 1), QStringList({"Name", "x", "x", "y"}));
    QCOMPARE(column(sheetNamed(result, "Sheet1"), 2), QStringList({"Other", "1", "2", "3"}));
    QCOMPARE(column(sheetNamed(result, "Sheet2"), 0), QStringList({header2, "2", "0"}));
    QCOMPARE(column(sheetNamed(result, "Sheet2"), 1), QStringList({"Key", "x", "z"}));
}

void TestComparisonRun::emptyCellsCaseAndSpacesAreExactValues()
{
    const QString file =
        twoSheetWorkbook(path("exact.xlsx"), oneColumn({"V", "", "abc", "a "}), oneColumn({"W", "", "", "ABC", "a"}));
    ComparerDriver comparer;
    comparer.importWorkbook(file);
    comparer.compare(0, 0, "4", "5");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList(finishedText()));
    comparer.destroyWindow();
    QCOMPARE(column(file, "Sheet1", 0), QStringList({header("V", "Sheet2", "W"), "2", "0", "0"}));
    QCOMPARE(column(file, "Sheet2", 0), QStringList({header("W", "Sheet1", "V"), "1", "1", "0", "0"}));
}

void TestComparisonRun::eachTableRunsToItsOwnRowCount()
{
    const QString file = twoSheetWorkbook(path("rows.xlsx"), oneColumn({"K", "p", "q", "p", "late"}),
                                          oneColumn({"K", "p", "r", "q", "p", "q", "late"}));
    ComparerDriver comparer;
    comparer.importWorkbook(file);
    comparer.compare(0, 0, "4", "6");
    comparer.destroyWindow();
    // The rows after each table's count are neither counted nor given a count.
    QCOMPARE(column(file, "Sheet1", 0), QStringList({header("K", "Sheet2", "K"), "2", "2", "2"}));
    QCOMPARE(column(file, "Sheet2", 0), QStringList({header("K", "Sheet1", "K"), "2", "0", "1", "2", "1"}));
    QCOMPARE(column(file, "Sheet2", 1).last(), QString("late"));
}

void TestComparisonRun::rowCountOneGivesHeadersOnly()
{
    const QString file = twoSheetWorkbook(path("one.xlsx"), oneColumn({"A", "x"}), oneColumn({"B", "x"}));
    ComparerDriver comparer;
    comparer.importWorkbook(file);
    comparer.compare(0, 0, "1", "1");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList(finishedText()));
    comparer.destroyWindow();
    QCOMPARE(column(file, "Sheet1", 0), QStringList(header("A", "Sheet2", "B")));
    QCOMPARE(column(file, "Sheet2", 0), QStringList(header("B", "Sheet1", "A")));
    QCOMPARE(column(file, "Sheet1", 1), QStringList({"A", "x"}));
}

void TestComparisonRun::negativeAndPaddedRowCounts()
{
    const QString file = twoSheetWorkbook(path("padded.xlsx"), oneColumn({"A", "x"}), oneColumn({"B", "x", "y", "x"}));
    const QByteArray before = fileBytes(file);
    ComparerDriver comparer;
    comparer.importWorkbook(file);
    // A negative count would insert columns and claim success with nothing counted.
    for (const char* negative : {"-3", "-1"}) {
        KivMessageBox::clearShownTexts();
        comparer.compare(0, 0, negative, "4");
        QCOMPARE(KivMessageBox::shownTexts(), QStringList("表1的总行数有误，请重新输入。"));
        KivMessageBox::clearShownTexts();
        comparer.compare(0, 0, "2", negative);
        QCOMPARE(KivMessageBox::shownTexts(), QStringList("表2的总行数有误，请重新输入。"));
    }
    QCOMPARE(fileBytes(file), before);

    KivMessageBox::clearShownTexts();
    comparer.compare(0, 0, "1", " 12 ");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList(finishedText()));
    QCOMPARE(comparer.edit("sheet2RowsTextEdit")->toPlainText(), QString("12"));
    comparer.destroyWindow();
    // Table 1 has no data rows, so every row of table 2 up to row 12 counts 0.
    QCOMPARE(column(file, "Sheet1", 0), QStringList(header("A", "Sheet2", "B")));
    QStringList expected2 = {header("B", "Sheet1", "A")};
    for (int row = 2; row <= 12; ++row)
        expected2.append("0");
    QCOMPARE(column(file, "Sheet2", 0), expected2);
}

void TestComparisonRun::inputChecksRunInOrderAndTouchNothing()
{
    const QString file = twoSheetWorkbook(path("checks.xlsx"), oneColumn({"A", "x"}), oneColumn({"B", "x"}));
    ComparerDriver comparer;
    QComboBox* sheet1 = comparer.box("comboBoxSheet1");
    QComboBox* sheet2 = comparer.box("comboBoxSheet2");
    QComboBox* title1 = comparer.box("comboBoxTitle1");
    QComboBox* title2 = comparer.box("comboBoxTitle2");
    QTextEdit* rows1 = comparer.edit("sheet1RowsTextEdit");
    QTextEdit* rows2 = comparer.edit("sheet2RowsTextEdit");
    auto attempt = [&] { comparer.click("startCompareButton"); };
    auto pick = [&](QComboBox* box, int index) {
        box->setCurrentIndex(index);
        ComparerDriver::settle();
    };

    attempt();
    comparer.importWorkbook(file);
    pick(sheet1, -1);
    attempt();
    pick(sheet1, 0);
    pick(sheet2, -1);
    attempt();
    pick(sheet2, 0);
    attempt();
    pick(sheet2, 1);
    pick(title1, -1);
    attempt();
    pick(title1, 0);
    pick(title2, -1);
    attempt();
    pick(title2, 0);
    for (const char* badRows : {"", "abc", "0", "3000000000", "1.5"}) {
        rows1->setPlainText(badRows);
        rows2->setPlainText("2");
        attempt();
    }
    rows1->setPlainText("2");
    rows2->setPlainText(" x ");
    attempt();
    QCOMPARE(rows2->toPlainText(), QString("x"));

    QCOMPARE(KivMessageBox::shownTexts(),
             QStringList({"没有导入Excel文件，无法比对。", "没有表1，无法比对。", "没有表2，无法比对。",
                          "表1跟表2是同一个表，不需比对。", "表1没有选择列，无法比对。", "表2没有选择列，无法比对。",
                          "表1的总行数有误，请重新输入。", "表1的总行数有误，请重新输入。",
                          "表1的总行数有误，请重新输入。", "表1的总行数有误，请重新输入。",
                          "表1的总行数有误，请重新输入。", "表2的总行数有误，请重新输入。"}));
    // The refused attempts left the workbook alone: one valid run inserts exactly one column.
    KivMessageBox::clearShownTexts();
    comparer.compare(0, 0, "2", "2");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList(finishedText()));
    comparer.destroyWindow();
    QCOMPARE(column(file, "Sheet1", 0), QStringList({header("A", "Sheet2", "B"), "1"}));
    QCOMPARE(column(file, "Sheet1", 1), QStringList({"A", "x"}));
    QCOMPARE(column(file, "Sheet1", 2), QStringList());
}

void TestComparisonRun::secondRunInsertsAnotherColumn()
{
    const QString file =
        twoSheetWorkbook(path("twice.xlsx"), oneColumn({"Name", "x", "x", "y"}), oneColumn({"Key", "x", "z"}));
    ComparerDriver comparer;
    comparer.importWorkbook(file);
    comparer.compare(0, 0, "4", "3");
    // The pickers now select the compared columns one place further right.
    comparer.compare(comparer.box("comboBoxTitle1")->currentIndex(), comparer.box("comboBoxTitle2")->currentIndex(),
                     "4", "3");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList({finishedText(), finishedText()}));
    comparer.destroyWindow();
    const QString header1 = header("Name", "Sheet2", "Key");
    QCOMPARE(column(file, "Sheet1", 0), QStringList({header1, "1", "1", "0"}));
    QCOMPARE(column(file, "Sheet1", 1), QStringList({header1, "1", "1", "0"}));
    QCOMPARE(column(file, "Sheet1", 2), QStringList({"Name", "x", "x", "y"}));
    QCOMPARE(column(file, "Sheet2", 0), QStringList({header("Key", "Sheet1", "Name"), "2", "0"}));
    QCOMPARE(column(file, "Sheet2", 2), QStringList({"Key", "x", "z"}));
}

void TestComparisonRun::chunkedRunMatchesPairwiseCounts()
{
    // More rows than one chunk, row counts that end inside a chunk, values with repeats.
    QStringList values1 = {"T1"};
    QStringList values2 = {"T2"};
    for (int i = 0; i < 10100; ++i)
        values1.append(QString("v%1").arg(i % 53));
    for (int i = 0; i < 6200; ++i)
        values2.append(i % 7 == 0 ? QString() : QString("v%1").arg(i % 61));
    const QString file = twoSheetWorkbook(path("chunks.xlsx"), oneColumn(values1), oneColumn(values2));
    ComparerDriver comparer;
    comparer.importWorkbook(file);
    comparer.compare(0, 0, "10101", "6201");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList(finishedText()));
    comparer.destroyWindow();

    const QStringList data1 = values1.mid(1);
    const QStringList data2 = values2.mid(1);
    const QList<SheetContent> result = readWorkbook(file);
    QCOMPARE(column(sheetNamed(result, "Sheet1"), 0).mid(1), pairwiseCounts(data1, data2));
    QCOMPARE(column(sheetNamed(result, "Sheet2"), 0).mid(1), pairwiseCounts(data2, data1));
}

void TestComparisonRun::cancelDuringReadPassSavesColumnsAndHeadersOnly()
{
    const QString file = twoSheetWorkbook(path("cancel-read.xlsx"), oneColumn({"A", "x", "y"}), oneColumn({"B", "x"}));
    ComparerDriver comparer;
    comparer.win()->show();
    comparer.importWorkbook(file);
    RunProgress::setCancelAtValue(1);
    comparer.compare(0, 0, "3", "2");

    QCOMPARE(KivMessageBox::shownTexts(), QStringList({kCancelled, kPartial}));
    // The window closed itself: workbook closed, form empty.
    QVERIFY(!comparer.win()->isVisible());
    QVERIFY(!comparer.win()->hasExcelLink());
    QVERIFY(comparer.edit("directFilePath")->toPlainText().isEmpty());
    QVERIFY(!isOpenInOffice(file));
    QCOMPARE(column(file, "Sheet1", 0), QStringList(header("A", "Sheet2", "B")));
    QCOMPARE(column(file, "Sheet1", 1), QStringList({"A", "x", "y"}));
    QCOMPARE(column(file, "Sheet2", 0), QStringList(header("B", "Sheet1", "A")));
}

void TestComparisonRun::cancelDuringCountPassKeepsWrittenChunks()
{
    QStringList values = {"K"};
    for (int i = 0; i < 6000; ++i)
        values.append(QString("v%1").arg(i % 10));
    const QString file = twoSheetWorkbook(path("cancel-count.xlsx"), oneColumn(values), oneColumn(values));
    ComparerDriver comparer;
    comparer.importWorkbook(file);
    // Both read passes make 12,000 steps; the first chunk of counts (5,000 rows) makes it 17,000.
    RunProgress::setCancelAtValue(17000);
    comparer.compare(0, 0, "6001", "6001");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList({kCancelled, kPartial}));
    comparer.destroyWindow();

    const QStringList counts1 = column(file, "Sheet1", 0);
    QCOMPARE(counts1.size(), 1 + 5000);
    QVERIFY(std::all_of(counts1.begin() + 1, counts1.end(), [](const QString& c) { return c == "600"; }));
    QCOMPARE(column(file, "Sheet2", 0), QStringList(header("K", "Sheet1", "K")));
}

void TestComparisonRun::formulasCommentsAndHyperlinksMoveRight()
{
    const QString file = copyFixture("xlnt-10_comments_hyperlinks_formulae.xlsx", folder.path());
    const QList<SheetContent> before = readWorkbook(file);
    QCOMPARE(sheetNames(before), QStringList({"Sheet1", "Sheet2"}));
    ComparerDriver comparer;
    comparer.importWorkbook(file);
    comparer.compare(0, 0, "7", "4");
    QCOMPARE(KivMessageBox::shownTexts(), QStringList(finishedText()));
    comparer.destroyWindow();

    const QList<SheetContent> after = readWorkbook(file);
    for (const SheetContent& sheet : before) {
        const SheetContent moved = sheetNamed(after, sheet.name);
        QVERIFY2(shiftProblem(sheet, moved).isEmpty(), qPrintable(shiftProblem(sheet, moved)));
        QCOMPARE(column(moved, 0).size(), sheet.rows.size());
    }
}

void TestComparisonRun::otherSheetsStayUnchanged()
{
    const QString file = copyFixture("xlrd-Formate.xls", folder.path());
    const QList<SheetContent> before = readWorkbook(file);
    QVERIFY(before.size() >= 3);
    ComparerDriver comparer;
    comparer.importWorkbook(file);
    comparer.compare(0, 0, QString::number(before.at(0).rows.size()), QString::number(before.at(1).rows.size()));
    QCOMPARE(KivMessageBox::shownTexts(), QStringList(finishedText()));
    comparer.destroyWindow();

    const QList<SheetContent> after = readWorkbook(file);
    QCOMPARE(sheetNames(after), sheetNames(before));
    for (int i = 0; i < 2; ++i)
        QVERIFY2(shiftProblem(before.at(i), after.at(i)).isEmpty(),
                 qPrintable(shiftProblem(before.at(i), after.at(i))));
    QCOMPARE(dump(after.mid(2)), dump(before.mid(2)));
}

void TestComparisonRun::failedSaveIsNeverReportedAsSaved()
{
    for (const bool cancel : {false, true}) {
        // The workbook's folder disappears while it is open: every change works, the save cannot.
        QTemporaryDir vanishing(folder.filePath("vanishing-XXXXXX"));
        const QString file =
            twoSheetWorkbook(vanishing.filePath("gone.xlsx"), oneColumn({"A", "x"}), oneColumn({"B", "x"}));
        QVERIFY(!file.isEmpty());
        ComparerDriver comparer;
        comparer.importWorkbook(file);
        QVERIFY(vanishing.remove());
        KivMessageBox::clearShownTexts();
        RunProgress::setCancelAtValue(cancel ? 1 : -1);
        comparer.compare(0, 0, "2", "2");
        QCOMPARE(KivMessageBox::shownTexts(),
                 cancel ? QStringList({kCancelled, kPartialNotSaved}) : QStringList(kFinishedNotSaved));
        // Not saved is a failure, as on the command line; the changed workbook is let go.
        QCOMPARE(KivMessageBox::lastKind(), NoticeKind::Failure);
        QVERIFY(!comparer.win()->hasExcelLink());
    }
}

void TestComparisonRun::readOnlyWorkbookIsNeitherChangedNorReportedSaved()
{
    const QString file = twoSheetWorkbook(path("locked.xlsx"), oneColumn({"A", "x"}), oneColumn({"B", "x"}));
    const QStringList before = dump(readWorkbook(file));
    QVERIFY(lockByAnotherUser(file));
    ComparerDriver comparer;
    comparer.importWorkbook(file);
    // Said at import, before any work.
    QCOMPARE(KivMessageBox::shownTexts(), QStringList(readOnlyAtImportText(file)));
    QCOMPARE(KivMessageBox::lastKind(), NoticeKind::Warning);
    comparer.compare(0, 0, "2", "2");
    // The office refuses the writes into a workbook opened read-only.
    QCOMPARE(KivMessageBox::shownTexts(),
             QStringList({readOnlyAtImportText(file), "写入对比结果时出错，已停止处理。", kPartialNotSaved}));
    comparer.destroyWindow();
    QFile::remove(QFileInfo(file).absolutePath() + "/.~lock." + QFileInfo(file).fileName() + "#");
    QCOMPARE(dump(readWorkbook(file)), before);
}

QTEST_MAIN(TestComparisonRun)
#include "tst_comparison_run.moc"
