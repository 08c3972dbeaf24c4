#pragma once
// Messages a lower layer must show the user in its own words. The windows show them as message
// boxes, the command line prints them; the texts are the same.

#include <QString>
#include <functional>

enum class NoticeKind { Information, Warning, Failure };

using NoticeHandler = std::function<void(const QString& text, NoticeKind kind)>;

// Shows the text through the current handler (a message box unless the front end chose another).
void showNotice(const QString& text, NoticeKind kind = NoticeKind::Warning);
// Installs a handler and returns the one it replaces; an empty handler restores message boxes.
NoticeHandler setNoticeHandler(NoticeHandler handler);
