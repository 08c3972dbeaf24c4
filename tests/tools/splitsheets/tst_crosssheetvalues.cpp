// A sheet's file shows what the user saw: a formula that points at another sheet (which the file
// no longer holds) is written as its value, unless the user keeps such formulas as they are.
#include "excelop/excelopkiv.h"
#include "packagereading.h"
#include "testsupport.h"
#include "tools/shared/crosssheetformulas.h"

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
};

QTEST_MAIN(CrossSheetValuesTest)
#include "tst_crosssheetvalues.moc"
