#pragma once
// Only the office server's own files include this header.

#include "automation/officedocuments.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/frame/XModel.hpp>

namespace OfficeNodes {

// While it lives, the document neither redraws nor fits row heights to their text: sheets deleted
// and brought back keep the heights they had.
class QuietDocument
{
public:
    explicit QuietDocument(const DocumentPtr& document);
    ~QuietDocument();
    QuietDocument(const QuietDocument&) = delete;
    QuietDocument& operator=(const QuietDocument&) = delete;

private:
    uno::Reference<frame::XModel> model;
    uno::Reference<beans::XPropertySet> settings;
    uno::Any adjustHeight;
};

} // namespace OfficeNodes
