// A sheet's file shows what the user saw: a formula that points at another sheet (which the file
// no longer holds) is written as its value, unless the user keeps such formulas as they are.
#include "fileformat/zippackage.h"
#include "excelop/excelopkiv.h"
#include "packagereading.h"
#include "testsupport.h"
#include "tools/shared/crosssheetformulas.h"
#include "workbookwriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class CrossSheetValuesTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    // The formulas of a sheet's file, read back through the office.
    static QStringList formulasOf(const QString& path)
    {
        auto link = openedWorkbook(path);
        QStringList formulas;
        for (const QStringList& row : link->sheetAt(0)->usedAreaFormulas())
            for (const QString& cell : row)
                if (cell.startsWith(QLatin1Char('=')))
                    formulas << cell;
        return formulas;
    }

    CliRun splitSheets(const QString& fixture, const QString& out, const QStringList& more = {})
    {
        const QString book = copyFixture(fixture, folder.path());
        return runCli(QStringList{QStringLiteral("split-sheets"), book, QStringLiteral("--out"), folder.filePath(out),
                                  QStringLiteral("--quiet")}
                      + more);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    void whatPointsElsewhere_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<bool>("elsewhere");
        QTest::newRow("other sheet") << "=$Data.A1*2" << true;
        QTest::newRow("other sheet, no dollar") << "=SUM(Data.A1:B2)" << true;
        QTest::newRow("quoted name") << "=$'My ''big'' data'.B2" << true;
        QTest::newRow("3-D range") << "=SUM($Own.A1:$Data.A1)" << true;
        QTest::newRow("own sheet") << "=$Own.A1+A2" << false;
        QTest::newRow("plain cells") << "=A1+B2;C3" << false;
        QTest::newRow("text that looks like one") << "=\"Data.A1\"&A1" << false;
        QTest::newRow("another file's sheet") << "='file:///x.xlsx'#$Data.A1" << false;
        QTest::newRow("a name ending like a sheet's") << "=$MyData.A1" << false;
        QTest::newRow("name for another sheet") << "=SUM(Sales)" << true;
        QTest::newRow("name for a value") << "=A1*Rate" << false;
        QTest::newRow("own sheet's own name") << "=Local*2" << false;
        QTest::newRow("function, not a name") << "=SALES(1)" << false;
        QTest::newRow("table on another sheet") << "=SUM(Orders[Amount])" << true;
        QTest::newRow("table on its own sheet") << "=Mine[[#This Row];[Amount]]*2" << false;
        QTest::newRow("text made into a reference") << "=INDIRECT(ADDRESS(2;1;1;1;\"Data\"))" << true;
        QTest::newRow("a name holding INDIRECT") << "=MYINDIRECT(1)" << false;
    }
    void whatPointsElsewhere()
    {
        QFETCH(QString, formula);
        QFETCH(bool, elsewhere);
        const QHash<QString, QString> names{{QStringLiteral("Sales"), QStringLiteral("=$Data.$A$1:$A$9")},
                                            {QStringLiteral("Rate"), QStringLiteral("=0.13")},
                                            {QStringLiteral("Own!Local"), QStringLiteral("=$Own.$B$1")},
                                            {QStringLiteral("Local"), QStringLiteral("=$Data.$B$1")},
                                            {QStringLiteral("Orders"), QStringLiteral("=$'Data'.R1C1:R9C3")},
                                            {QStringLiteral("Mine"), QStringLiteral("=$'Own'.R1C1:R9C3")}};
        const CrossSheetFormulas formulas(
            {QStringLiteral("Own"), QStringLiteral("Data"), QStringLiteral("My 'big' data")}, names);
        QCOMPARE(formulas.pointsElsewhere(formula, QStringLiteral("Own")), elsewhere);
    }

    // A sheet copied into another workbook loses the files its formulas reach.
    void otherFilesCountForACopy()
    {
        CrossSheetFormulas formulas({QStringLiteral("Own"), QStringLiteral("Data")}, {});
        const QString external = QStringLiteral("='file:///x.xlsx'#$Prices.A1*2");
        QVERIFY(!formulas.pointsElsewhere(external, QStringLiteral("Own")));
        formulas.countOtherFiles(true);
        QVERIFY(formulas.pointsElsewhere(external, QStringLiteral("Own")));
        QVERIFY(
            formulas.pointsElsewhere(QStringLiteral("=SUM('file:///a b.xls'#$Sheet1.A1:A3)"), QStringLiteral("Own")));
        QVERIFY(!formulas.pointsElsewhere(QStringLiteral("=\"'x'#$\"&A1"), QStringLiteral("Own")));
    }

    // 3-D sums over three sheets: the user saw 66; a file holding the first sheet alone shows 66.
    void threeDimensionalSumsKeepTheirValues()
    {
        const CliRun run = splitSheets(QStringLiteral("poi-55906-MultiSheetRefs.xlsx"), QStringLiteral("values"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("13个单元格")), qPrintable(run.err));
        const QString file = folder.filePath(QStringLiteral("values/Sheet1.xlsx"));
        QVERIFY(formulasOf(file).isEmpty());
        QCOMPARE(readWorkbook(file).value(0).rows.value(2).value(0), QStringLiteral("66"));

        const CliRun kept = splitSheets(QStringLiteral("poi-55906-MultiSheetRefs.xlsx"), QStringLiteral("formulas"),
                                        {QStringLiteral("--keep-broken-formulas")});
        QVERIFY2(kept.exitCode == 0, qPrintable(kept.err));
        QVERIFY(!kept.err.contains(QStringLiteral("个单元格")));
        QCOMPARE(formulasOf(folder.filePath(QStringLiteral("formulas/Sheet1.xlsx"))).size(), 13);
    }

    void sumsOverListedSheetsKeepTheirValues()
    {
        const CliRun run = splitSheets(QStringLiteral("poi-48703.xlsx"), QStringLiteral("listed"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QStringList cells;
        for (const QStringList& row : readWorkbook(folder.filePath(QStringLiteral("listed/Sheet1.xlsx"))).value(0).rows)
            cells += row;
        QVERIFY2(cells.contains(QStringLiteral("20")), qPrintable(cells.join(',')));
        QVERIFY(formulasOf(folder.filePath(QStringLiteral("listed/Sheet1.xlsx"))).isEmpty());
    }

    // Tables stand on one sheet and are reached by name from another: only the other sheet's file
    // needs their values.
    void tablesOnAnotherSheetKeepTheirValues()
    {
        const CliRun run = splitSheets(QStringLiteral("poi-DataTableCities.xlsx"), QStringLiteral("tables"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("8个单元格")), qPrintable(run.err));
        const QString formulaFile = folder.filePath(QStringLiteral("tables/Formula.xlsx"));
        QVERIFY(formulasOf(formulaFile).isEmpty());
        const QStringList totals = readWorkbook(formulaFile).value(0).rows.value(4);
        QVERIFY2(totals.value(0).startsWith(QStringLiteral("25.39")), qPrintable(totals.join(',')));
        QCOMPARE(formulasOf(folder.filePath(QStringLiteral("tables/Table.xlsx"))).size(), 6);

        // The pivot table summing the table's sheet shows its sums, where the office would
        // rebuild it empty without its source.
        QVERIFY2(run.err.contains(QStringLiteral("1个数据透视表")), qPrintable(run.err));
        const QString source = copyFixture(QStringLiteral("poi-DataTableCities.xlsx"), folder.path());
        const SheetContent pivot = sheetNamed(readWorkbook(source), QStringLiteral("PivotTable"));
        QVERIFY(pivot.rows.size() > 10);
        QCOMPARE(readWorkbook(folder.filePath(QStringLiteral("tables/PivotTable.xlsx"))).value(0).rows, pivot.rows);
    }

    // VLOOKUP(..., Table_ExternalData_1[#All], ...) over a table of its own sheet: the office
    // could not read back its own text of [#All] once the other sheet went, and saved Err:504.
    void lookupsOverAWholeTableOfTheirSheetKeepTheirValues()
    {
        const CliRun run = splitSheets(QStringLiteral("poi-dataValidationTableRange.xlsx"), QStringLiteral("all"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const XlsxContent file = readXlsx(folder.filePath(QStringLiteral("all/County Ranking.xlsx")));
        QVERIFY(file.read);
        const QString sheet = file.sheets.value(0);
        for (const QString& cell : {QStringLiteral("L9"), QStringLiteral("L10")}) {
            QVERIFY2(file.formulas.value(sheet).value(cell).contains(QStringLiteral("Table_ExternalData_1[")),
                     qPrintable(file.formulas.value(sheet).value(cell)));
            QVERIFY2(file.values.value(sheet).value(cell).toDouble() > 60,
                     qPrintable(file.values.value(sheet).value(cell)));
        }
    }

    // Excel's own sheet protection, with and without a password, over formulas pointing at Data.
    void protectedSheetsKeepTheirValuesOrAreLeftOut()
    {
        const QString book = folder.filePath(QStringLiteral("protected.xlsx"));
        XlsxLook look;
        SheetLook open;
        open.formula = [](int row, int) {
            return row == 1   ? QStringLiteral("Data!A1*2")
                   : row == 2 ? QStringLiteral("INDIRECT(\"Data!A2\")")
                              : QStringLiteral("Data!A2*1");
        };
        open.tail = "<sheetProtection sheet=\"1\" objects=\"1\" scenarios=\"1\" formatColumns=\"0\"/>";
        SheetLook locked;
        locked.formula = [](int, int) { return QStringLiteral("Data!A1+1"); };
        locked.tail = "<sheetProtection password=\"CC1A\" sheet=\"1\" objects=\"1\" scenarios=\"1\"/>";
        look.sheets = {SheetLook(), open, locked};
        QVERIFY(writeXlsx(
            book,
            {{QStringLiteral("Data"), {{QStringLiteral("21")}, {QStringLiteral("甲")}}},
             {QStringLiteral("Open"), {{QStringLiteral("42")}, {QStringLiteral("甲")}, {QStringLiteral("#VALUE!")}}},
             {QStringLiteral("Locked"), {{QStringLiteral("22")}}}},
            look));
        const CliRun run = runCli({QStringLiteral("split-sheets"), book, QStringLiteral("--out"),
                                   folder.filePath(QStringLiteral("protected")), QStringLiteral("--quiet")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("“Locked”：单元格A1")), qPrintable(run.err));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("protected/Locked.xlsx"))));

        const QString openFile = folder.filePath(QStringLiteral("protected/Open.xlsx"));
        // The error the user saw stays that error, with its result saved.
        QCOMPARE(formulasOf(openFile), QStringList{QStringLiteral("=#VALUE!")});
        QCOMPARE(readWorkbook(openFile).value(0).rows,
                 (QList<QStringList>{{QStringLiteral("42")}, {QStringLiteral("甲")}, {QStringLiteral("#VALUE!")}}));
        QCOMPARE(readXlsx(openFile).values.value(QStringLiteral("Open")).value(QStringLiteral("A3")),
                 QStringLiteral("#VALUE!"));
        // Protected again, with the actions it allowed.
        ZipPackage package;
        QVERIFY(package.open(openFile));
        const QByteArray sheetXml = package.unpacked("xl/worksheets/sheet1.xml");
        QVERIFY2(sheetXml.contains("<sheetProtection") && sheetXml.contains("formatColumns=\"false\""),
                 sheetXml.constData());
    }
};

QTEST_MAIN(CrossSheetValuesTest)
#include "tst_crosssheetvalues.moc"
