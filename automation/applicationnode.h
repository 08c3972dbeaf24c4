#pragma once
// The application object behind "Excel.Application", with its "Workbooks". Only the office
// server's own files include this header.

#include "automation/memberlessnode.h"
#include "automation/officedocuments.h"

namespace OfficeNodes {

class ApplicationNode : public MemberlessNode
{
public:
    ApplicationNode();
    ~ApplicationNode() override;

    AutomationNodePtr subObject(const QString& member, const QVariantList&, AutomationError& error) override;
    QVariant property(const QString& name, AutomationError& error) override;
    void setProperty(const QString& name, const QVariant& value, AutomationError& error) override;

private:
    ApplicationPtr application;
};

} // namespace OfficeNodes
