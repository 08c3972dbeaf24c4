#pragma once
// Rows as an address names them: "3:5" for one span, "3:5,8:9" for several areas.

#include <QList>
#include <QPair>
#include <QString>

namespace OfficeNodes {

// "3:5" -> (3, 5); "7" -> (7, 7); 1-based. (0, 0) when it does not read.
QPair<int, int> parseRowSpan(const QString& text);

// "3:5,8:9,12:12" -> the areas, 1-based; empty when the text names anything else.
QList<QPair<int, int>> parseRowAreas(const QString& address);

} // namespace OfficeNodes
