#pragma once
// Calls into the office for the office server's nodes: no exception leaves one, a failure becomes
// an AutomationError. Only the office server's own files include this header.

#include "automation/automationnode.h"
#include "automation/officeconnection.h"
#include "automation/officevalues.h"

#include <com/sun/star/lang/DisposedException.hpp>

#include <QString>
#include <exception>

namespace OfficeNodes {

using namespace officeuno;
using rtl::OUString;

// Calls into the office never throw out of the office server: a failure becomes an AutomationError.
template <typename Result, typename Call>
Result guarded(AutomationError& error, Call&& call)
{
    const OfficeConnection::CallGuard watched;
    try {
        return call();
    } catch (const lang::DisposedException& e) {
        OfficeConnection::instance().markDead();
        error.description = QStringLiteral("The office is gone: ") + fromOUString(e.Message);
    } catch (const uno::Exception& e) {
        error.description = QStringLiteral("Office call failed: ") + fromOUString(e.Message);
        if (!OfficeConnection::instance().isAlive())
            OfficeConnection::instance().markDead();
    } catch (const std::exception& e) {
        error.description = QStringLiteral("Office call failed: ") + QString::fromLocal8Bit(e.what());
    } catch (...) {
        error.description = QStringLiteral("Office call failed");
    }
    if (OfficeConnection::instance().endedForNotAnswering()) {
        OfficeConnection::instance().markDead();
        error.description = QStringLiteral("The office stopped answering and was ended");
    }
    return Result();
}

void fail(AutomationError& error, const QString& description);
void unknownMember(AutomationError& error, const QString& member);

} // namespace OfficeNodes
