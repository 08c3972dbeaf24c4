#pragma once
// Only the office server's own files include this header.

#include "automation/memberlessnode.h"

namespace OfficeNodes {

// A collection asked only for its "Count".
class CountNode : public MemberlessNode
{
public:
    explicit CountNode(int count) : count(count) {}

    QVariant property(const QString& name, AutomationError& error) override
    {
        if (name == QLatin1String("Count"))
            return count;
        unknownMember(error, name);
        return QVariant();
    }

private:
    int count;
};

} // namespace OfficeNodes
