#include "automation/rowspans.h"

#include <QStringList>

namespace OfficeNodes {

QPair<int, int> parseRowSpan(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() > 2)
        return {0, 0};
    bool firstOk = false, lastOk = false;
    const int first = parts.first().trimmed().toInt(&firstOk);
    const int last = parts.last().trimmed().toInt(&lastOk);
    if (!firstOk || !lastOk || first < 1 || last < first)
        return {0, 0};
    return {first, last};
}

QList<QPair<int, int>> parseRowAreas(const QString& address)
{
    QList<QPair<int, int>> areas;
    for (const QString& part : address.split(QLatin1Char(','))) {
        if (!part.contains(QLatin1Char(':')))
            return {};
        const QPair<int, int> span = parseRowSpan(part);
        if (span.first < 1)
            return {};
        areas.append(span);
    }
    return areas;
}

} // namespace OfficeNodes
