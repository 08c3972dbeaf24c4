#include "automation/sortfollowsreferences.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>

namespace OfficeNodes {

namespace {

const char kSetting[] = "UpdateReferenceOnSort";

} // namespace

SortFollowsReferences::SortFollowsReferences()
{
    const uno::Reference<lang::XMultiServiceFactory> provider =
        configuration::theDefaultProvider::get(OfficeConnection::instance().context());
    uno::Sequence<uno::Any> node(1);
    node.getArray()[0] <<= beans::NamedValue("nodepath", uno::Any(rtl::OUString("/org.openoffice.Office.Calc/Input")));
    input.set(provider->createInstanceWithArguments("com.sun.star.configuration.ConfigurationUpdateAccess", node),
              uno::UNO_QUERY_THROW);
    input->getByName(kSetting) >>= before;
    if (!before)
        set(true);
}

SortFollowsReferences::~SortFollowsReferences()
{
    try {
        if (!before)
            set(false);
    } catch (const uno::Exception&) {
        // The office is gone; a new one starts with its own settings.
    }
}

void SortFollowsReferences::set(bool follow)
{
    input->replaceByName(kSetting, uno::Any(follow));
    uno::Reference<util::XChangesBatch>(input, uno::UNO_QUERY_THROW)->commitChanges();
}

} // namespace OfficeNodes
