#include "automation/sheetcalculation.h"

#include "automation/formulasearch.h"
#include "common/formulatext.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCalculatable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangeFormula.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XFormulaQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include "automation/officevalues.h"

#include <QRegularExpression>
#include <QString>

#include <vector>

using namespace ::com::sun::star;
using rtl::OUString;

namespace SheetCalculation {

namespace {

// Reads the cells' results with automatic calculation on, which calculates those marked changed.
void readCalculated(const uno::Reference<sheet::XCalculatable>& calculatable,
                    const std::vector<uno::Reference<table::XCellRange>>& ranges)
{
    if (ranges.empty())
        return;
    const bool automatic = calculatable->isAutomaticCalculationEnabled();
    calculatable->enableAutomaticCalculation(true);
    try {
        for (const uno::Reference<table::XCellRange>& range : ranges)
            uno::Reference<sheet::XCellRangeData>(range, uno::UNO_QUERY_THROW)->getDataArray();
    } catch (...) {
        calculatable->enableAutomaticCalculation(automatic);
        throw;
    }
    calculatable->enableAutomaticCalculation(automatic);
}

// Whether a formula in the row (0-based) takes from other rows of its own sheet, as the office
// writes formulas: A1, $B$2, $Sheet2.C3, SUM(A1:A9), names. Cells of other sheets do not count:
// their values stay.
bool reachesOtherRows(const QString& formula, int row)
{
    QString text = formulaWithoutTexts(formula);
    static const QRegularExpression beyond(
        QStringLiteral("[:#]|\\b(ROW|ROWS|OFFSET|INDIRECT|CELL|SUBTOTAL|AGGREGATE)\\s*\\("),
        QRegularExpression::CaseInsensitiveOption);
    if (text.contains(beyond))
        return true;
    static const QRegularExpression otherSheetCell(
        QStringLiteral("(\\$?'(?:[^']|'')+'|\\$?[^\\W\\d]\\w*)\\.\\$?[A-Z]{1,3}\\$?\\d+"),
        QRegularExpression::UseUnicodePropertiesOption);
    text.remove(otherSheetCell);
    static const QRegularExpression cell(QStringLiteral("(?<![\\w.$])\\$?[A-Z]{1,3}\\$?(\\d+)(?![\\w(.])"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    for (auto match = cell.globalMatch(text); match.hasNext();)
        if (match.next().captured(1).toInt() != row + 1)
            return true;
    text.remove(cell);
    // What is left that is no function is a name, which may stand for any cells.
    static const QRegularExpression name(QStringLiteral("(?<![\\w.$])[^\\W\\d][\\w.]*(?!\\w|\\s*\\()"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    return text.contains(name);
}

// A table by name (Table1[Column]; not another file's [1], nor a text), a lost reference, or one
// of the names.
bool compiledAgain(const QString& formula, const QStringList& names)
{
    const QString text = formulaWithoutTexts(formula);
    if (text.contains(QLatin1String("#REF!")) || reachesTableByName(formula))
        return true;
    static const QRegularExpression word(QStringLiteral("(?<![\\w.$])[^\\W\\d][\\w.]*(?![\\w(])"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    for (auto match = word.globalMatch(text); match.hasNext();)
        if (names.contains(match.next().captured(), Qt::CaseInsensitive))
            return true;
    return false;
}

// What the office's search looks for: tables, lost references and the names. Past a few hundred
// names every formula is a candidate.
OUString recompiledPattern(const QStringList& names)
{
    constexpr int kNamesSearched = 300;
    if (names.size() > kNamesSearched)
        return OUString(".");
    QString pattern = QStringLiteral("\\[|#REF!");
    for (const QString& name : names) {
        QString quoted;
        for (const QChar c : name)
            quoted += (c.unicode() < 128 && !c.isLetterOrNumber() && c != QLatin1Char('_')) ? QStringLiteral("\\") + c
                                                                                            : QString(c);
        pattern += QLatin1Char('|') + quoted;
    }
    return toOUString(pattern);
}

// Writes the formula again where the office could not read its own text back (Table1[#all]):
// a formula compiled again from that text has lost its table. The cell is the range's first.
void bracketTableKeywords(const uno::Reference<table::XCellRange>& cell, const QString& formula)
{
    if (formula.startsWith(QLatin1Char('{')))
        return; // part of an array formula, which is written as a whole
    const QString readable = withTableKeywordsBracketed(formula);
    if (readable != formula)
        cell->getCellByPosition(0, 0)->setFormula(toOUString(readable));
}

void bracketTableKeywords(const uno::Reference<table::XCellRange>& range)
{
    const uno::Sequence<uno::Sequence<OUString>> rows =
        uno::Reference<sheet::XCellRangeFormula>(range, uno::UNO_QUERY_THROW)->getFormulaArray();
    for (sal_Int32 r = 0; r < rows.getLength(); ++r)
        for (sal_Int32 c = 0; c < rows[r].getLength(); ++c)
            if (rows[r][c].indexOf('[') >= 0)
                bracketTableKeywords(range->getCellRangeByPosition(c, r, c, r), fromOUString(rows[r][c]));
}

} // namespace

void keepSavedResults(const uno::Reference<lang::XComponent>& document, bool keep)
{
    const uno::Reference<sheet::XCalculatable> calculatable(document, uno::UNO_QUERY);
    const uno::Reference<sheet::XSpreadsheetDocument> spreadsheets(document, uno::UNO_QUERY);
    if (!calculatable.is() || !spreadsheets.is() || calculatable->isAutomaticCalculationEnabled() != keep)
        return;
    const uno::Reference<util::XModifiable> modifiable(document, uno::UNO_QUERY);
    const bool wasModified = modifiable.is() && modifiable->isModified();
    // Rows keep the heights they were saved with too: after an inserted column or a written
    // value the office would measure the text of every row it touched, which costs more than
    // the change itself (seconds for a column of 100,000 rows) and changes nothing Excel saved.
    uno::Reference<beans::XPropertySet>(document, uno::UNO_QUERY_THROW)
        ->setPropertyValue("IsAdjustHeightEnabled", uno::Any(!keep));
    if (!keep) {
        calculatable->enableAutomaticCalculation(true);
        return;
    }
    // What the file holds no result for is calculated first, as the office would on a read or a
    // store: a formula saved without its result, one the office could not take as saved.
    const uno::Reference<container::XIndexAccess> sheets(spreadsheets->getSheets(), uno::UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < sheets->getCount(); ++i)
        calculate(document, uno::Reference<sheet::XSpreadsheet>(sheets->getByIndex(i), uno::UNO_QUERY_THROW));
    calculatable->enableAutomaticCalculation(false);
    // How the office calculates is no change to the workbook: one that held just its file still does.
    if (!wasModified && modifiable.is())
        modifiable->setModified(false);
}

bool keepsSavedResults(const uno::Reference<lang::XComponent>& document)
{
    const uno::Reference<sheet::XCalculatable> calculatable(document, uno::UNO_QUERY);
    return calculatable.is() && !calculatable->isAutomaticCalculationEnabled();
}

void calculate(const uno::Reference<lang::XComponent>& document, const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    const uno::Reference<sheet::XSheetCellRanges> formulas =
        uno::Reference<sheet::XCellRangesQuery>(sheet, uno::UNO_QUERY_THROW)
            ->queryContentCells(sheet::CellFlags::FORMULA);
    std::vector<uno::Reference<table::XCellRange>> ranges;
    for (const table::CellRangeAddress& area : formulas->getRangeAddresses())
        ranges.push_back(sheet->getCellRangeByPosition(area.StartColumn, area.StartRow, area.EndColumn, area.EndRow));
    readCalculated(uno::Reference<sheet::XCalculatable>(document, uno::UNO_QUERY_THROW), ranges);
}

void calculateReachingOtherRows(const uno::Reference<lang::XComponent>& document,
                                const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    const uno::Reference<sheet::XSheetCellRanges> formulas =
        uno::Reference<sheet::XCellRangesQuery>(sheet, uno::UNO_QUERY_THROW)
            ->queryContentCells(sheet::CellFlags::FORMULA);
    std::vector<uno::Reference<table::XCellRange>> reaching;
    for (const table::CellRangeAddress& area : formulas->getRangeAddresses()) {
        const uno::Sequence<uno::Sequence<OUString>> rows =
            uno::Reference<sheet::XCellRangeFormula>(
                sheet->getCellRangeByPosition(area.StartColumn, area.StartRow, area.EndColumn, area.EndRow),
                uno::UNO_QUERY_THROW)
                ->getFormulaArray();
        // Runs down a column go in one read: a column of formulas is mostly alike.
        for (sal_Int32 c = 0; c < area.EndColumn - area.StartColumn + 1; ++c) {
            sal_Int32 runStart = -1;
            for (sal_Int32 r = 0; r <= rows.getLength(); ++r) {
                const bool reaches =
                    r < rows.getLength() && reachesOtherRows(fromOUString(rows[r][c]), int(area.StartRow + r));
                if (reaches && runStart < 0)
                    runStart = r;
                if (!reaches && runStart >= 0) {
                    reaching.push_back(sheet->getCellRangeByPosition(area.StartColumn + c, area.StartRow + runStart,
                                                                     area.StartColumn + c, area.StartRow + r - 1));
                    runStart = -1;
                }
            }
        }
    }
    readCalculated(uno::Reference<sheet::XCalculatable>(document, uno::UNO_QUERY_THROW), reaching);
}

void calculateCells(const uno::Reference<lang::XComponent>& document,
                    const std::vector<uno::Reference<table::XCellRange>>& cells)
{
    for (const uno::Reference<table::XCellRange>& range : cells)
        bracketTableKeywords(range);
    if (!cells.empty())
        readCalculated(uno::Reference<sheet::XCalculatable>(document, uno::UNO_QUERY_THROW), cells);
}

void calculateDependents(const uno::Reference<lang::XComponent>& document,
                         const uno::Reference<table::XCellRange>& range)
{
    const uno::Reference<sheet::XSheetCellRanges> dependents =
        uno::Reference<sheet::XFormulaQuery>(range, uno::UNO_QUERY_THROW)->queryDependents(true);
    const uno::Reference<container::XIndexAccess> areas(dependents, uno::UNO_QUERY_THROW);
    std::vector<uno::Reference<table::XCellRange>> ranges;
    for (sal_Int32 i = 0; i < areas->getCount(); ++i)
        ranges.emplace_back(areas->getByIndex(i), uno::UNO_QUERY_THROW);
    readCalculated(uno::Reference<sheet::XCalculatable>(document, uno::UNO_QUERY_THROW), ranges);
}

void calculateRecompiledFormulas(const uno::Reference<lang::XComponent>& document, const QStringList& movedNames)
{
    if (!keepsSavedResults(document))
        return;
    const uno::Reference<sheet::XCalculatable> calculatable(document, uno::UNO_QUERY_THROW);
    const uno::Reference<sheet::XSpreadsheetDocument> spreadsheets(document, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XIndexAccess> sheets(spreadsheets->getSheets(), uno::UNO_QUERY_THROW);
    std::vector<uno::Reference<table::XCellRange>> recompiled;
    // The office's own search finds the few candidates, in one pass over every sheet; reading
    // every formula of a long sheet through the bridge cost more than half a second before each
    // save.
    const QMap<int, QVariantList> candidates =
        FormulaSearch::formulasMatchingInEverySheet(spreadsheets, recompiledPattern(movedNames));
    for (auto it = candidates.cbegin(); it != candidates.cend(); ++it) {
        const uno::Reference<sheet::XSpreadsheet> sheet(sheets->getByIndex(it.key()), uno::UNO_QUERY_THROW);
        for (const QVariant& found : it.value()) {
            const QVariantList cell = found.toList();
            const QString formula = cell.value(2).toString();
            if (!compiledAgain(formula, movedNames))
                continue;
            const int column = cell.value(1).toInt() - 1;
            const int row = cell.value(0).toInt() - 1;
            recompiled.push_back(sheet->getCellRangeByPosition(column, row, column, row));
            bracketTableKeywords(recompiled.back(), formula);
        }
    }
    readCalculated(calculatable, recompiled);
}

} // namespace SheetCalculation
