#include "automation/sheetgroupnode.h"

#include "automation/quietdocument.h"
#include "automation/sheetgroupdeletion.h"
#include "automation/sheetlookups.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>

#include <algorithm>

namespace OfficeNodes {

QVariant SheetGroupNode::call(const QString& member, const QVariantList& args, AutomationError& error)
{
    if (member == QLatin1String("DeleteForGood"))
        return guarded<QVariant>(error, [&] { return removeForGood(); });
    return DeletableNode::call(member, args, error);
}

QVariant SheetGroupNode::removeForGood()
{
    uno::Reference<beans::XPropertySet>(document->component, uno::UNO_QUERY_THROW)
        ->setPropertyValue("IsUndoEnabled", uno::Any(false));
    document->beforeGroupDeletions.clear();
    document->activeSheet.clear();
    noteLinesOrSheetsMoved(*document);
    uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
    QuietDocument quiet(document);
    for (const auto& sheet : lastFirst())
        sheets->removeByName(sheet.second);
    return QVariant();
}

// The sheets by position, the last first.
QList<QPair<int, OUString>> SheetGroupNode::lastFirst() const
{
    uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
    QList<QPair<int, OUString>> byPosition;
    for (const QString& name : names) {
        const OUString unoName = toOUString(name);
        uno::Reference<sheet::XSpreadsheet> sheet(sheets->getByName(unoName), uno::UNO_QUERY_THROW);
        byPosition.append({sheetPosition(sheet), unoName});
    }
    std::sort(byPosition.begin(), byPosition.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    return byPosition;
}

// From the last sheet to the first: a sheet's deletion renumbers only the sheets after it.
// Undo stays on afterwards, as turning it off would drop what "Undo" takes back.
QVariant SheetGroupNode::remove()
{
    uno::Reference<frame::XModel> model(document->component, uno::UNO_QUERY_THROW);
    uno::Reference<beans::XPropertySet>(model, uno::UNO_QUERY_THROW)->setPropertyValue("IsUndoEnabled", uno::Any(true));
    uno::Reference<document::XUndoManager> undo = undoManagerOf(document);
    uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
    const QList<QPair<int, OUString>> byPosition = lastFirst();
    const DocumentState::BeforeGroupDeletion before = stateBeforeGroupDeletion(document, names);
    document->activeSheet.clear();
    noteLinesOrSheetsMoved(*document);
    undo->enterUndoContext(kSheetGroupDeletion);
    document->beforeGroupDeletions.append(before);
    try {
        QuietDocument quiet(document);
        for (const auto& sheet : byPosition)
            sheets->removeByName(sheet.second);
    } catch (...) {
        undo->leaveUndoContext();
        undoLastStep(document); // none of the group goes
        throw;
    }
    undo->leaveUndoContext();
    return QVariant();
}

} // namespace OfficeNodes
