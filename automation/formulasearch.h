#pragma once
// The office's own search through a sheet's formulas: it finds the few formulas a check needs
// without every formula of a long sheet read through the bridge. Only the office server includes
// this header.

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>

#include <QMap>
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

// The same for every sheet of the document in one search, by sheet position. A formula shown
// as text costs the office a pass over every sheet's name, so with hundreds of sheets one
// search through all of them costs about half of one per sheet.
QMap<int, QVariantList> formulasMatchingInEverySheet(
    const ::com::sun::star::uno::Reference<::com::sun::star::sheet::XSpreadsheetDocument>& document,
    const ::rtl::OUString& pattern);

} // namespace FormulaSearch
