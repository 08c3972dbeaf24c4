#include "automation/officeentry.h"

#include "automation/applicationnode.h"
#include "automation/automationregistry.h"
#include "automation/officeconnection.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

#include <QtGlobal>
#include <chrono>
#include <csignal>

using namespace officeuno;

namespace OfficeServer {
AutomationNodePtr createApplication()
{
    if (!OfficeConnection::instance().desktop().is())
        return nullptr;
    return std::make_shared<OfficeNodes::ApplicationNode>();
}

void setCallTimeout(int seconds)
{
    OfficeConnection::instance().setCallTimeout(std::chrono::seconds(qMax(1, seconds)));
}

void setCallTimeoutMillisecondsForTests(int milliseconds)
{
    OfficeConnection::instance().setCallTimeout(std::chrono::milliseconds(milliseconds));
}

pid_t officeProcessForTests()
{
    return OfficeConnection::instance().processId();
}

QList<bool> undoOfOpenWorkbooksForTests()
{
    QList<bool> undo;
    const uno::Reference<frame::XDesktop2> desktop = OfficeConnection::instance().desktop();
    if (!desktop.is())
        return undo;
    try {
        OfficeConnection::CallGuard guard;
        const uno::Reference<container::XEnumeration> components = desktop->getComponents()->createEnumeration();
        while (components->hasMoreElements()) {
            const uno::Reference<beans::XPropertySet> settings(components->nextElement(), uno::UNO_QUERY);
            if (!uno::Reference<sheet::XSpreadsheetDocument>(settings, uno::UNO_QUERY).is())
                continue;
            bool enabled = false;
            settings->getPropertyValue("IsUndoEnabled") >>= enabled;
            undo.append(enabled);
        }
    } catch (const uno::Exception&) {}
    return undo;
}

void registerAsExcel()
{
    AutomationRegistry::registerServer(QStringLiteral("Excel.Application"), createApplication,
                                       [] { return OfficeConnection::instance().lastStartFailure(); });
}

void killOfficeForTests()
{
    const pid_t pid = OfficeConnection::instance().processId();
    if (pid > 0)
        killpg(pid, SIGKILL);
}

} // namespace OfficeServer
