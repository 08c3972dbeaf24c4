// The column split's new sheets show what the user saw: a formula whose cells went to another
// value's sheet (a running total, a line pointing at one record) is written as the value it
// showed, formulas within the kept rows stay formulas, and the message counts the cells. Rows
// entirely empty go to no sheet, and the message says how many. The option keeps the formulas.
#include "common/dialogs.h"
#include "common/runprogress.h"
#include "excelop/cellref.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"
#include "tools/splitcolumn/columnsplitjob.h"
#include "tools/splitcolumn/columnsplitrun.h"
#include "tools/splitcolumn/lostreferences.h"
#include "tools/splitcolumn/splitsheetfromcolumn.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <limits>

namespace {

// A cell of the flat document format: "=..." a formula with Excel's references, a number, a text.
QString fodsCell(const QString& cell)
{
    if (cell.isEmpty())
        return QStringLiteral("<table:table-cell/>");
    if (cell.startsWith(QLatin1Char('='))) {
        QString formula = cell.mid(1);
        static const QRegularExpression reference(QStringLiteral("\\b([A-Z]{1,2}[0-9]+)(?::([A-Z]{1,2}[0-9]+))?\\b"));
        formula.replace(reference, QStringLiteral("[.\\1:.\\2]"));
        formula.replace(QStringLiteral(":.]"), QStringLiteral("]"));
        return QStringLiteral("<table:table-cell table:formula=\"of:=%1\"/>").arg(formula.toHtmlEscaped());
    }
    bool number = false;
    cell.toDouble(&number);
    if (number)
        return QStringLiteral("<table:table-cell office:value-type=\"float\" office:value=\"%1\"/>").arg(cell);
    return QStringLiteral("<table:table-cell office:value-type=\"string\"><text:p>%1</text:p></table:table-cell>")
        .arg(cell.toHtmlEscaped());
}

// An .xlsx with one sheet "Data" holding formulas, put together by the office from a flat document.
bool writeFormulaBook(const QString& path, const QList<QStringList>& rows)
{
    QString table;
    for (const QStringList& row : rows) {
        table += QStringLiteral("<table:table-row>");
        for (const QString& cell : row.isEmpty() ? QStringList{QString()} : row)
            table += fodsCell(cell);
        table += QStringLiteral("</table:table-row>");
    }
    const QString flat = path + QStringLiteral(".fods");
    QFile file(flat);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
            "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
            "xmlns:of=\"urn:oasis:names:tc:opendocument:xmlns:of:1.2\" office:version=\"1.2\" "
            "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"><office:body><office:spreadsheet>"
            "<table:table table:name=\"Data\">%1</table:table></office:spreadsheet></office:body></office:document>")
            .arg(table)
            .toUtf8());
    file.close();
    auto book = openedWorkbook(flat);
    return book->hasWorkbook() && book->saveWorkbookAs(path);
}

// Title row 1, data rows 2..9 by 地区 (B), a running total in D, an amount on its own row in E,
// an entirely empty row 7 and a record without 地区 in row 8; below the data a total over all
// rows and a line pointing at the record in row 3.
QList<QStringList> runningTotals()
{
    return {
        {"编号", "地区", "金额", "累计", "两倍"},
        {"n1", "a", "10", "=C2", "=C2*2"},
        {"n2", "b", "20", "=D2+C3", "=C3*2"},
        {"n3", "a", "30", "=D3+C4", "=C4*2"},
        {"n4", "a", "40", "=D4+C5", "=C5*2"},
        {"n5", "b", "50", "=D5+C6", "=C6*2"},
        {},
        {"n6", "", "60", "=D6+C8", "=C8*2"},
        {"n7", "a", "70", "=D8+C9", "=C9*2"},
        {"合计", "", "=SUM(C2:C9)", "=C3"},
    };
}

// The running totals the user saw, by 编号.
const QHash<QString, QString> kTotals = {{"n1", "10"},  {"n2", "30"},  {"n3", "60"}, {"n4", "100"},
                                         {"n5", "150"}, {"n6", "210"}, {"n7", "280"}};

// The cells of a sheet holding a formula, as "D3".
QStringList formulaCells(SheetEntry& sheet)
{
    QStringList cells;
    const QList<QStringList> rows = sheet.usedAreaFormulas();
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c)
            if (rows.at(r).at(c).startsWith(QLatin1Char('=')))
                cells << columnLetters(c + 1) + QString::number(r + 1);
    return cells;
}

// Cells showing an error: #REF!, or #NAME? where a broken reference to a table was read back.
int brokenCells(const QList<SheetContent>& sheets, const QStringList& names)
{
    int broken = 0;
    for (const QString& name : names)
        for (const QStringList& row : sheetNamed(sheets, name).rows)
            broken += row.count(QStringLiteral("#REF!")) + row.count(QStringLiteral("#NAME?"));
    return broken;
}

QString corpusBook(const QString& name)
{
    return QDir(QStringLiteral(KIVEXCEL_SOURCE_DIR)).filePath(QStringLiteral("../shared/fixtures/corpus/") + name);
}

} // namespace

class SplitKeepsValuesTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    QString runningTotalsBook(const QString& name)
    {
        const QString path = folder.filePath(name);
        return writeFormulaBook(path, runningTotals()) ? path : QString();
    }

    JobOutcome splitJob(const QString& path, const QString& sheet, const QString& end, const QString& column,
                        bool keepBroken, const QString& start = QStringLiteral("A1"))
    {
        ColumnSplitRequest request{path, sheet, start, end, column};
        request.keepBrokenFormulas = keepBroken;
        std::unique_ptr<ExcelOpKiv> link;
        return ColumnSplitJob(request).run(link);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    void whichFormulasLoseTheirCells_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<int>("removedColumn");
        QTest::addColumn<bool>("loses");
        // In row 10 below the data rows 2..9, of which the new sheet keeps 2 and 3.
        QTest::newRow("a kept cell") << "=C3" << 0 << false;
        QTest::newRow("a row gone") << "=C5" << 0 << true;
        QTest::newRow("a range keeping some rows") << "=SUM(C2:C9)" << 0 << false;
        QTest::newRow("a range of rows all gone") << "=SUM(C4:$C$6)" << 0 << true;
        QTest::newRow("whole rows gone") << "=SUM(5:6)" << 0 << true;
        QTest::newRow("whole columns") << "=SUM(C:C)" << 0 << false;
        QTest::newRow("the title row") << "=C$1" << 0 << false;
        QTest::newRow("the own sheet by name") << "=$Data.C5" << 0 << true;
        QTest::newRow("another sheet") << "=$Rates.C5" << 0 << false;
        QTest::newRow("a text") << "=\"C5\"&C3" << 0 << false;
        QTest::newRow("past a table's columns") << "=SUM(T[[#Totals];[x]])+C5" << 0 << true;
        QTest::newRow("another file's") << "='file:///x.xlsx'#$Data.C5" << 0 << false;
        QTest::newRow("past a name") << "=Rate*C5" << 0 << true;
        QTest::newRow("an array formula") << "{=SUM(C5:C6*2)}" << 0 << true;
        QTest::newRow("the removed column") << "=B3" << 2 << true;
        QTest::newRow("a range beyond the removed column") << "=SUM(B3:C3)" << 2 << false;
        QTest::newRow("no references") << "=1+2" << 2 << false;
    }
    void whichFormulasLoseTheirCells()
    {
        QFETCH(QString, formula);
        QFETCH(int, removedColumn);
        QFETCH(bool, loses);
        QList<QStringList> sheet;
        for (int r = 0; r < 9; ++r)
            sheet.append(QStringList{"x"});
        sheet.append(QStringList{"total", formula});
        const LostReferences lost(sheet, "Data", 2, 9, removedColumn);
        const QVector<QPoint> expected = loses ? QVector<QPoint>{QPoint(2, 10)} : QVector<QPoint>();
        QCOMPARE(lost.cellsIn({2, 3}), expected);
        // A formula in a data row counts only in the sheet that keeps its row.
        QList<QStringList> inRow = sheet.mid(0, 3);
        inRow[2] = QStringList{"x", formula};
        QCOMPARE(LostReferences(inRow, "Data", 2, 9, removedColumn).cellsIn({2}), QVector<QPoint>());
    }

    // A running total in D of rows 2..9, a number in D7: the cells kept as values go in blocks of
    // one column that take the rows going anyway between them, but no formula the new sheet keeps
    // and no constant.
    void lostCellsGoInBlocks_data()
    {
        QTest::addColumn<QVector<int>>("keptRows");
        QTest::addColumn<QVector<QRect>>("blocks");
        QTest::newRow("rows going between") << QVector<int>{2, 4, 6} << QVector<QRect>{QRect(4, 4, 1, 3)};
        QTest::newRow("a formula kept between")
            << QVector<int>{2, 4, 5, 9} << QVector<QRect>{QRect(4, 4, 1, 1), QRect(4, 9, 1, 1)};
        QTest::newRow("a constant between")
            << QVector<int>{2, 6, 9} << QVector<QRect>{QRect(4, 6, 1, 1), QRect(4, 9, 1, 1)};
    }
    void lostCellsGoInBlocks()
    {
        QFETCH(QVector<int>, keptRows);
        QFETCH(QVector<QRect>, blocks);
        QList<QStringList> sheet{{"id", "ref", "amount", "total"}, {"n", "a", "1", "=C2"}};
        for (int row = 3; row <= 9; ++row)
            sheet.append(
                {"n", "a", "1", row == 7 ? QStringLiteral("0") : QStringLiteral("=D%1+C%2").arg(row - 1).arg(row)});
        const LostReferences lost(sheet, "Data", 2, 9, 0);
        QCOMPARE(lost.blocksOf(lost.cellsIn(keptRows), keptRows), blocks);
    }

    // Each new sheet shows the running totals the user saw: where the row above went elsewhere as
    // a value, else as the formula; the amounts stay formulas, the total over all rows shrinks.
    void runningTotalsKeepTheirValues()
    {
        const QString path = runningTotalsBook(QStringLiteral("totals.xlsx"));
        QVERIFY(!path.isEmpty());
        const QList<SheetContent> before = readWorkbook(path);
        const JobOutcome outcome = splitJob(path, "Data", "E9", "B", false);
        QCOMPARE(outcome.kind, JobOutcome::Kind::Done);
        QCOMPARE(
            outcome.messages.mid(1),
            QStringList({QStringLiteral(
                             "新Sheet表里有7个单元格的公式引用的内容不在该表里（会显示#REF!），已保留为原来显示的值。"),
                         QStringLiteral("数据区域里有1行整行为空，不分到任何新Sheet表。")}));

        const QList<SheetContent> after = readWorkbook(path);
        QCOMPARE(sheetNames(after), QStringList({"a", "b", "空", "Data"}));
        QCOMPARE(sheetNamed(after, "Data").rows, sheetNamed(before, "Data").rows);
        auto book = openedWorkbook(path);
        const QHash<QString, QStringList> formulas = {
            {"a", {"D2", "E2", "E3", "D4", "E4", "E5", "C6"}}, // D3 (after b), D5 (after 空), D6 (=C3) are values
            {"b", {"E2", "E3", "C4", "D4"}},                   // D4 points at its own record, now C2
            {"空", {"E2", "C3"}},
        };
        for (const QString& name : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("空")}) {
            const QList<QStringList> rows = sheetNamed(after, name).rows;
            for (const QStringList& row : rows.mid(1, rows.size() - 2))
                QCOMPARE(row.value(3), kTotals.value(row.value(0)));
            QCOMPARE(rows.last().value(3), QString("20")); // the record of row 3 as the user saw it
            QCOMPARE(formulaCells(*book->findSheet(name)), formulas.value(name));
        }
        QCOMPARE(sheetNamed(after, "a").rows.last().value(2), QString("150")); // the total of a's rows
    }

    // Values taking turns: each running total after the first is kept, written in one block per
    // sheet together with the other value's rows, which the count leaves out.
    void alternatingValuesCountEachCellOnce()
    {
        QList<QStringList> rows{{"编号", "地区", "金额", "累计"}, {"n1", "a", "10", "=C2"}};
        for (int row = 3; row <= 9; ++row)
            rows.append({QStringLiteral("n%1").arg(row - 1), row % 2 ? "b" : "a", "10",
                         QStringLiteral("=D%1+C%2").arg(row - 1).arg(row)});
        const QString path = folder.filePath(QStringLiteral("alternating.xlsx"));
        QVERIFY(writeFormulaBook(path, rows));
        const JobOutcome outcome = splitJob(path, "Data", "D9", "B", false);
        QCOMPARE(
            outcome.messages.value(1),
            QStringLiteral("新Sheet表里有7个单元格的公式引用的内容不在该表里（会显示#REF!），已保留为原来显示的值。"));
        const QList<SheetContent> after = readWorkbook(path);
        QCOMPARE(sheetNamed(after, "a").rows, QList<QStringList>({rows.first(),
                                                                  {"n1", "a", "10", "10"},
                                                                  {"n3", "a", "10", "30"},
                                                                  {"n5", "a", "10", "50"},
                                                                  {"n7", "a", "10", "70"}}));
        QCOMPARE(sheetNamed(after, "b").rows.last(), QStringList({"n8", "b", "10", "80"}));
    }

    void optionKeepsTheFormulas()
    {
        const QString path = runningTotalsBook(QStringLiteral("kept.xlsx"));
        const JobOutcome outcome = splitJob(path, "Data", "E9", "B", true);
        QCOMPARE(outcome.kind, JobOutcome::Kind::Done);
        QCOMPARE(outcome.messages.size(), 2); // the done message and the empty row
        // The seven cells, and in a the running total after the first of them.
        const QList<SheetContent> after = readWorkbook(path);
        QCOMPARE(brokenCells(after, {"a", "b", "空"}), 8);
        auto book = openedWorkbook(path);
        QCOMPARE(formulaCells(*book->findSheet("b")), QStringList({"D2", "E2", "D3", "E3", "C4", "D4"}));
    }

    // Without a reference value and without anything else, a row is no record: no sheet "空" for
    // such rows alone, also where the data area runs past the used rows; both ways agree.
    void entirelyEmptyRowsGoToNoSheet()
    {
        SheetContent data{"Data", {{"id", "ref", "amount"}}};
        for (int k = 0; k < 60; ++k)
            data.rows.append(k % 7 == 3 ? QStringList()
                                        : QStringList{QStringLiteral("r%1").arg(k), k % 3 ? "a" : "b", "1"});
        const QString byBlocks = folder.filePath(QStringLiteral("empty-blocks.xlsx"));
        const QString bySorting = folder.filePath(QStringLiteral("empty-sorted.xlsx"));
        QVERIFY(writeWorkbook(byBlocks, {data}));
        QVERIFY(writeWorkbook(bySorting, {data}));
        for (const int blocks : {std::numeric_limits<int>::max(), 0}) {
            auto book = openedWorkbook(blocks ? byBlocks : bySorting);
            ColumnSplitSettings settings{"Data", 1, 80, 2, false};
            settings.blocksForSortedCopy = settings.blocksForSortedCopyWithFormulas = blocks;
            ColumnSplitRun run(*book, settings);
            QCOMPARE(run.run(), ColumnSplitRun::Outcome::Finished);
            QCOMPARE(run.emptyRowsLeftOut(), 9 + 19);                     // rows 62..80 lie below the used ones
            QCOMPARE(RunProgress::lastValues().size() == 3, blocks == 0); // the sorted way: a step per value
            QVERIFY(book->saveWorkbook());
        }
        const QList<SheetContent> sorted = readWorkbook(bySorting);
        QCOMPARE(sheetNames(sorted), QStringList({"b", "a", "Data"}));
        QCOMPARE(sheetNamed(sorted, "a").rows.size() + sheetNamed(sorted, "b").rows.size(), 2 + 60 - 9);
        const QList<SheetContent> blocks = readWorkbook(byBlocks);
        QCOMPARE(sheetNames(blocks), sheetNames(sorted));
        for (const SheetContent& sheet : blocks)
            QCOMPARE(sheetNamed(sorted, sheet.name).rows, sheet.rows);

        // A row with something beside its empty reference value is a record of "空".
        const QString path = folder.filePath(QStringLiteral("empty-value.xlsx"));
        data.rows[4] = QStringList{"r3", "", "1"};
        QVERIFY(writeWorkbook(path, {data}));
        std::unique_ptr<ExcelOpKiv> link;
        const JobOutcome plan = ColumnSplitJob({path, "Data", "A1", "C61", "B"}).plan(link);
        QCOMPARE(plan.plan.size(), 3);
        QCOMPARE(plan.messages.last(), QStringLiteral("数据区域里有8行整行为空，不分到任何新Sheet表。"));
        const JobOutcome outcome = splitJob(path, "Data", "C61", "B", false);
        QCOMPARE(outcome.messages.value(1), QStringLiteral("数据区域里有8行整行为空，不分到任何新Sheet表。"));
        QCOMPARE(sheetNamed(readWorkbook(path), "空").rows,
                 QList<QStringList>({{"id", "ref", "amount"}, {"r3", "", "1"}}));

        // A data area of empty rows alone has nothing to split: refused, the file as it was.
        const QString nothing = folder.filePath(QStringLiteral("nothing.xlsx"));
        QVERIFY(writeWorkbook(nothing, {{"Data", {{"id", "ref"}, {}, {}, {"r", "a"}}}}));
        const QByteArray bytes = fileBytes(nothing);
        const JobOutcome refused = splitJob(nothing, "Data", "B3", "B", false);
        QCOMPARE(refused.kind, JobOutcome::Kind::Refused);
        QCOMPARE(refused.messages, QStringList(QStringLiteral(
                                       "“Data”表在标题行（第1行）下面没有数据行，没有可以分割的内容，文件没有改动。")));
        QCOMPARE(fileBytes(nothing), bytes);
    }

    // Workbooks written by Excel whose split gave #REF! where the user saw numbers.
    void realWorkbooksShowTheirValues_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("keptAsValues");
        QTest::newRow("operands on other rows") << fixturePath("poi-48539.xlsx") << "Instance1"
                                                << "A1"
                                                << "G45" << 17;
        QTest::newRow("sums of the rows above") << fixturePath("poi-49872.xlsx") << "Sheet1"
                                                << "A1"
                                                << "D3" << 4;
        QTest::newRow("add-in functions of another row") << fixturePath("poi-atp.xls") << "Sheet1"
                                                         << "A1"
                                                         << "B20" << 2;
        // The office's copy of a sheet breaks references to a table's columns.
        QTest::newRow("table references") << corpusBook("DataTableCities.xlsx") << "Formula"
                                          << "A3"
                                          << "D9" << 11;
    }
    void realWorkbooksShowTheirValues()
    {
        QFETCH(QString, book);
        QFETCH(QString, sheet);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(int, keptAsValues);
        if (!QFile::exists(book))
            QSKIP("the shared corpus of real-world workbooks is not here");
        for (const bool keepBroken : {false, true}) {
            const QString path =
                folder.filePath(QStringLiteral("%1-%2").arg(keepBroken).arg(QFileInfo(book).fileName()));
            QFile::remove(path);
            QVERIFY(QFile::copy(book, path));
            QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
            // The office computes some results a digit apart from the values Excel stored.
            QVERIFY(openedWorkbook(path)->saveWorkbook());
            const QList<SheetContent> before = readWorkbook(path);
            const JobOutcome outcome = splitJob(path, sheet, end, "A", keepBroken, start);
            QVERIFY2(outcome.kind == JobOutcome::Kind::Done, qPrintable(outcome.messages.join('\n')));
            const QList<SheetContent> after = readWorkbook(path);
            QStringList newSheets = sheetNames(after);
            for (const QString& name : sheetNames(before)) {
                QCOMPARE(sheetNamed(after, name).rows, sheetNamed(before, name).rows);
                newSheets.removeOne(name);
            }
            QVERIFY(!newSheets.isEmpty());
            const QString note = QStringLiteral("新Sheet表里有%1个单元格").arg(keptAsValues);
            if (keepBroken) {
                QVERIFY(brokenCells(after, newSheets) > 0);
                QVERIFY(outcome.messages.filter(note).isEmpty());
            } else {
                QCOMPARE(brokenCells(after, newSheets), 0);
                QCOMPARE(outcome.messages.filter(note).size(), 1);
            }
        }
    }

    // Formulas kept as values get the values the source showed (Excel's), not the copy's: the copy's
    // formulas over names have no result yet (60284.xls showed 0), and a bracket inside a text
    // (ADDRESS(...;"[Book1]Sheet1")) once made the office calculate the whole copy with its own
    // functions ("its 1 blue" for "its TRUE blue").
    void keptValuesAreTheSourcesValues_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("newSheet");
        QTest::addColumn<QStringList>("cells"); // new sheet's cell, then the source's cell
        QTest::newRow("formulas over names") << "60284.xls"
                                             << "Pipad"
                                             << "P29"
                                             << "A"
                                             << "空" << QStringList{"N5", "N8", "L15", "L20", "C16", "C21"};
        QTest::newRow("a bracket in a text") << "FormulaEvalTestData_Copy.xlsx"
                                             << "EverythingTests"
                                             << "R1500"
                                             << "C"
                                             << "FORMULA" << QStringList{"F3", "F27", "D39", "D176", "D75", "D320"};
    }
    void keptValuesAreTheSourcesValues()
    {
        QFETCH(QString, book);
        QFETCH(QString, sheet);
        QFETCH(QString, end);
        QFETCH(QString, column);
        QFETCH(QString, newSheet);
        QFETCH(QStringList, cells);
        if (!QFile::exists(corpusBook(book)))
            QSKIP("the shared corpus of real-world workbooks is not here");
        const QString path = folder.filePath(book);
        QFile::remove(path);
        QVERIFY(QFile::copy(corpusBook(book), path));
        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        const SheetContent before = sheetNamed(readWorkbook(path), sheet);
        const JobOutcome outcome = splitJob(path, sheet, end, column, false);
        QVERIFY2(outcome.kind == JobOutcome::Kind::Done, qPrintable(outcome.messages.join('\n')));
        const SheetContent after = sheetNamed(readWorkbook(path), newSheet);
        const auto valueAt = [](const SheetContent& content, const QString& cell) {
            const int row = cell.mid(1).toInt();
            return content.rows.value(row - 1).value(cell.at(0).unicode() - 'A');
        };
        for (int k = 0; k < cells.size(); k += 2) {
            QVERIFY(!valueAt(before, cells.at(k + 1)).isEmpty());
            QCOMPARE(valueAt(after, cells.at(k)), valueAt(before, cells.at(k + 1)));
        }
    }

    // The window's remembered option and the command line's flag reach the run.
    void windowAndCommandLineChooseTheFormulas()
    {
        const QString byWindow = folder.filePath(QStringLiteral("window.xlsx"));
        const QString byCli = folder.filePath(QStringLiteral("cli.xlsx"));
        for (const QString& path : {byWindow, byCli}) {
            QFile::remove(path);
            QVERIFY(QFile::copy(fixturePath("poi-49872.xlsx"), path));
            QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
        {
            SplitSheetFromColumn window;
            QAction* keep = window.findChild<QAction*>("splitColumn/keepBrokenFormulas");
            QVERIFY(keep && !keep->isChecked());
            keep->setChecked(true);
        }
        SplitSheetFromColumn window;
        QVERIFY(window.findChild<QAction*>("splitColumn/keepBrokenFormulas")->isChecked());
        KivFileDialog::setNextFileName(byWindow);
        window.findChild<QPushButton*>("importFileButton")->click();
        window.findChild<QTextEdit*>("referColText")->setPlainText("A");
        KivMessageBox::clearShownTexts();
        window.findChild<QPushButton*>("pushButton")->click();
        QCOMPARE(KivMessageBox::shownTexts().size(), 1);
        QVERIFY(KivMessageBox::shownTexts().first().startsWith(QStringLiteral("处理完毕请打开")));
        QCOMPARE(brokenCells(readWorkbook(byWindow), {"2", "3"}), 4);

        const CliRun kept = runCli({"split-column", byCli, "--sheet", "Sheet1", "--start", "A1", "--end", "D3",
                                    "--column", "A", "--keep-broken-formulas", "--quiet"});
        QVERIFY2(kept.exitCode == 0, qPrintable(kept.err));
        QCOMPARE(brokenCells(readWorkbook(byCli), {"2", "3"}), 4);
    }
};

QTEST_MAIN(SplitKeepsValuesTest)
#include "tst_splitkeepsvalues.moc"
