#pragma once
// Ranges: a cell, a block, whole columns or whole rows of a sheet. Only the office server's own
// files include this header.

#include "automation/memberlessnode.h"
#include "automation/officedocuments.h"

#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/XCellRange.hpp>

namespace OfficeNodes {

enum class RangeKind { Cell, Block, Columns, Rows };

class RangeNode : public MemberlessNode
{
public:
    RangeNode(DocumentPtr document, uno::Reference<sheet::XSpreadsheet> sheet, RangeKind kind,
              uno::Reference<table::XCellRange> range, int first, int count);

    AutomationNodePtr subObject(const QString& member, const QVariantList& args, AutomationError& error) override;

    const uno::Reference<table::XCellRange>& cellRange() const { return range; }

    QVariant call(const QString& member, const QVariantList& args, AutomationError& error) override;
    QVariant property(const QString& name, AutomationError& error) override;
    void setProperty(const QString& name, const QVariant& value, AutomationError& error) override;

private:
    QVariant readValue();
    bool writeValue(const QVariant& value);
    QVariant changeLines(bool insert, AutomationError& error);
    QVariant copyTo(const QVariant& destination, AutomationError& error);
    QVariant autoFilter(int field);
    QVariant sortRows(const QVariantList& args, AutomationError& error);
    QVariant sortByKeys(const QVariantList& keys, AutomationError& error);
    void sortBlock(const uno::Reference<table::XCellRange>& block, int field, bool ascending);
    bool hasFormula();
    QVariant commonRowHeight();
    QVariant formulas();
    int countOf();
    table::CellRangeAddress rangeAddress();
    // Gives the rows from the range's first the looks (see writeRowLooks).
    void restoreRowLooks(const QVariantList& looks, const QVariantList& now);

    DocumentPtr document;
    uno::Reference<sheet::XSpreadsheet> sheet;
    RangeKind kind;
    uno::Reference<table::XCellRange> range;
    int first; // 0-based first column or row of whole-line ranges
    int count;
};

} // namespace OfficeNodes
