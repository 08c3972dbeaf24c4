#include "automation/workbooknode.h"

#include "automation/sheetcalculation.h"
#include "automation/documentpaths.h"
#include "automation/namesnode.h"
#include "automation/sheetlookups.h"
#include "automation/formulavalues.h"
#include "automation/sheetgroupdeletion.h"
#include "automation/worksheetnode.h"
#include "automation/worksheetsnode.h"
#include "automation/sheetgroupnode.h"

#include <com/sun/star/sheet/XDatabaseRange.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/script/vba/XVBACompatibility.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/util/XProtectable.hpp>

#include <QFileInfo>

namespace OfficeNodes {

WorkbookNode::WorkbookNode(ApplicationPtr application, DocumentPtr document)
    : application(std::move(application)), document(std::move(document))
{}

AutomationNodePtr WorkbookNode::subObject(const QString& member, const QVariantList& args, AutomationError& error)
{
    if (document->closed) {
        fail(error, QStringLiteral("The workbook is closed"));
        return nullptr;
    }
    return guarded<AutomationNodePtr>(error, [&]() -> AutomationNodePtr {
        if ((member == QLatin1String("Worksheets") || member == QLatin1String("Sheets")) && args.isEmpty())
            return std::make_shared<WorksheetsNode>(document);
        if ((member == QLatin1String("Worksheets") || member == QLatin1String("Sheets"))
            && args.value(0).type() == QVariant::StringList)
            return sheetGroup(args.value(0).toStringList(), error);
        if (member == QLatin1String("Worksheets") || member == QLatin1String("Sheets"))
            return sheetNamed(args.value(0), error);
        if (member == QLatin1String("ActiveSheet"))
            return activeSheet();
        if (member == QLatin1String("Names"))
            return std::make_shared<NamesNode>(document->document);
        unknownMember(error, member);
        return nullptr;
    });
}

QVariant WorkbookNode::call(const QString& member, const QVariantList& args, AutomationError& error)
{
    if (member == QLatin1String("Close")) {
        close();
        return QVariant();
    }
    if (document->closed) {
        fail(error, QStringLiteral("The workbook is closed"));
        return QVariant();
    }
    if (member == QLatin1String("Save"))
        return guarded<QVariant>(error, [&] { return save(error); });
    if (member == QLatin1String("SaveAs"))
        return guarded<QVariant>(error, [&] { return saveAs(args.value(0).toString(), error); });
    if (member == QLatin1String("SaveCopyAs"))
        return guarded<QVariant>(error, [&] { return saveCopyAs(args.value(0).toString(), error); });
    // Not Excel's call, but what Excel's Range.Value = Range.Value does, for many ranges at
    // once ("Sheet1\tB2:D2"): formulas become the values they show. The cells changed.
    if (member == QLatin1String("KeepValues"))
        return guarded<QVariant>(error, [&] { return keepValues(args.value(0).toStringList(), error); });
    if (member == QLatin1String("Undo"))
        return guarded<QVariant>(error, [&] {
            if (!undoLastStep(document))
                fail(error, QStringLiteral("Nothing to undo"));
            return QVariant();
        });
    unknownMember(error, member);
    return QVariant();
}

QVariant WorkbookNode::property(const QString& name, AutomationError& error)
{
    if (document->closed) {
        fail(error, QStringLiteral("The workbook is closed"));
        return QVariant();
    }
    return guarded<QVariant>(error, [&]() -> QVariant {
        uno::Reference<frame::XStorable> storable(document->component, uno::UNO_QUERY_THROW);
        if (name == QLatin1String("ReadOnly"))
            return storable->isReadonly();
        // Size and change times of the file as it was loaded or last saved.
        if (name == QLatin1String("FileStamp"))
            return document->diskStamp;
        if (name == QLatin1String("FullName"))
            return urlToPath(storable->getLocation());
        if (name == QLatin1String("Name"))
            return QFileInfo(urlToPath(storable->getLocation())).fileName();
        // Sheets cannot be added, removed or renamed.
        // Not Excel's: a binary workbook with macros keeps the code names of its sheets for
        // them, and every save writes a placeholder sheet for each name without a sheet.
        if (name == QLatin1String("MacroCodeNames"))
            return holdsMacroCodeNames();
        // Not Excel's: each table (Excel's ListObject) by name, with the cells it covers as a
        // name refers to them ("=$'Sheet1'.A1:C9"); formulas reach tables by their names.
        if (name == QLatin1String("TableRanges"))
            return tableRanges();
        // Not Excel's: false when no cell formula can reach over a range of sheets
        // (Sheet1:Sheet3!A1), as far as the file shows without asking the office.
        if (name == QLatin1String("FormulasMaySpanSheets"))
            return formulasMaySpanSheets();
        if (name == QLatin1String("ProtectStructure")) {
            const uno::Reference<util::XProtectable> protectable(document->document, uno::UNO_QUERY);
            return protectable.is() && protectable->isProtected();
        }
        // Not Excel's: what the last save refused for (see KeepFeatures).
        if (name == QLatin1String("LostFeatures"))
            return document->lostFeatures;
        if (name == QLatin1String("KeepFeatures"))
            return document->keepFeatures;
        if (name == QLatin1String("KeepSavedResults"))
            return SheetCalculation::keepsSavedResults(document->component);
        unknownMember(error, name);
        return QVariant();
    });
}

void WorkbookNode::setProperty(const QString& name, const QVariant& value, AutomationError& error)
{
    // Not Excel's: with it, "Save" refuses a file that lacks features of the one it replaces.
    if (name == QLatin1String("KeepFeatures"))
        document->keepFeatures = value.toBool();
    // Not Excel's: with it, formulas keep the results the file was saved with until a sheet's
    // "Calculate" (see SheetCalculation).
    else if (name == QLatin1String("KeepSavedResults"))
        guarded<bool>(error, [&] {
            SheetCalculation::keepSavedResults(document->component, value.toBool());
            return true;
        });
    else
        unknownMember(error, name);
}

AutomationNodePtr WorkbookNode::sheetNamed(const QVariant& key, AutomationError& error)
{
    uno::Reference<sheet::XSpreadsheet> found;
    if (key.type() == QVariant::String) {
        uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
        const OUString name = toOUString(key.toString());
        if (sheets->hasByName(name))
            found.set(sheets->getByName(name), uno::UNO_QUERY_THROW);
    } else {
        uno::Reference<container::XIndexAccess> sheets = sheetIndex(document->document);
        const int position = key.toInt();
        if (position >= 1 && position <= sheets->getCount())
            found.set(sheets->getByIndex(position - 1), uno::UNO_QUERY_THROW);
    }
    if (!found.is()) {
        fail(error, QStringLiteral("No such sheet: ") + key.toString());
        return nullptr;
    }
    return std::make_shared<WorksheetNode>(document, found);
}

AutomationNodePtr WorkbookNode::sheetGroup(const QStringList& names, AutomationError& error)
{
    uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
    for (const QString& name : names) {
        if (!sheets->hasByName(toOUString(name))) {
            fail(error, QStringLiteral("No such sheet: ") + name);
            return nullptr;
        }
    }
    return std::make_shared<SheetGroupNode>(document, names);
}

AutomationNodePtr WorkbookNode::activeSheet()
{
    if (!document->activeSheet.is())
        document->activeSheet.set(sheetIndex(document->document)->getByIndex(0), uno::UNO_QUERY_THROW);
    return std::make_shared<WorksheetNode>(document, document->activeSheet);
}

QVariant WorkbookNode::keepValues(const QStringList& places, AutomationError& error)
{
    const uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
    QList<uno::Reference<table::XCellRange>> ranges;
    for (const QString& place : places) {
        const QString sheetName = place.section(QLatin1Char('\t'), 0, 0);
        if (!sheets->hasByName(toOUString(sheetName))) {
            fail(error, QStringLiteral("No such sheet: ") + sheetName);
            return QVariant();
        }
        const uno::Reference<table::XCellRange> sheet(sheets->getByName(toOUString(sheetName)), uno::UNO_QUERY_THROW);
        ranges.append(sheet->getCellRangeByName(toOUString(place.section(QLatin1Char('\t'), 1))));
    }
    noteFormulasWritten(*document); // an error shown becomes a formula of its own (=#REF!)
    return FormulaValues::keepValues(document->component, ranges);
}

QVariantMap WorkbookNode::tableRanges() const
{
    QVariantMap found;
    const uno::Reference<container::XNameAccess> tables(
        uno::Reference<beans::XPropertySet>(document->document, uno::UNO_QUERY_THROW)
            ->getPropertyValue("DatabaseRanges"),
        uno::UNO_QUERY_THROW);
    const uno::Reference<container::XIndexAccess> sheets = sheetIndex(document->document);
    for (const OUString& name : tables->getElementNames()) {
        // The range's own area; a "DataArea" property read would give nothing and A1.
        const table::CellRangeAddress area =
            uno::Reference<sheet::XDatabaseRange>(tables->getByName(name), uno::UNO_QUERY_THROW)->getDataArea();
        if (area.Sheet < 0 || area.Sheet >= sheets->getCount())
            continue;
        QString sheetName = fromOUString(
            uno::Reference<container::XNamed>(sheets->getByIndex(area.Sheet), uno::UNO_QUERY_THROW)->getName());
        sheetName.replace(QLatin1Char('\''), QLatin1String("''"));
        found.insert(fromOUString(name), QStringLiteral("=$'%1'.R%2C%3:R%4C%5")
                                             .arg(sheetName)
                                             .arg(area.StartRow + 1)
                                             .arg(area.StartColumn + 1)
                                             .arg(area.EndRow + 1)
                                             .arg(area.EndColumn + 1));
    }
    return found;
}

bool WorkbookNode::holdsMacroCodeNames() const
{
    // The code names are kept only for a workbook whose macros the office read.
    if (!ownFilterOr(QString()).startsWith(QLatin1String("MS Excel")))
        return false;
    const uno::Reference<script::vba::XVBACompatibility> macros(
        uno::Reference<beans::XPropertySet>(document->component, uno::UNO_QUERY_THROW)
            ->getPropertyValue("BasicLibraries"),
        uno::UNO_QUERY);
    return macros.is() && macros->getVBACompatibilityMode();
}

bool WorkbookNode::formulasMaySpanSheets() const
{
    return !formulasAsInItsPackage(*document) || packageFindings(*document).sheetRanges;
}

void WorkbookNode::close()
{
    if (application->activeWorkbook == document)
        application->activeWorkbook.reset();
    if (application->openedWorkbooks.removeOne(document))
        releaseDocument(document);
}

} // namespace OfficeNodes
