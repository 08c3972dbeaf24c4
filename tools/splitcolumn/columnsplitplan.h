#pragma once
// What each copy of a split sheet keeps, decided in memory from the reference column's texts.

#include <QString>
#include <QStringList>
#include <QVector>

struct RowBlock
{
    int first; // inclusive
    int last;  // inclusive
};

struct ValueRows
{
    QString value;
    QVector<int> rows; // the rows carrying the value, ascending
};

// The distinct texts in the order they first appear, each with its rows; texts[k] is the text of
// row firstRow + k. Letter case and spaces count: equal texts only. The rows left out (ascending)
// are in no group.
QVector<ValueRows> groupRowsByValue(const QStringList& texts, int firstRow, const QVector<int>& leftOut = {});

// The runs of rows from firstRow to lastRow that are not kept, top to bottom. Deleting them
// bottom-up leaves exactly the kept rows, in their order.
QVector<RowBlock> blocksBetween(const QVector<int>& keptRows, int firstRow, int lastRow);
