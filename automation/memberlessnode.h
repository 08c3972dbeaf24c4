#pragma once
// The base of the office server's nodes. Only the office server's own files include this header.

#include "automation/guardedcalls.h"

namespace OfficeNodes {

// A node that has no member; the nodes below answer those they have.
class MemberlessNode : public AutomationNode
{
public:
    AutomationNodePtr subObject(const QString& member, const QVariantList&, AutomationError& error) override
    {
        unknownMember(error, member);
        return nullptr;
    }

    QVariant call(const QString& member, const QVariantList&, AutomationError& error) override
    {
        unknownMember(error, member);
        return QVariant();
    }

    QVariant property(const QString& name, AutomationError& error) override
    {
        unknownMember(error, name);
        return QVariant();
    }

    void setProperty(const QString& name, const QVariant&, AutomationError& error) override
    {
        unknownMember(error, name);
    }
};

} // namespace OfficeNodes
