#include "automation/formulasearch.h"

#include "automation/officevalues.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeFormula.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRangeContainer.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/util/XSearchDescriptor.hpp>
#include <com/sun/star/util/XSearchable.hpp>

#include <algorithm>

using namespace ::com::sun::star;
using rtl::OUString;

namespace FormulaSearch {

namespace {

std::vector<table::CellRangeAddress> blocksFound(const uno::Reference<util::XSearchable>& searchable,
                                                 const OUString& text, bool regularExpression)
{
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

// The formulas of the blocks, all on the sheet, in reading order.
QVariantList formulasOf(const uno::Reference<sheet::XSpreadsheet>& sheet, std::vector<table::CellRangeAddress> blocks)
{
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

} // namespace

std::vector<table::CellRangeAddress> formulaBlocksHolding(const uno::Reference<sheet::XSpreadsheet>& sheet,
                                                          const OUString& text, bool regularExpression)
{
    return blocksFound(uno::Reference<util::XSearchable>(sheet, uno::UNO_QUERY_THROW), text, regularExpression);
}

QVariantList formulasMatching(const uno::Reference<sheet::XSpreadsheet>& sheet, const OUString& pattern)
{
    return formulasOf(sheet, formulaBlocksHolding(sheet, pattern, true));
}

QMap<int, QVariantList> formulasMatchingInEverySheet(const uno::Reference<sheet::XSpreadsheetDocument>& document,
                                                     const OUString& pattern)
{
    const uno::Reference<container::XIndexAccess> sheets(document->getSheets(), uno::UNO_QUERY_THROW);
    const sal_Int32 sheetCount = sheets->getCount();
    if (sheetCount == 0)
        return {};
    const uno::Reference<sheet::XSheetCellRangeContainer> everySheet(
        uno::Reference<lang::XMultiServiceFactory>(document, uno::UNO_QUERY_THROW)
            ->createInstance("com.sun.star.sheet.SheetCellRanges"),
        uno::UNO_QUERY_THROW);
    uno::Sequence<table::CellRangeAddress> whole(sheetCount);
    for (sal_Int32 i = 0; i < sheetCount; ++i)
        whole.getArray()[i] = uno::Reference<sheet::XCellRangeAddressable>(sheets->getByIndex(i), uno::UNO_QUERY_THROW)
                                  ->getRangeAddress();
    everySheet->addRangeAddresses(whole, false);
    QMap<int, std::vector<table::CellRangeAddress>> blocksBySheet;
    for (const table::CellRangeAddress& block :
         blocksFound(uno::Reference<util::XSearchable>(everySheet, uno::UNO_QUERY_THROW), pattern, true))
        blocksBySheet[block.Sheet].push_back(block);
    QMap<int, QVariantList> found;
    for (auto it = blocksBySheet.cbegin(); it != blocksBySheet.cend(); ++it)
        found.insert(it.key(),
                     formulasOf(uno::Reference<sheet::XSpreadsheet>(sheets->getByIndex(it.key()), uno::UNO_QUERY_THROW),
                                it.value()));
    return found;
}

} // namespace FormulaSearch
