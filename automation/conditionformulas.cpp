#include "automation/conditionformulas.h"

#include "automation/officevalues.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/ConditionEntryType.hpp>
#include <com/sun/star/sheet/XConditionEntry.hpp>
#include <com/sun/star/sheet/XConditionalFormat.hpp>
#include <com/sun/star/sheet/XConditionalFormats.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>

#include <limits>

namespace OfficeNodes {

namespace {

uno::Sequence<uno::Reference<sheet::XConditionalFormat>> formatsOf(const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    uno::Reference<sheet::XConditionalFormats> formats(
        uno::Reference<beans::XPropertySet>(sheet, uno::UNO_QUERY_THROW)->getPropertyValue("ConditionalFormats"),
        uno::UNO_QUERY);
    return formats.is() ? formats->getConditionalFormats() : uno::Sequence<uno::Reference<sheet::XConditionalFormat>>();
}

uno::Reference<beans::XPropertySet> ruleWithFormulas(const uno::Reference<sheet::XConditionalFormat>& format, int rule)
{
    uno::Reference<sheet::XConditionEntry> entry(format->getByIndex(rule), uno::UNO_QUERY);
    if (!entry.is() || entry->getType() != sheet::ConditionEntryType::CONDITION)
        return {};
    return uno::Reference<beans::XPropertySet>(entry, uno::UNO_QUERY);
}

QVariantList blocksOf(const uno::Reference<sheet::XConditionalFormat>& format, int& anchorRow, int& anchorColumn)
{
    uno::Reference<sheet::XSheetCellRanges> cells(
        uno::Reference<beans::XPropertySet>(format, uno::UNO_QUERY_THROW)->getPropertyValue("Range"), uno::UNO_QUERY);
    QVariantList blocks;
    anchorRow = anchorColumn = std::numeric_limits<int>::max();
    if (!cells.is())
        return blocks;
    for (const table::CellRangeAddress& block : cells->getRangeAddresses()) {
        blocks.append(QVariant(QVariantList{int(block.StartRow) + 1, int(block.EndRow) + 1, int(block.StartColumn) + 1,
                                            int(block.EndColumn) + 1}));
        anchorRow = qMin(anchorRow, int(block.StartRow) + 1);
        anchorColumn = qMin(anchorColumn, int(block.StartColumn) + 1);
    }
    return blocks;
}

} // namespace

QVariantList readConditionFormats(const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    QVariantList result;
    for (const uno::Reference<sheet::XConditionalFormat>& format : formatsOf(sheet)) {
        int anchorRow = 0;
        int anchorColumn = 0;
        const QVariantList blocks = blocksOf(format, anchorRow, anchorColumn);
        QVariantList rules;
        for (int rule = 0; rule < format->getCount(); ++rule) {
            const uno::Reference<beans::XPropertySet> entry = ruleWithFormulas(format, rule);
            if (!entry.is()) {
                rules.append(QVariant());
                continue;
            }
            rules.append(
                QVariant(QVariantList{fromOUString(entry->getPropertyValue("Formula1").get<rtl::OUString>()),
                                      fromOUString(entry->getPropertyValue("Formula2").get<rtl::OUString>())}));
        }
        result.append(QVariant(QVariantList{anchorRow, anchorColumn, blocks, rules}));
    }
    return result;
}

void writeConditionFormulas(const uno::Reference<sheet::XSpreadsheet>& sheet, int format, const QVariantList& formulas)
{
    const uno::Sequence<uno::Reference<sheet::XConditionalFormat>> formats = formatsOf(sheet);
    if (format < 0 || format >= formats.getLength())
        throw uno::RuntimeException("No conditional format at that position");
    const uno::Reference<sheet::XConditionalFormat>& written = formats[format];
    for (int rule = 0; rule < formulas.size() && rule < written->getCount(); ++rule) {
        const uno::Reference<beans::XPropertySet> entry = ruleWithFormulas(written, rule);
        const QVariantList texts = formulas.at(rule).toList();
        if (!entry.is() || texts.size() != 2)
            continue;
        const rtl::OUString names[] = {"Formula1", "Formula2"};
        for (int f = 0; f < 2; ++f)
            if (fromOUString(entry->getPropertyValue(names[f]).get<rtl::OUString>()) != texts.at(f).toString())
                entry->setPropertyValue(names[f], uno::Any(toOUString(texts.at(f).toString())));
    }
}

} // namespace OfficeNodes
