#include "tools/combine/titlealignment.h"

#include <QHash>
#include <QPair>

namespace {

QStringList withoutTrailingEmpty(QStringList titles)
{
    while (!titles.isEmpty() && titles.last().trimmed().isEmpty())
        titles.removeLast();
    return titles;
}

// Titles compare as the user reads them: surrounding spaces do not make a different column.
QString keyOf(const QString& title)
{
    return title.trimmed();
}

} // namespace

TitleAlignment::TitleAlignment(const QList<QStringList>& sheetTitles)
{
    titles = sheetTitles;
    if (titles.isEmpty())
        return;
    combined = titles.first();
    // (title, occurrence) -> combined column; an empty title matches only by its position.
    QHash<QPair<QString, int>, int> known;
    QHash<QString, int> seen;
    for (int c = 0; c < combined.size(); ++c) {
        const QString key = keyOf(combined.at(c));
        known.insert({key.isEmpty() ? QString::number(c) : key, key.isEmpty() ? -1 : seen[key]++}, c + 1);
    }
    for (const QStringList& list : qAsConst(titles)) {
        QVector<int> targets;
        QHash<QString, int> occurrences;
        for (int c = 0; c < list.size(); ++c) {
            const QString key = keyOf(list.at(c));
            const QPair<QString, int> slot{key.isEmpty() ? QString::number(c) : key,
                                           key.isEmpty() ? -1 : occurrences[key]++};
            auto found = known.constFind(slot);
            if (found == known.cend()) {
                combined.append(list.at(c));
                found = known.insert(slot, combined.size());
            }
            targets.append(found.value());
        }
        columns.append(targets);
    }
}

TitleDifference TitleAlignment::firstDifference() const
{
    TitleDifference difference;
    if (titles.isEmpty())
        return difference;
    const QStringList first = withoutTrailingEmpty(titles.first());
    for (int s = 1; s < titles.size(); ++s) {
        const QStringList list = withoutTrailingEmpty(titles.at(s));
        for (int c = 0; c < qMax(list.size(), first.size()); ++c) {
            const QString title = list.value(c);
            if (keyOf(title) != keyOf(first.value(c))) {
                difference.sheet = s;
                difference.column = c + 1;
                difference.title = title;
                difference.firstTitle = first.value(c);
                return difference;
            }
        }
    }
    return difference;
}
