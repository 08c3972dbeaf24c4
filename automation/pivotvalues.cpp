#include "automation/pivotvalues.h"

#include "automation/officevalues.h"
#include "automation/sheetlookups.h"

#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/sheet/XCellRangeMovement.hpp>
#include <com/sun/star/sheet/XDataPilotDescriptor.hpp>
#include <com/sun/star/sheet/XDataPilotTable.hpp>
#include <com/sun/star/sheet/XDataPilotTables.hpp>
#include <com/sun/star/sheet/XDataPilotTablesSupplier.hpp>
#include <com/sun/star/table/CellAddress.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>

#include <vector>

namespace OfficeNodes {

namespace {

struct PivotOutput
{
    rtl::OUString name;
    table::CellRangeAddress output;
};

std::vector<PivotOutput> fromOtherSheets(const uno::Reference<sheet::XSpreadsheet>& sheet,
                                         uno::Reference<sheet::XDataPilotTables>& tables)
{
    const uno::Reference<sheet::XDataPilotTablesSupplier> supplier(sheet, uno::UNO_QUERY);
    tables = supplier.is() ? supplier->getDataPilotTables() : nullptr;
    const uno::Reference<container::XNameAccess> named(tables, uno::UNO_QUERY);
    std::vector<PivotOutput> found;
    if (!named.is())
        return found;
    for (const rtl::OUString& name : named->getElementNames()) {
        const uno::Reference<sheet::XDataPilotTable> table(named->getByName(name), uno::UNO_QUERY);
        const uno::Reference<sheet::XDataPilotDescriptor> descriptor(table, uno::UNO_QUERY);
        if (!table.is() || !descriptor.is())
            continue;
        table::CellRangeAddress source;
        try {
            source = descriptor->getSourceRange();
        } catch (const uno::RuntimeException&) {
            continue; // a database or another file: nothing a sheet file loses
        }
        const table::CellRangeAddress output = table->getOutputRange();
        if (source.Sheet != output.Sheet)
            found.push_back({name, output});
    }
    return found;
}

rtl::OUString unusedSheetName(const uno::Reference<sheet::XSpreadsheets>& sheets)
{
    for (int n = 1;; ++n) {
        const rtl::OUString name = toOUString(QStringLiteral("kivexcel-pivot-%1").arg(n));
        if (!sheets->hasByName(name))
            return name;
    }
}

} // namespace

QVariantList pivotTablesFromOtherSheets(const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    uno::Reference<sheet::XDataPilotTables> tables;
    QVariantList corners;
    for (const PivotOutput& pivot : fromOtherSheets(sheet, tables))
        corners.append(QVariant(QVariantList{pivot.output.StartColumn + 1, pivot.output.StartRow + 1}));
    return corners;
}

int keepPivotTablesAsValues(const uno::Reference<sheet::XSpreadsheetDocument>& document,
                            const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    uno::Reference<sheet::XDataPilotTables> tables;
    const std::vector<PivotOutput> pivots = fromOtherSheets(sheet, tables);
    if (pivots.empty())
        return 0;
    // Removing a pivot table empties its cells: they wait on a sheet of their own meanwhile.
    const uno::Reference<sheet::XSpreadsheets> sheets = document->getSheets();
    const rtl::OUString aside = unusedSheetName(sheets);
    const sal_Int16 asidePosition = sal_Int16(sheetIndex(document)->getCount());
    sheets->insertNewByName(aside, asidePosition);
    const uno::Reference<sheet::XCellRangeMovement> movement(sheet, uno::UNO_QUERY_THROW);
    for (const PivotOutput& pivot : pivots) {
        const table::CellRangeAddress& out = pivot.output;
        movement->copyRange(table::CellAddress(asidePosition, 0, 0), out);
        tables->removeByName(pivot.name);
        movement->copyRange(
            table::CellAddress(out.Sheet, out.StartColumn, out.StartRow),
            table::CellRangeAddress(asidePosition, 0, 0, out.EndColumn - out.StartColumn, out.EndRow - out.StartRow));
    }
    sheets->removeByName(aside);
    return int(pivots.size());
}

} // namespace OfficeNodes
