#include "tools/combine/movedcolumns.h"

#include "tools/shared/formulareferences.h"

#include <algorithm>

namespace {

// The longest run of positions whose values increase, as flags.
QVector<bool> longestIncreasing(const QVector<int>& values)
{
    const int n = values.size();
    QVector<int> length(n, 1);
    QVector<int> before(n, -1);
    int best = -1;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < i; ++j)
            if (values.at(j) < values.at(i) && length.at(j) + 1 > length.at(i)) {
                length[i] = length.at(j) + 1;
                before[i] = j;
            }
        if (best < 0 || length.at(i) > length.at(best))
            best = i;
    }
    QVector<bool> flags(n, false);
    for (int i = best; i >= 0; i = before.at(i))
        flags[i] = true;
    return flags;
}

} // namespace

MovedColumns::MovedColumns(const QVector<int>& targetColumns, bool withWorkCopy)
    : targets(targetColumns),
      keptColumns(withWorkCopy ? longestIncreasing(targetColumns) : QVector<bool>(targetColumns.size(), false))
{}

QVector<int> MovedColumns::deletedColumns() const
{
    QVector<int> columns;
    for (int c = targets.size(); c >= 1; --c)
        if (!kept(c))
            columns.append(c);
    return columns;
}

QVector<int> MovedColumns::insertedColumns() const
{
    QVector<int> places;
    for (int c = 1; c <= targets.size(); ++c)
        if (kept(c))
            places.append(target(c));
    QVector<int> columns;
    for (int p = 1; !places.isEmpty() && p <= places.last(); ++p)
        if (!places.contains(p))
            columns.append(p);
    return columns;
}

QVector<QVector<int>> MovedColumns::straightBlocks() const
{
    QVector<QVector<int>> blocks;
    for (int c = 1; c <= targets.size(); ++c) {
        if (kept(c))
            continue;
        const int first = c;
        while (c < targets.size() && !kept(c + 1) && target(c + 1) == target(c) + 1)
            ++c;
        blocks.append({first, c, target(first)});
    }
    return blocks;
}

// Whether columns first..last, taken by the formula of that column, land where the reference will
// point: through the work copy every reference follows its cells; a straight copy moves relative
// references as far as the formula's own column and leaves absolute ones where they were.
bool MovedColumns::landsAlong(int column, int first, int last, bool absolute) const
{
    const int shift = target(column) - column;
    if (!kept(column) && absolute && shift != 0)
        return false;
    for (int k = first; k <= last; ++k) {
        if (k < 1 || k > targets.size())
            return false;
        if (kept(column) ? !kept(k) || (k > first && target(k) != target(k - 1) + 1) : target(k) != k + shift)
            return false;
    }
    return true;
}

bool MovedColumns::formulaFollows(const QString& formula, int column, int row) const
{
    QVector<Reference> references;
    if (!readReferences(formula, references))
        return false;
    // The reader does not say which columns are absolute: any $ counts for all of them.
    const bool absolute = formula.contains(QLatin1Char('$'));
    for (const Reference& reference : references) {
        for (const ReferenceEnd* end : {&reference.first, &reference.last})
            if (!end->sheet.isEmpty() || !end->hasRow || !end->hasColumn || end->rowAbsolute || end->row != row)
                return false;
        const auto [first, last] = std::minmax(reference.first.column, reference.last.column);
        if (!landsAlong(column, first, last, absolute))
            return false;
    }
    return true;
}
