// Reading formula texts: what stands in double quotes is a text, never a reference.
#include "common/formulatext.h"

#include <QtTest>

class FormulaTextTest : public QObject
{
    Q_OBJECT

private slots:
    void tablesByName_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<bool>("reaches");
        QTest::newRow("a column") << "=SUM(Table1[Amount])" << true;
        QTest::newRow("this row") << "=Mine[[#This Row];[Amount]]*2" << true;
        QTest::newRow("another file") << "=[1]Sheet1!A1" << false;
        QTest::newRow("bracket in a text") << "=\"its [x] blue\"&A1" << false;
        QTest::newRow("no brackets") << "=A1+B2" << false;
    }
    void tablesByName()
    {
        QFETCH(QString, formula);
        QFETCH(bool, reaches);
        QCOMPARE(reachesTableByName(formula), reaches);
    }

    // The office prints Table1[#All] as Table1[#all] and cannot read that back.
    void singleBracketKeywordsAreDoubled_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("readable");
        QTest::newRow("all, as the office prints it") << "=VLOOKUP(A1;Table_ExternalData_1[#all];2;FALSE())"
                                                      << "=VLOOKUP(A1;Table_ExternalData_1[[#All]];2;FALSE())";
        QTest::newRow("each keyword") << "=ROWS(T[#data])+ROWS(T[#Headers])+SUM(T[#totals])+T[#this row]"
                                      << "=ROWS(T[[#Data]])+ROWS(T[[#Headers]])+SUM(T[[#Totals]])+T[[#This Row]]";
        QTest::newRow("already doubled") << "=T[[#All];[Amount]]+T[[#This Row];[Amount]]"
                                         << "=T[[#All];[Amount]]+T[[#This Row];[Amount]]";
        QTest::newRow("a column named like one") << "=T[Alles]"
                                                 << "=T[Alles]";
        QTest::newRow("inside texts") << "=\"T[#all]\"&T[#all]&\"\"\"[#all]\""
                                      << "=\"T[#all]\"&T[[#All]]&\"\"\"[#all]\"";
        QTest::newRow("a table named in Chinese") << "=COUNTA(销售表[#all])"
                                                  << "=COUNTA(销售表[[#All]])";
        QTest::newRow("another file's sheet") << "=[1]Sheet1!A1"
                                              << "=[1]Sheet1!A1";
        QTest::newRow("unclosed text") << "=T[#all]&\"[#all]"
                                       << "=T[[#All]]&\"[#all]";
    }
    void singleBracketKeywordsAreDoubled()
    {
        QFETCH(QString, formula);
        QFETCH(QString, readable);
        QCOMPARE(withTableKeywordsBracketed(formula), readable);
    }
};

QTEST_APPLESS_MAIN(FormulaTextTest)
#include "tst_formulatext.moc"
