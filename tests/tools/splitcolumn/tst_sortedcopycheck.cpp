// Which formulas let the column split sort a work copy instead of deleting row blocks: read from
// formula text alone, no office needed.
#include "tools/splitcolumn/sortedcopycheck.h"

#include <QtTest>

namespace {

// A title row 2, data rows 3..20002, a total line 20003.
const SortedRows kRows{3, 20002, 6};
const QString kSheet = QStringLiteral("Data");

} // namespace

class TestSortedCopyCheck : public QObject
{
    Q_OBJECT
private slots:
    void formulasInTheDataRows_data();
    void formulasInTheDataRows();
    void formulasAroundTheDataRows_data();
    void formulasAroundTheDataRows();
    void namesThatStandForAValue();
};

void TestSortedCopyCheck::formulasInTheDataRows_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<bool>("keeps");
    // When the sort updates references to the cells it moves, single cells anywhere follow.
    QTest::addColumn<bool>("follows");
    // Row 5 throughout.
    QTest::newRow("own row") << "=D5*12.5" << true << true;
    QTest::newRow("own row, a range") << "=SUM(A5:F5)" << true << true;
    QTest::newRow("own row, whole") << "=SUM(5:5)" << true << true;
    QTest::newRow("other sheet, office") << "=E5*(1+$税率.$B$1)" << true << true;
    QTest::newRow("other sheet, Excel") << "=E5*(1+税率!$B$1)" << true << true;
    QTest::newRow("other sheet quoted") << "=$'my sheet'.$A$1+D5" << true << true;
    QTest::newRow("other sheet, absolute row only") << "=税率!B$1*D5" << true << true;
    QTest::newRow("above the data, absolute") << "=$B$1*D5" << true << true;
    QTest::newRow("below the data, absolute") << "=D5/$D$20003" << true << true;
    QTest::newRow("all data rows") << "=D5/SUM($D$3:$D$20002)" << true << true;
    QTest::newRow("more than the data rows") << "=D5/SUM(D$2:D$30000)" << true << true;
    QTest::newRow("whole column") << "=D5/SUM(D:D)" << true << true;
    QTest::newRow("texts hold no references") << "=IF(D5>100,\"A1 \"\"big\"\"\",\"B2.C3\")" << true << true;
    QTest::newRow("numbers and functions") << "=LOG10(D5)+1.5E3-.5+STDEV.S(D5:E5)+ROUND(D5;2)" << true << true;
    QTest::newRow("truth values") << "=IF(TRUE(),FALSE,D5)" << true << true;

    QTest::newRow("row above") << "=D4" << false << true;
    QTest::newRow("row below") << "=D6+D5" << false << true;
    QTest::newRow("own row, absolute") << "=$D$5" << false << true;
    QTest::newRow("running total") << "=SUM($D$3:D5)" << false << false;
    QTest::newRow("part of the data rows") << "=SUM($D$4:$D$20002)" << false << false;
    QTest::newRow("other sheet, relative row") << "=税率!B5" << false << false;
    QTest::newRow("other sheet, relative sheet") << "=税率.$B$1" << false << false;
    QTest::newRow("own sheet by name, office") << "=$Data.D5" << false << false;
    QTest::newRow("own sheet by name, Excel") << "=Data!D5" << false << false;
    QTest::newRow("across sheets") << "=SUM($Sheet1.A1:$Sheet2.B3)" << false << false;
    QTest::newRow("a name") << "=Rate*D5" << false << false;
    QTest::newRow("a table") << "=Table1[金额]" << false << false;
    QTest::newRow("an error") << "=#REF!+D5" << false << false;
    QTest::newRow("another file") << "='file:///x.ods'#$Sheet1.A1" << false << false;
    QTest::newRow("an array") << "{=D5:E5*2}" << false << false;
    QTest::newRow("array constant") << "=SUM({1,2})" << false << false;
    QTest::newRow("range ending in a function") << "=SUM(D5:INDEX(D:D,7))" << false << false;
    QTest::newRow("unfinished text") << "=\"abc" << false << false;
    QTest::newRow("not a formula") << "D5" << false << false;
}

void TestSortedCopyCheck::formulasInTheDataRows()
{
    QFETCH(QString, formula);
    QFETCH(bool, keeps);
    QFETCH(bool, follows);
    QCOMPARE(formulaKeepsReferencesWhenSorted(formula, 5, kSheet, kRows), keeps);
    QCOMPARE(formulaFollowsReferencesWhenSorted(formula, 5, kSheet, kRows), follows);
}

void TestSortedCopyCheck::formulasAroundTheDataRows_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("keeps");
    QTest::addColumn<bool>("follows");
    QTest::newRow("total of all data rows") << "=SUM(E3:E20002)" << 20003 << true << true;
    QTest::newRow("total from the title") << "=SUM(E2:E20003)" << 1 << true << true;
    QTest::newRow("outside to outside") << "=D20004+D1" << 20003 << true << true;
    QTest::newRow("other sheet, relative") << "=税率!B20003" << 20003 << true << true;
    QTest::newRow("part of the data rows") << "=SUM(E4:E20002)" << 20003 << false << false;
    QTest::newRow("one data row") << "=E5" << 20003 << false << true;
    QTest::newRow("one data row, absolute") << "=$E$5" << 1 << false << true;
}

void TestSortedCopyCheck::formulasAroundTheDataRows()
{
    QFETCH(QString, formula);
    QFETCH(int, row);
    QFETCH(bool, keeps);
    QFETCH(bool, follows);
    QCOMPARE(formulaKeepsReferencesWhenSorted(formula, row, kSheet, kRows), keeps);
    QCOMPARE(formulaFollowsReferencesWhenSorted(formula, row, kSheet, kRows), follows);
}

// A name for a value sorts like a number; a name for cells, or one the sheet's own name hides,
// does not.
void TestSortedCopyCheck::namesThatStandForAValue()
{
    const QHash<QString, QString> names{{"增值税率", "=0.13"},
                                        {"Rate", "=ROUND(0.125;2)"},
                                        {"区域", "=$Data.$A$1:$A$3"},
                                        {"Twice", "=增值税率*2"},
                                        {"Other!Rate", "=$Other.$B$1"}};
    QCOMPARE(constantNamesFor(names, kSheet), QSet<QString>({"增值税率", "rate"}));
    QCOMPARE(constantNamesFor(names, QStringLiteral("OTHER")), QSet<QString>({"增值税率"}));

    const QSet<QString> constants = constantNamesFor(names, kSheet);
    QVERIFY(formulaKeepsReferencesWhenSorted("=E5*(1+增值税率)", 5, kSheet, kRows, constants));
    QVERIFY(formulaKeepsReferencesWhenSorted("=RATE*D5", 5, kSheet, kRows, constants));
    QVERIFY(!formulaKeepsReferencesWhenSorted("=E5*(1+增值税率)", 5, kSheet, kRows));
    QVERIFY(!formulaKeepsReferencesWhenSorted("=SUM(区域)+D5", 5, kSheet, kRows, constants));
    QVERIFY(!formulaKeepsReferencesWhenSorted("=Twice*D5", 5, kSheet, kRows, constants));
    QVERIFY(!formulaKeepsReferencesWhenSorted("=增值税率2*D5", 5, kSheet, kRows, constants));
    QVERIFY(!formulaKeepsReferencesWhenSorted("=E4*(1+增值税率)", 5, kSheet, kRows, constants));
}

QTEST_MAIN(TestSortedCopyCheck)
#include "tst_sortedcopycheck.moc"
