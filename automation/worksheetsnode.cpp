#include "automation/worksheetsnode.h"

#include "automation/sheetlookups.h"
#include "automation/worksheetnode.h"

#include <com/sun/star/sheet/XSpreadsheets.hpp>

namespace OfficeNodes {

AutomationNodePtr WorksheetsNode::subObject(const QString& member, const QVariantList&, AutomationError& error)
{
    if (member != QLatin1String("Add")) {
        unknownMember(error, member);
        return nullptr;
    }
    // A new sheet after the last one.
    return guarded<AutomationNodePtr>(error, [&]() -> AutomationNodePtr {
        uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
        const int count = sheetIndex(document->document)->getCount();
        QString name;
        for (int n = count + 1; name.isEmpty() || sheets->hasByName(toOUString(name)); ++n)
            name = QStringLiteral("Sheet%1").arg(n);
        noteLinesOrSheetsMoved(*document);
        sheets->insertNewByName(toOUString(name), static_cast<sal_Int16>(count));
        uno::Reference<sheet::XSpreadsheet> added(sheets->getByName(toOUString(name)), uno::UNO_QUERY_THROW);
        return std::make_shared<WorksheetNode>(document, added);
    });
}

QVariant WorksheetsNode::property(const QString& name, AutomationError& error)
{
    if (name == QLatin1String("Count"))
        return guarded<QVariant>(error, [&] { return QVariant(sheetIndex(document->document)->getCount()); });
    unknownMember(error, name);
    return QVariant();
}

} // namespace OfficeNodes
