#include "automation/automationregistry.h"

#include <QHash>

namespace {

QHash<QString, AutomationRegistry::Factory>& registeredServers()
{
    static QHash<QString, AutomationRegistry::Factory> servers;
    return servers;
}

QHash<QString, AutomationRegistry::Reason>& serverReasons()
{
    static QHash<QString, AutomationRegistry::Reason> reasons;
    return reasons;
}

} // namespace

void AutomationRegistry::registerServer(const QString& progId, Factory factory, Reason whyNot)
{
    registeredServers().insert(progId, std::move(factory));
    serverReasons().insert(progId, std::move(whyNot));
}

void AutomationRegistry::unregisterServer(const QString& progId)
{
    registeredServers().remove(progId);
    serverReasons().remove(progId);
}

QString AutomationRegistry::whyNotCreated(const QString& progId)
{
    const Reason reason = serverReasons().value(progId);
    return reason ? reason() : QString();
}

AutomationNodePtr AutomationRegistry::create(const QString& progId)
{
    const auto found = registeredServers().constFind(progId);
    if (found != registeredServers().constEnd())
        return (*found)();
    return nullptr;
}
