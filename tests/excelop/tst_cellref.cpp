// Typed cell positions and column letters: pure text work, no office needed.
#include "excelop/cellref.h"

#include <QtTest>

class TestCellRef : public QObject
{
    Q_OBJECT
private slots:
    void parsesCellReferences_data();
    void parsesCellReferences();
    void rejectsNonCellsAndKeepsLastResult_data();
    void rejectsNonCellsAndKeepsLastResult();
    void convertsColumnLetters_data();
    void convertsColumnLetters();
    void columnNumbersAndLettersGoBothWays();
};

void TestCellRef::parsesCellReferences_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::newRow("lower case") << "a2" << 2 << 1;
    QTest::newRow("spaces before, between, after") << " B 12 " << 12 << 2;
    QTest::newRow("inner space") << "a 2" << 2 << 1;
    QTest::newRow("range keeps the part before the colon") << "C3:D9" << 3 << 3;
    QTest::newRow("two letters") << "AA10" << 10 << 27;
    QTest::newRow("row zero is the caller's concern") << "A0" << 0 << 1;
    QTest::newRow("tabs and newlines at the ends trimmed") << "\tH50\n" << 50 << 8;
    QTest::newRow("last cell of the office") << "xfd1048576" << 1048576 << 16384;
    QTest::newRow("row beyond 32 bits reads as 0") << "A99999999999" << 0 << 1;
}

void TestCellRef::parsesCellReferences()
{
    QFETCH(QString, text);
    QFETCH(int, row);
    QFETCH(int, col);
    CellRef cell;
    QVERIFY(cell.parse(text));
    QCOMPARE(cell.row, row);
    QCOMPARE(cell.col, col);
}

void TestCellRef::rejectsNonCellsAndKeepsLastResult_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("digits only") << "12";
    QTest::newRow("letters only") << "A";
    QTest::newRow("empty") << "";
    QTest::newRow("letters after digits") << "A1B";
    QTest::newRow("hyphen") << "A-1";
    QTest::newRow("digit first") << "1A";
    QTest::newRow("tab inside") << "A\t1";
    QTest::newRow("colon first") << ":A1";
    QTest::newRow("non-latin letter") << "Ä1";
}

void TestCellRef::rejectsNonCellsAndKeepsLastResult()
{
    QFETCH(QString, text);
    CellRef fresh;
    QVERIFY(!fresh.parse(text));
    QCOMPARE(fresh.row, 0);
    QCOMPARE(fresh.col, 0);

    CellRef used;
    QVERIFY(used.parse("D7"));
    QVERIFY(!used.parse(text));
    QCOMPARE(used.row, 7);
    QCOMPARE(used.col, 4);
}

void TestCellRef::convertsColumnLetters_data()
{
    QTest::addColumn<QString>("letters");
    QTest::addColumn<int>("number");
    QTest::newRow("A") << "A" << 1;
    QTest::newRow("Z") << "Z" << 26;
    QTest::newRow("AA") << "AA" << 27;
    QTest::newRow("AZ") << "AZ" << 52;
    QTest::newRow("BA") << "BA" << 53;
    QTest::newRow("ZZ") << "ZZ" << 702;
    QTest::newRow("zz lower case") << "zz" << 702;
    QTest::newRow("AAA") << "AAA" << 703;
    QTest::newRow("XFD") << "XFD" << 16384;
    QTest::newRow("six letters") << "FXSHRX" << 82595524;
    QTest::newRow("with a digit") << "A1" << 0;
    QTest::newRow("leading space") << " A" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("hyphen") << "-" << 0;
    QTest::newRow("beyond 32 bits") << "ZZZZZZZ" << 0;
    QTest::newRow("largest 32-bit column") << "FXSHRXW" << 2147483647;
    QTest::newRow("one past it") << "FXSHRXX" << 0;
}

void TestCellRef::convertsColumnLetters()
{
    QFETCH(QString, letters);
    QFETCH(int, number);
    QCOMPARE(CellRef().colLettersToNumber(letters), number);
}

// The one place columns turn into letters and back.
void TestCellRef::columnNumbersAndLettersGoBothWays()
{
    QCOMPARE(columnLetters(1), QString("A"));
    QCOMPARE(columnLetters(26), QString("Z"));
    QCOMPARE(columnLetters(27), QString("AA"));
    QCOMPARE(columnLetters(256), QString("IV"));
    QCOMPARE(columnLetters(16384), QString("XFD"));
    QCOMPARE(columnLetters(0), QString());
    for (int column = 1; column <= 20000; ++column)
        QCOMPARE(columnNumber(columnLetters(column)), column);
    QCOMPARE(columnNumber("ac"), 29);
    QCOMPARE(columnNumber("3B"), 0);
}

QTEST_APPLESS_MAIN(TestCellRef)
#include "tst_cellref.moc"
