#pragma once
// Only the office server's own files include this header.

#include "automation/memberlessnode.h"

namespace OfficeNodes {

// A node whose one member is "Delete".
class DeletableNode : public MemberlessNode
{
public:
    QVariant call(const QString& member, const QVariantList&, AutomationError& error) override
    {
        if (member == QLatin1String("Delete"))
            return guarded<QVariant>(error, [&] { return remove(); });
        unknownMember(error, member);
        return QVariant();
    }

protected:
    virtual QVariant remove() = 0;
};

} // namespace OfficeNodes
