#include "tools/splitcolumn/columnsplitplan.h"

#include <QHash>

#include <algorithm>

QVector<ValueRows> groupRowsByValue(const QStringList& texts, int firstRow, const QVector<int>& leftOut)
{
    QVector<ValueRows> groups;
    QHash<QString, int> groupOfValue;
    for (int k = 0; k < texts.size(); ++k) {
        if (std::binary_search(leftOut.cbegin(), leftOut.cend(), firstRow + k))
            continue;
        const QString& text = texts.at(k);
        auto found = groupOfValue.constFind(text);
        if (found == groupOfValue.constEnd()) {
            found = groupOfValue.insert(text, groups.size());
            groups.append(ValueRows{text, {}});
        }
        groups[*found].rows.append(firstRow + k);
    }
    return groups;
}

QVector<RowBlock> blocksBetween(const QVector<int>& keptRows, int firstRow, int lastRow)
{
    QVector<RowBlock> blocks;
    int nextUnseen = firstRow;
    for (int kept : keptRows) {
        if (kept > nextUnseen)
            blocks.append(RowBlock{nextUnseen, kept - 1});
        nextUnseen = kept + 1;
    }
    if (nextUnseen <= lastRow)
        blocks.append(RowBlock{nextUnseen, lastRow});
    return blocks;
}
