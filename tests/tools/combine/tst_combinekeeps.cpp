// What combining keeps of what the user saw: copied formulas with results, sums over whole columns that now see every
// sheet's rows, pivot tables whose source stays behind, and a refusal where a value cannot be kept.
#include "packagereading.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// 名称, 数量 and, in column C, B*2 saved with the result 7.
SheetContent month(const QString& name, const QStringList& items)
{
    SheetContent content{name, {{"名称", "数量", "两倍"}}};
    for (int k = 0; k < items.size(); ++k)
        content.rows.append({items.at(k), QString::number(k + 1), QStringLiteral("7")});
    return content;
}

SheetLook doubledInC()
{
    SheetLook look;
    look.formula = [](int row, int column) {
        return row > 1 && column == 3 ? QStringLiteral("B%1*2").arg(row) : QString();
    };
    return look;
}

} // namespace

class CombineKeepsTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    QString path(const QString& name) const { return folder.filePath(name); }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    // The office's copy into another workbook carries no results: the new workbook calculates
    // them rather than storing the copies as 0.
    void copiedFormulasShowResults_data()
    {
        QTest::addColumn<bool>("stack");
        QTest::newRow("sheet by sheet") << false;
        QTest::newRow("stacked") << true;
    }

    void copiedFormulasShowResults()
    {
        QFETCH(bool, stack);
        const QString dir = path(stack ? "kept-stacked" : "kept");
        QDir().mkpath(dir);
        XlsxLook look;
        look.sheets = {doubledInC()};
        QVERIFY(writeXlsx(dir + "/a.xlsx", {month("一月", {"苹果", "梨"})}, look));
        QVERIFY(writeXlsx(dir + "/b.xlsx", {month("一月", {"桃"})}, look));
        const QString out = dir + ".xlsx";
        QStringList arguments = {"combine-files", "--folder", dir, "--out", out, "--quiet"};
        if (stack)
            arguments << "--stack";
        const CliRun run = runCli(arguments);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const XlsxContent content = readXlsx(out);
        const QString sheet = stack ? "一月" : "a-一月";
        // Stacking puts 来源 first, so the formulas sit one column to the right.
        const QString cell = stack ? "D3" : "C3";
        QCOMPARE(content.values.value(sheet).value(cell), QStringLiteral("4"));
        QVERIFY(!content.formulas.value(sheet).value(cell).isEmpty());
    }

    // 占比 = 数量 / SUM(B:B): in the combined sheet the column holds every sheet's rows, and Excel
    // would show the share of that total.
    void wholeColumnSumsSeeEverySheetsRows()
    {
        const QString book = path("shares.xlsx");
        SheetLook shares;
        shares.formula = [](int row, int column) {
            return row > 1 && column == 3 ? QStringLiteral("B%1/SUM(B:B)").arg(row) : QString();
        };
        XlsxLook look;
        look.sheets = {shares, shares};
        QVERIFY(writeXlsx(book,
                          {{"一月", {{"名称", "数量", "占比"}, {"苹果", "1", "0.25"}, {"梨", "3", "0.75"}}},
                           {"二月", {{"名称", "数量", "占比"}, {"桃", "4", "1"}}}},
                          look));
        const CliRun run = runCli({"combine-sheets", book, "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QList<QStringList> rows = sheetNamed(readWorkbook(book), "合并").rows;
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows.at(1).value(2).toDouble(), 0.125);
        QCOMPARE(rows.at(3).value(2).toDouble(), 0.5);
        // The source sheets keep what they showed.
        QCOMPARE(sheetNamed(readWorkbook(book), "一月").rows.at(1).value(2), QStringLiteral("0.25"));
    }

    // The pivot table's source sheet comes along, but the office's copy of a sheet carries no
    // pivot table: the sums are kept as values, and the user is told the pivot table is gone.
    void pivotTablesKeepWhatTheyShowed()
    {
        const QString book = copyFixture("poi-DataTableCities.xlsx", folder.path());
        const QString out = path("pivots.xlsx");
        const CliRun run = runCli({"combine-files", book, "--out", out});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains("数据透视表"), qPrintable(run.err));
        const SheetContent pivot = sheetNamed(readWorkbook(book), "PivotTable");
        QVERIFY(pivot.rows.size() > 10);
        QCOMPARE(sheetNamed(readWorkbook(out), "PivotTable").rows, pivot.rows);
    }

    // A sheet protected with a password takes no values, and its formulas would point into the
    // wrong workbook: nothing is combined.
    void lockedSheetPointingElsewhereIsRefused()
    {
        const QString dir = path("locked");
        QDir().mkpath(dir);
        SheetLook locked;
        locked.formula = [](int row, int column) {
            return row == 2 && column == 2 ? QStringLiteral("Data!B2+1") : QString();
        };
        locked.tail = "<sheetProtection password=\"CC1A\" sheet=\"1\" objects=\"1\" scenarios=\"1\"/>";
        XlsxLook look;
        look.sheets = {SheetLook(), locked};
        const QString source = dir + "/a.xlsx";
        QVERIFY(writeXlsx(source, {month("Data", {"苹果"}), {"Locked", {{"名称", "值"}, {"苹果", "2"}}}}, look));
        const QByteArray before = fileBytes(source);
        const QString out = path("locked.xlsx");
        const CliRun run = runCli({"combine-files", "--folder", dir, "--out", out, "--quiet"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("“Locked”表受密码保护") && run.err.contains("B2"), qPrintable(run.err));
        QVERIFY(!QFile::exists(out));
        QCOMPARE(fileBytes(source), before);
    }
};

QTEST_MAIN(CombineKeepsTest)
#include "tst_combinekeeps.moc"
