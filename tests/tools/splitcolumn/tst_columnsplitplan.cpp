// Deciding in memory which rows each copy keeps: no office needed.
#include "tools/splitcolumn/columnsplitplan.h"

#include <QtTest>

namespace {

// Applies the blocks bottom-up to the row numbers firstRow..lastRow, as the office would.
QVector<int> rowsLeftAfterDeleting(const QVector<RowBlock>& blocks, int firstRow, int lastRow)
{
    QVector<int> rows;
    for (int row = firstRow; row <= lastRow; ++row)
        rows.append(row);
    for (auto block = blocks.crbegin(); block != blocks.crend(); ++block)
        rows.remove(block->first - firstRow, block->last - block->first + 1);
    return rows;
}

} // namespace

class TestColumnSplitPlan : public QObject
{
    Q_OBJECT
private slots:
    void groupsValuesInOrderOfFirstAppearance();
    void blocksAreTheGapsBetweenKeptRows();
    void everyRowIsKeptByExactlyOneValue();
};

void TestColumnSplitPlan::groupsValuesInOrderOfFirstAppearance()
{
    const QVector<ValueRows> groups = groupRowsByValue({"b", "a", "", "b", "B", " a", "", "a"}, 2);
    QCOMPARE(groups.size(), 5);
    QCOMPARE(groups[0].value, QString("b"));
    QCOMPARE(groups[0].rows, QVector<int>({2, 5}));
    QCOMPARE(groups[1].value, QString("a"));
    QCOMPARE(groups[1].rows, QVector<int>({3, 9}));
    QCOMPARE(groups[2].value, QString(""));
    QCOMPARE(groups[2].rows, QVector<int>({4, 8}));
    QCOMPARE(groups[3].value, QString("B")); // letter case and spaces make other values
    QCOMPARE(groups[4].value, QString(" a"));
    QVERIFY(groupRowsByValue({}, 2).isEmpty());
}

void TestColumnSplitPlan::blocksAreTheGapsBetweenKeptRows()
{
    // Rows 2 to 6 carry a, b, b, a, b: for a, rows 3-4 go as one block and row 6 as another.
    const QVector<ValueRows> groups = groupRowsByValue({"a", "b", "b", "a", "b"}, 2);
    const QVector<RowBlock> forA = blocksBetween(groups[0].rows, 2, 6);
    QCOMPARE(forA.size(), 2);
    QCOMPARE(forA[0].first, 3);
    QCOMPARE(forA[0].last, 4);
    QCOMPARE(forA[1].first, 6);
    QCOMPARE(forA[1].last, 6);
    const QVector<RowBlock> forB = blocksBetween(groups[1].rows, 2, 6);
    QCOMPARE(forB.size(), 2);
    QCOMPARE(forB[0].first, 2);
    QCOMPARE(forB[0].last, 2);
    QCOMPARE(forB[1].first, 5);
    QCOMPARE(forB[1].last, 5);

    QVERIFY(blocksBetween({2, 3, 4}, 2, 4).isEmpty()); // one value everywhere: nothing deleted
    const QVector<RowBlock> none = blocksBetween({}, 2, 4);
    QCOMPARE(none.size(), 1);
    QCOMPARE(none[0].first, 2);
    QCOMPARE(none[0].last, 4);
}

void TestColumnSplitPlan::everyRowIsKeptByExactlyOneValue()
{
    QStringList texts;
    for (int k = 0; k < 500; ++k)
        texts.append(QString::number((k * 7919) % 13 % (k % 5 + 1)));
    const int firstRow = 10;
    const int lastRow = firstRow + texts.size() - 1;
    QVector<int> seen(texts.size(), 0);
    for (const ValueRows& group : groupRowsByValue(texts, firstRow)) {
        const QVector<int> left =
            rowsLeftAfterDeleting(blocksBetween(group.rows, firstRow, lastRow), firstRow, lastRow);
        QCOMPARE(left, group.rows);
        for (int row : left) {
            QCOMPARE(texts.at(row - firstRow), group.value);
            ++seen[row - firstRow];
        }
    }
    QCOMPARE(seen, QVector<int>(texts.size(), 1));
}

QTEST_APPLESS_MAIN(TestColumnSplitPlan)
#include "tst_columnsplitplan.moc"
