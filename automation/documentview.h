#pragma once
// A loaded document's view, shown so that a store writes it. The office writes frozen panes, the
// zoom, grid lines and the active sheet only from a view it shows: the .xlsx export from the
// current view, the .ods export from views of visible frames. A document loaded hidden has a view
// nobody sees, so without this its view settings are dropped. Only the office server includes
// this header.

#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

namespace DocumentView {

// Once per office start: the formula bar and sidebar are never built. The office lacks their
// dialog files and aborts when a shown view builds them.
void keepChildWindowsHidden(const ::com::sun::star::uno::Reference<::com::sun::star::uno::XComponentContext>& context);

// Whether the office writes back the views the document was loaded with instead of a shown
// view's: an .xls loaded as one. A shown view there would add an empty sheet for every sheet code
// name the file had beyond the sheets it now holds.
bool keepsLoadedViews(const ::com::sun::star::uno::Reference<::com::sun::star::lang::XComponent>& document);

// While it lives, the document's frame is shown, without tool bars or menus, as the current view,
// so that a store writes this document's view settings and no other document's. Hidden again
// afterwards: a shown view redraws its sheet tabs at every sheet added or taken away, which
// makes a run over many sheets grow with their square.
class ShownForStore
{
public:
    explicit ShownForStore(const ::com::sun::star::uno::Reference<::com::sun::star::lang::XComponent>& document);
    ~ShownForStore();
    ShownForStore(const ShownForStore&) = delete;
    ShownForStore& operator=(const ShownForStore&) = delete;

private:
    ::com::sun::star::uno::Reference<::com::sun::star::awt::XWindow> window;
};

// The view's settings by sheet position (panes, zoom, the active sheet), and putting them back:
// sheets an undo brings back come with a plain view otherwise. Grid lines are not among them.
::com::sun::star::uno::Any settingsOf(
    const ::com::sun::star::uno::Reference<::com::sun::star::lang::XComponent>& document);
void restoreSettings(const ::com::sun::star::uno::Reference<::com::sun::star::lang::XComponent>& document,
                     const ::com::sun::star::uno::Any& settings);

} // namespace DocumentView
