#include "automation/namedranges.h"

#include "automation/sheetlookups.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeReferrer.hpp>
#include <com/sun/star/sheet/XNamedRange.hpp>

#include <QHash>

namespace OfficeNodes {

namespace {

// The position of the sheet a name's cells are on: the office updates a name when a sheet goes in
// or out before them, though its text stays the same.
QString sheetPositionOf(const uno::Reference<sheet::XNamedRange>& range)
{
    const uno::Reference<sheet::XCellRangeReferrer> referrer(range, uno::UNO_QUERY);
    try {
        const uno::Reference<sheet::XCellRangeAddressable> cells(referrer.is() ? referrer->getReferredCells() : nullptr,
                                                                 uno::UNO_QUERY);
        return cells.is() ? QString::number(cells->getRangeAddress().Sheet) : QString();
    } catch (const uno::RuntimeException&) {
        return QString(); // refers to no cells
    }
}

void addNames(const uno::Reference<beans::XPropertySet>& owner, const QString& prefix, bool withPositions,
              QList<NamedRange>& names)
{
    uno::Reference<container::XIndexAccess> ranges(owner->getPropertyValue("NamedRanges"), uno::UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < ranges->getCount(); ++i) {
        uno::Reference<sheet::XNamedRange> range(ranges->getByIndex(i), uno::UNO_QUERY_THROW);
        const QString name = fromOUString(uno::Reference<container::XNamed>(range, uno::UNO_QUERY_THROW)->getName());
        QString refersTo = QLatin1Char('=') + fromOUString(range->getContent());
        if (withPositions)
            refersTo += QLatin1Char('\n') + sheetPositionOf(range);
        names.append({prefix + name, refersTo});
    }
}

QList<NamedRange> namesOf(const uno::Reference<sheet::XSpreadsheetDocument>& document, bool withPositions)
{
    QList<NamedRange> names;
    addNames(uno::Reference<beans::XPropertySet>(document, uno::UNO_QUERY_THROW), QString(), withPositions, names);
    uno::Reference<container::XIndexAccess> sheets(document->getSheets(), uno::UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < sheets->getCount(); ++i) {
        uno::Reference<beans::XPropertySet> sheet(sheets->getByIndex(i), uno::UNO_QUERY_THROW);
        addNames(sheet, sheetName(uno::Reference<sheet::XSpreadsheet>(sheet, uno::UNO_QUERY_THROW)) + QLatin1Char('!'),
                 withPositions, names);
    }
    return names;
}

} // namespace

QList<NamedRange> namedRanges(const uno::Reference<sheet::XSpreadsheetDocument>& document)
{
    return namesOf(document, false);
}

QList<NamedRange> namedPlaces(const uno::Reference<sheet::XSpreadsheetDocument>& document)
{
    return namesOf(document, true);
}

QStringList namesChanged(const QList<NamedRange>& before, const QList<NamedRange>& now)
{
    QHash<QString, QString> current;
    for (const NamedRange& name : now)
        current.insert(name.first, name.second);
    QStringList changed;
    for (const NamedRange& name : before) {
        if (current.value(name.first) == name.second)
            continue;
        const QString bare = name.first.section(QLatin1Char('!'), -1);
        if (!changed.contains(bare, Qt::CaseInsensitive))
            changed.append(bare);
    }
    return changed;
}

} // namespace OfficeNodes
