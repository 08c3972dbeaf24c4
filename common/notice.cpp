#include "common/notice.h"

#include "common/dialogs.h"

namespace {

NoticeHandler& currentHandler()
{
    static NoticeHandler handler;
    return handler;
}

} // namespace

void showNotice(const QString& text, NoticeKind kind)
{
    if (currentHandler())
        currentHandler()(text, kind);
    else
        KivMessageBox::inform(text, kind);
}

NoticeHandler setNoticeHandler(NoticeHandler handler)
{
    NoticeHandler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}
