#include "automation/formulasearch.h"

#include "automation/officevalues.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangeFormula.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/util/XSearchDescriptor.hpp>
#include <com/sun/star/util/XSearchable.hpp>

#include <algorithm>

using namespace ::com::sun::star;
using rtl::OUString;

namespace FormulaSearch {

std::vector<table::CellRangeAddress> formulaBlocksHolding(const uno::Reference<sheet::XSpreadsheet>& sheet,
                                                          const OUString& text, bool regularExpression)
{
    const uno::Reference<util::XSearchable> searchable(sheet, uno::UNO_QUERY_THROW);
    const uno::Reference<util::XSearchDescriptor> search = searchable->createSearchDescriptor();
    search->setSearchString(text);
    const uno::Reference<beans::XPropertySet> options(search, uno::UNO_QUERY_THROW);
    options->setPropertyValue("SearchType", uno::Any(sal_Int16(0))); // in formulas
    options->setPropertyValue("SearchRegularExpression", uno::Any(regularExpression));
    options->setPropertyValue("SearchWords", uno::Any(false));
    std::vector<table::CellRangeAddress> blocks;
    const uno::Reference<container::XIndexAccess> found = searchable->findAll(search);
    for (sal_Int32 i = 0; found.is() && i < found->getCount(); ++i) {
        const uno::Reference<sheet::XCellRangesQuery> block(found->getByIndex(i), uno::UNO_QUERY_THROW);
        for (const table::CellRangeAddress& area :
             block->queryContentCells(sheet::CellFlags::FORMULA)->getRangeAddresses())
            blocks.push_back(area);
    }
    return blocks;
}

QVariantList formulasMatching(const uno::Reference<sheet::XSpreadsheet>& sheet, const OUString& pattern)
{
    std::vector<table::CellRangeAddress> blocks = formulaBlocksHolding(sheet, pattern, true);
    std::sort(blocks.begin(), blocks.end(), [](const table::CellRangeAddress& a, const table::CellRangeAddress& b) {
        return std::make_pair(a.StartRow, a.StartColumn) < std::make_pair(b.StartRow, b.StartColumn);
    });
    QList<QVariantList> cells;
    for (const table::CellRangeAddress& area : blocks) {
        const uno::Reference<sheet::XCellRangeFormula> block(
            sheet->getCellRangeByPosition(area.StartColumn, area.StartRow, area.EndColumn, area.EndRow),
            uno::UNO_QUERY_THROW);
        const uno::Sequence<uno::Sequence<OUString>> formulas = block->getFormulaArray();
        for (sal_Int32 r = 0; r < formulas.getLength(); ++r)
            for (sal_Int32 c = 0; c < formulas[r].getLength(); ++c)
                if (formulas[r][c].startsWith("=") || formulas[r][c].startsWith("{="))
                    cells.append({area.StartRow + r + 1, area.StartColumn + c + 1, fromOUString(formulas[r][c])});
    }
    // Blocks may lie side by side: the cells in reading order.
    std::stable_sort(cells.begin(), cells.end(), [](const QVariantList& a, const QVariantList& b) {
        return std::make_pair(a.at(0).toInt(), a.at(1).toInt()) < std::make_pair(b.at(0).toInt(), b.at(1).toInt());
    });
    QVariantList list;
    for (const QVariantList& cell : cells)
        list.append(QVariant(cell));
    return list;
}

} // namespace FormulaSearch
