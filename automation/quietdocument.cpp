#include "automation/quietdocument.h"

namespace OfficeNodes {

QuietDocument::QuietDocument(const DocumentPtr& document)
    : model(document->component, uno::UNO_QUERY_THROW),
      settings(model, uno::UNO_QUERY_THROW),
      adjustHeight(settings->getPropertyValue("IsAdjustHeightEnabled"))
{
    settings->setPropertyValue("IsAdjustHeightEnabled", uno::Any(false));
    model->lockControllers();
}

QuietDocument::~QuietDocument()
{
    try {
        model->unlockControllers();
        settings->setPropertyValue("IsAdjustHeightEnabled", adjustHeight);
    } catch (...) {
        // The office is gone; the next call says so.
    }
}

} // namespace OfficeNodes
