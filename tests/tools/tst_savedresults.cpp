// Formulas the tools do not change keep the results the workbook was saved with (Excel's),
// read from the saved packages: the office would otherwise calculate every formula again after a
// sheet is copied or deleted, with functions that disagree with Excel's in places. The saved
// results here differ on purpose from what the office calculates, so any calculation shows.
#include "packagereading.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// 数据: six items of two departments, 两倍 = 数量 * 2 saved as 99, 累计 = the sum of 数量 so far
// saved as 0; 汇总: a sum over 数据 saved as
// 1000, 1+1 saved as 3 and a count of the numbers in row 2 saved as 1.
bool writeBook(const QString& path)
{
    SheetContent data{QStringLiteral("数据"), {{"名称", "部门", "数量", "两倍", "累计"}}};
    for (int i = 1; i <= 6; ++i)
        data.rows.append({QStringLiteral("项%1").arg(i), i % 2 ? "甲" : "乙", QString::number(i), "99", "0"});
    SheetContent summary{QStringLiteral("汇总"), {{"项目", "值"}, {"合计", "1000"}, {"常数", "3"}, {"行2的数", "1"}}};
    SheetLook dataLook;
    dataLook.formula = [](int row, int column) {
        if (row > 1 && column == 5)
            return QStringLiteral("SUM(C$2:C%1)").arg(row);
        return row > 1 && column == 4 ? QStringLiteral("C%1*2").arg(row) : QString();
    };
    SheetLook summaryLook;
    summaryLook.formula = [](int row, int column) {
        if (column != 2)
            return QString();
        if (row == 4)
            return QStringLiteral("COUNT(2:2)");
        return row == 2 ? QStringLiteral("SUM(数据!C2:C7)") : row == 3 ? QStringLiteral("1+1") : QString();
    };
    XlsxLook look;
    look.sheets = {dataLook, summaryLook};
    return writeXlsx(path, {data, summary}, look);
}

QString value(const XlsxContent& content, const QString& sheet, const QString& cell)
{
    return content.values.value(sheet).value(cell);
}

} // namespace

class SavedResultsTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;
    int books = 0;

    QString newBook()
    {
        const QString path = folder.filePath(QStringLiteral("结果%1.xlsx").arg(++books));
        return writeBook(path) ? path : QString();
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    void sheetFilesKeepTheSavedResults()
    {
        const QString book = newBook();
        QVERIFY(!book.isEmpty());
        const QString out = folder.filePath(QStringLiteral("files%1").arg(books));
        const CliRun run =
            runCli({QStringLiteral("split-sheets"), book, QStringLiteral("--out"), out, QStringLiteral("--quiet")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const XlsxContent data = readXlsx(QDir(out).filePath(QStringLiteral("数据.xlsx")));
        const XlsxContent summary = readXlsx(QDir(out).filePath(QStringLiteral("汇总.xlsx")));
        QVERIFY(data.read && summary.read);
        for (int row = 2; row <= 7; ++row) {
            QCOMPARE(data.formulas.value(QStringLiteral("数据")).value(QStringLiteral("D%1").arg(row)),
                     QStringLiteral("C%1*2").arg(row));
            QCOMPARE(value(data, QStringLiteral("数据"), QStringLiteral("D%1").arg(row)), QStringLiteral("99"));
        }
        QCOMPARE(value(summary, QStringLiteral("汇总"), QStringLiteral("B2")),
                 QStringLiteral("1000")); // kept as its value
        QCOMPARE(summary.formulas.value(QStringLiteral("汇总")).value(QStringLiteral("B3")), QStringLiteral("1+1"));
        QCOMPARE(value(summary, QStringLiteral("汇总"), QStringLiteral("B3")), QStringLiteral("3"));
    }

    // Formulas kept as they are lose the sheet they point at: they show #REF!, as in Excel.
    void sheetFilesKeptFormulasShowWhatTheyLost()
    {
        const QString book = newBook();
        QVERIFY(!book.isEmpty());
        const QString out = folder.filePath(QStringLiteral("files%1").arg(books));
        const CliRun run = runCli({QStringLiteral("split-sheets"), book, QStringLiteral("--out"), out,
                                   QStringLiteral("--keep-broken-formulas"), QStringLiteral("--quiet")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const XlsxContent summary = readXlsx(QDir(out).filePath(QStringLiteral("汇总.xlsx")));
        QCOMPARE(value(summary, QStringLiteral("汇总"), QStringLiteral("B2")), QStringLiteral("#REF!"));
    }

    // The untouched sheet and the source keep their results; in the new sheets, what takes from
    // other rows is calculated, as fewer rows change it in Excel too, and a formula over its own
    // row keeps its result.
    void columnSplitCalculatesWhatFewerRowsChange()
    {
        const QString book = newBook();
        QVERIFY(!book.isEmpty());
        const CliRun run =
            runCli({QStringLiteral("split-column"), book, QStringLiteral("--sheet"), QStringLiteral("数据"),
                    QStringLiteral("--start"), QStringLiteral("A1"), QStringLiteral("--end"), QStringLiteral("E7"),
                    QStringLiteral("--column"), QStringLiteral("B"), QStringLiteral("--quiet")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const XlsxContent result = readXlsx(book);
        QCOMPARE(result.sheets.size(), 4);
        QCOMPARE(value(result, QStringLiteral("汇总"), QStringLiteral("B2")), QStringLiteral("1000"));
        QCOMPARE(value(result, QStringLiteral("汇总"), QStringLiteral("B3")), QStringLiteral("3"));
        QCOMPARE(value(result, QStringLiteral("数据"), QStringLiteral("D2")), QStringLiteral("99"));
        QCOMPARE(value(result, QStringLiteral("数据"), QStringLiteral("E4")), QStringLiteral("0"));
        // 甲 holds items 1, 3 and 5: 累计 is calculated, 两倍 keeps its result.
        QCOMPARE(value(result, QStringLiteral("甲"), QStringLiteral("E3")), QStringLiteral("4"));
        QCOMPARE(value(result, QStringLiteral("甲"), QStringLiteral("E4")), QStringLiteral("9"));
        QCOMPARE(value(result, QStringLiteral("甲"), QStringLiteral("D4")), QStringLiteral("99"));
    }

    // A formula that lost what it points at shows #REF! once saved, whichever sheet holds it:
    // the sheets before and after the split one each hold one saved with a number.
    void lostReferencesShowTheirErrorOnEverySheet()
    {
        const QString book = folder.filePath(QStringLiteral("失效引用.xlsx"));
        SheetContent before{QStringLiteral("前表"), {{"项目", "值"}, {"旧", "5"}}};
        SheetContent data{QStringLiteral("数据"), {{"名称", "部门"}, {"项1", "甲"}, {"项2", "乙"}, {"项3", "甲"}}};
        SheetContent after{QStringLiteral("后表"), {{"项目", "值"}, {"旧", "7"}, {"新", "2"}}};
        SheetLook lostLook;
        lostLook.formula = [](int row, int column) {
            return column == 2 && row == 2 ? QStringLiteral("#REF!+1") : QString();
        };
        XlsxLook look;
        look.sheets = {lostLook, SheetLook(), lostLook};
        QVERIFY(writeXlsx(book, {before, data, after}, look));
        const CliRun run =
            runCli({QStringLiteral("split-column"), book, QStringLiteral("--sheet"), QStringLiteral("数据"),
                    QStringLiteral("--column"), QStringLiteral("B"), QStringLiteral("--quiet")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const XlsxContent result = readXlsx(book);
        QCOMPARE(result.sheets.size(), 5);
        QCOMPARE(value(result, QStringLiteral("前表"), QStringLiteral("B2")), QStringLiteral("#REF!"));
        QCOMPARE(value(result, QStringLiteral("后表"), QStringLiteral("B2")), QStringLiteral("#REF!"));
        QCOMPARE(value(result, QStringLiteral("后表"), QStringLiteral("B3")), QStringLiteral("2"));
    }

    // The compared sheets keep their results where the counts change nothing; what takes from
    // the counts (a whole row) is calculated, as in Excel.
    void comparerCalculatesOnlyWhatTakesFromTheCounts()
    {
        const QString book = newBook();
        QVERIFY(!book.isEmpty());
        const CliRun run = runCli({QStringLiteral("compare"), book, QStringLiteral("--sheet1"), QStringLiteral("数据"),
                                   QStringLiteral("--column1"), QStringLiteral("A"), QStringLiteral("--sheet2"),
                                   QStringLiteral("汇总"), QStringLiteral("--column2"), QStringLiteral("A"),
                                   QStringLiteral("--quiet")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const XlsxContent result = readXlsx(book);
        QCOMPARE(result.formulas.value(QStringLiteral("数据")).value(QStringLiteral("E2")), QStringLiteral("D2*2"));
        QCOMPARE(value(result, QStringLiteral("数据"), QStringLiteral("E2")), QStringLiteral("99"));
        QCOMPARE(value(result, QStringLiteral("数据"), QStringLiteral("F3")), QStringLiteral("0"));
        QCOMPARE(value(result, QStringLiteral("汇总"), QStringLiteral("C2")), QStringLiteral("1000"));
        QCOMPARE(value(result, QStringLiteral("汇总"), QStringLiteral("C3")), QStringLiteral("3"));
        // Row 2 now holds the count 0 beside 1000.
        QCOMPARE(value(result, QStringLiteral("汇总"), QStringLiteral("A2")), QStringLiteral("0"));
        QCOMPARE(value(result, QStringLiteral("汇总"), QStringLiteral("C4")), QStringLiteral("2"));
    }
};

QTEST_MAIN(SavedResultsTest)
#include "tst_savedresults.moc"
