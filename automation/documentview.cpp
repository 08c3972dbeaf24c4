#include "automation/documentview.h"

#include "automation/documentpaths.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XLayoutManager.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XSingleServiceFactory.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <com/sun/star/util/XFlushable.hpp>

using namespace ::com::sun::star;
using rtl::OUString;

namespace DocumentView {

namespace {

// Calc's formula bar and sidebar, as the office names their child windows.
constexpr const char* kChildWindows[] = {"scalc/26100", "scalc/10336"};

void hideChildWindow(const uno::Reference<container::XNameContainer>& windows, const OUString& name)
{
    uno::Reference<beans::XPropertySet> window;
    if (windows->hasByName(name)) {
        window.set(windows->getByName(name), uno::UNO_QUERY_THROW);
    } else {
        // A set's elements are made by the set itself, through an interface marked deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        window.set(uno::Reference<lang::XSingleServiceFactory>(windows, uno::UNO_QUERY_THROW)->createInstance(),
                   uno::UNO_QUERY_THROW);
#pragma GCC diagnostic pop
        windows->insertByName(name, uno::Any(window));
    }
    window->setPropertyValue("Visible", uno::Any(false));
    // What the window restores itself from: hidden, no size.
    const uno::Reference<container::XNameContainer> userData(window->getPropertyValue("UserData"),
                                                             uno::UNO_QUERY_THROW);
    const uno::Any hidden(OUString("V2,H,0"));
    if (userData->hasByName("Data"))
        userData->replaceByName("Data", hidden);
    else
        userData->insertByName("Data", hidden);
}

uno::Reference<frame::XController> controllerOf(const uno::Reference<lang::XComponent>& document)
{
    const uno::Reference<frame::XModel> model(document, uno::UNO_QUERY);
    return model.is() ? model->getCurrentController() : nullptr;
}

uno::Reference<frame::XFrame> frameOf(const uno::Reference<lang::XComponent>& document)
{
    const uno::Reference<frame::XController> controller = controllerOf(document);
    return controller.is() ? controller->getFrame() : nullptr;
}

} // namespace

void keepChildWindowsHidden(const uno::Reference<uno::XComponentContext>& context)
{
    const uno::Reference<lang::XMultiServiceFactory> provider = configuration::theDefaultProvider::get(context);
    uno::Sequence<uno::Any> node(1);
    node.getArray()[0] <<= beans::NamedValue("nodepath", uno::Any(OUString("/org.openoffice.Office.Views/Windows")));
    const uno::Reference<container::XNameContainer> windows(
        provider->createInstanceWithArguments("com.sun.star.configuration.ConfigurationUpdateAccess", node),
        uno::UNO_QUERY_THROW);
    for (const char* name : kChildWindows)
        hideChildWindow(windows, OUString::createFromAscii(name));
    uno::Reference<util::XChangesBatch>(windows, uno::UNO_QUERY_THROW)->commitChanges();
    const uno::Reference<util::XFlushable> flushable(provider, uno::UNO_QUERY);
    if (flushable.is())
        flushable->flush();
}

bool keepsLoadedViews(const uno::Reference<lang::XComponent>& document)
{
    return OfficeNodes::loadFilterOf(document) == QLatin1String("MS Excel 97");
}

ShownForStore::ShownForStore(const uno::Reference<lang::XComponent>& document)
{
    const uno::Reference<frame::XFrame> frame = frameOf(document);
    if (!frame.is())
        return;
    window = frame->getContainerWindow();
    if (!window.is())
        return;
    // No tool bars or menus: building them needs dialog files the office lacks.
    uno::Reference<frame::XLayoutManager> layout;
    uno::Reference<beans::XPropertySet>(frame, uno::UNO_QUERY_THROW)->getPropertyValue("LayoutManager") >>= layout;
    if (layout.is() && layout->isVisible()) {
        layout->setVisible(false);
        layout->lock();
    }
    window->setVisible(true);
    frame->activate();
}

ShownForStore::~ShownForStore()
{
    try {
        if (window.is())
            window->setVisible(false);
    } catch (...) {
        // The office is gone; the next call says so.
    }
}

uno::Any settingsOf(const uno::Reference<lang::XComponent>& document)
{
    const uno::Reference<frame::XController> controller = controllerOf(document);
    return controller.is() ? controller->getViewData() : uno::Any();
}

void restoreSettings(const uno::Reference<lang::XComponent>& document, const uno::Any& settings)
{
    const uno::Reference<frame::XController> controller = controllerOf(document);
    if (controller.is() && settings.hasValue())
        controller->restoreViewData(settings);
}

} // namespace DocumentView
