#pragma once
// Sheets: one sheet, a group of sheets named at once, and the workbook's "Worksheets". Only the
// office server's own files include this header.

#include "automation/basenodes.h"
#include "automation/officedocuments.h"
#include "automation/rangenode.h"

#include <com/sun/star/table/XColumnRowRange.hpp>

#include <QStringList>

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

    DocumentPtr document;
    uno::Reference<sheet::XSpreadsheet> sheet;
};

// Several sheets at once, as Excel's Sheets(Array(...)) names them. Their deletion is one step
// the workbook's "Undo" takes back whole: either every sheet goes, or none does.
class SheetGroupNode : public DeletableNode
{
public:
    SheetGroupNode(DocumentPtr document, QStringList names) : document(std::move(document)), names(std::move(names)) {}

    // "DeleteForGood": deleted with no way back and without the copies an undo needs, which cost
    // the office more than the deletion itself; every step recorded for "Undo" is dropped too.
    // A failure leaves the sheets deleted so far deleted.
    QVariant call(const QString& member, const QVariantList& args, AutomationError& error) override;

private:
    QVariant removeForGood();
    QList<QPair<int, OUString>> lastFirst() const;
    QVariant remove() override;

    DocumentPtr document;
    QStringList names;
};

// The workbook's "Worksheets" collection.
class WorksheetsNode : public MemberlessNode
{
public:
    explicit WorksheetsNode(DocumentPtr document) : document(std::move(document)) {}

    AutomationNodePtr subObject(const QString& member, const QVariantList&, AutomationError& error) override;
    QVariant property(const QString& name, AutomationError& error) override;

private:
    DocumentPtr document;
};

} // namespace OfficeNodes
