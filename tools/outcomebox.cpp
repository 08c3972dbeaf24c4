#include "tools/outcomebox.h"

#include "common/dialogs.h"

void showOutcome(const JobOutcome& outcome, QWidget* window)
{
    for (const QString& message : outcome.messages)
        KivMessageBox::inform(message, noticeKindOf(outcome.kind), window);
}
