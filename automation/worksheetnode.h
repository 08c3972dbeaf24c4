#pragma once
// One sheet: its cells, rows and columns, and its copy, move and deletion. Only the office
// server's own files include this header.

#include "automation/memberlessnode.h"
#include "automation/officedocuments.h"
#include "automation/rangenode.h"

#include <com/sun/star/table/XColumnRowRange.hpp>

namespace OfficeNodes {

class WorksheetNode : public MemberlessNode
{
public:
    WorksheetNode(DocumentPtr document, uno::Reference<sheet::XSpreadsheet> sheet);

    uno::Reference<sheet::XSpreadsheet> spreadsheet() const { return sheet; }

    AutomationNodePtr subObject(const QString& member, const QVariantList& args, AutomationError& error) override;
    QVariant call(const QString& member, const QVariantList& args, AutomationError& error) override;
    QVariant property(const QString& name, AutomationError& error) override;
    void setProperty(const QString& name, const QVariant& value, AutomationError& error) override;

private:
    AutomationNodePtr block(const uno::Reference<table::XCellRange>& range, RangeKind kind = RangeKind::Block,
                            int first = 0, int count = 0);
    int countOfSheetParts(const QString& member);
    AutomationNodePtr range(const QString& address);
    uno::Reference<table::XCellRange> wholeSheet(const uno::Reference<table::XColumnRowRange>& lines);
    AutomationNodePtr cells(const QVariantList& args, AutomationError& error);
    AutomationNodePtr columns(const QVariantList& args, AutomationError& error);
    AutomationNodePtr rows(const QVariantList& args, AutomationError& error);
    static std::shared_ptr<WorksheetNode> sheetArgument(const QVariant& before, const char* member,
                                                        AutomationError& error);
    QVariant copyBefore(const QVariant& sheetArg, bool placedAfter, AutomationError& error);
    QVariant importInto(const WorksheetNode& target, int position);
    QVariant moveBefore(const QVariant& before, AutomationError& error);
    QVariant remove();
    QVariantList writeColumnRuns(const QVariantList& runs);
    void calculateCells(const QVariantList& cells);

    DocumentPtr document;
    uno::Reference<sheet::XSpreadsheet> sheet;
};

} // namespace OfficeNodes
