#pragma once
// A document's place for the office (a URL) and the filter it was loaded with.

#include "automation/officeconnection.h"
#include "automation/officevalues.h"

#include <com/sun/star/lang/XComponent.hpp>

#include <QString>

namespace OfficeNodes {

using namespace officeuno;

QString pathToUrl(const QString& path);
// The office filter the document was loaded with ("MS Excel 97", "calc8"); empty for a new one.
QString loadFilterOf(const uno::Reference<lang::XComponent>& document);
QString urlToPath(const rtl::OUString& url);

} // namespace OfficeNodes
