#pragma once
// The office's own search through a sheet's formulas: it finds the few formulas a check needs
// without every formula of a long sheet read through the bridge. Only the office server includes
// this header.

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>

#include <QVariantList>

#include <vector>

namespace FormulaSearch {

// The blocks of formula cells whose formula, as the office shows it, holds the text (with
// regularExpression, matches it as an ICU regular expression).
std::vector<::com::sun::star::table::CellRangeAddress> formulaBlocksHolding(
    const ::com::sun::star::uno::Reference<::com::sun::star::sheet::XSpreadsheet>& sheet, const ::rtl::OUString& text,
    bool regularExpression);

// Those formulas read: [row, column (both from 1), formula as getFormula gives it] each, in rows
// from the top, each row from the left.
QVariantList formulasMatching(const ::com::sun::star::uno::Reference<::com::sun::star::sheet::XSpreadsheet>& sheet,
                              const ::rtl::OUString& pattern);

} // namespace FormulaSearch
