#pragma once
// Calls into the office and the conversions around them, for the office server's nodes. Only the
// office server's own files include this header.

#include "automation/automationserver.h"
#include "automation/officeconnection.h"
#include "automation/officevalues.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

#include <QPair>
#include <QString>
#include <exception>
#include <initializer_list>

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

QString pathToUrl(const QString& path);
// The office filter the document was loaded with ("MS Excel 97", "calc8"); empty for a new one.
QString loadFilterOf(const uno::Reference<lang::XComponent>& document);
QString urlToPath(const OUString& url);

beans::PropertyValue propertyValue(const char* name, const uno::Any& value);
uno::Sequence<beans::PropertyValue> propertyValues(std::initializer_list<beans::PropertyValue> values);

uno::Reference<container::XIndexAccess> sheetIndex(const uno::Reference<sheet::XSpreadsheetDocument>& document);
int sheetPosition(const uno::Reference<sheet::XSpreadsheet>& sheet);
QString sheetName(const uno::Reference<sheet::XSpreadsheet>& sheet);

// The used area of a sheet from A1, as (last column, last row), 0-based.
QPair<int, int> usedAreaEnd(const uno::Reference<sheet::XSpreadsheet>& sheet);

// "3:5" -> (3, 5); "7" -> (7, 7); 1-based. (0, 0) when it does not read.
QPair<int, int> parseRowSpan(const QString& text);

} // namespace OfficeNodes
