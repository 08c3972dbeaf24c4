#include "automation/guardedcalls.h"

namespace OfficeNodes {

void fail(AutomationError& error, const QString& description)
{
    error.description = description;
}

void unknownMember(AutomationError& error, const QString& member)
{
    fail(error, QStringLiteral("Unknown member: ") + member);
}

} // namespace OfficeNodes
