#pragma once
// The workbook's "Worksheets". Only the office server's own files include this header.

#include "automation/memberlessnode.h"
#include "automation/officedocuments.h"

namespace OfficeNodes {

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
