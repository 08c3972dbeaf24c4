#include "automation/automationnode.h"

AutomationNode::~AutomationNode() = default;

QString automationMemberName(const char* prototype)
{
    QString name = QString::fromLatin1(prototype);
    const int bracket = name.indexOf(QLatin1Char('('));
    if (bracket >= 0)
        name.truncate(bracket);
    return name.trimmed();
}
