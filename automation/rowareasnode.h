#pragma once
// Only the office server's own files include this header.

#include "automation/deletablenode.h"
#include "automation/officedocuments.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/XTableRows.hpp>

#include <QList>

namespace OfficeNodes {

// Several row areas at once, as Excel's Range("3:5,8:9") names them: deleted in one call.
class RowAreasNode : public DeletableNode
{
public:
    RowAreasNode(DocumentPtr document, uno::Reference<sheet::XSpreadsheet> sheet, QList<QPair<int, int>> areas);

private:
    QVariant remove() override;
    static QVariantList rowLook(const uno::Reference<table::XTableRows>& rows, int index);
    static void matchRowsFromBelow(const uno::Reference<table::XTableRows>& rows, int rowCount, int removed,
                                   const QVariantList& lastRowLook);
    void restore(const uno::Reference<beans::XPropertySet>& settings, const uno::Any& undo,
                 const uno::Any& adjustHeight);

    DocumentPtr document;
    uno::Reference<frame::XModel> model;
    uno::Reference<sheet::XSpreadsheet> sheet;
    QList<QPair<int, int>> areas;
};

} // namespace OfficeNodes
