#pragma once
// Several sheets named at once, deleted together. Only the office server's own files include this
// header.

#include "automation/deletablenode.h"
#include "automation/officedocuments.h"

#include <QStringList>

namespace OfficeNodes {

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

} // namespace OfficeNodes
