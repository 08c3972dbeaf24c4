#include "common/busycursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

int busyDepth = 0;

bool hasWindowSystem()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

BusyCursor::BusyCursor() : shown(hasWindowSystem())
{
    if (!shown)
        return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ++busyDepth;
}

BusyCursor::~BusyCursor()
{
    if (!shown)
        return;
    QGuiApplication::restoreOverrideCursor();
    --busyDepth;
}

int BusyCursor::depth()
{
    return busyDepth;
}

NormalCursor::NormalCursor() : shown(hasWindowSystem() && QGuiApplication::overrideCursor())
{
    if (shown)
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
}

NormalCursor::~NormalCursor()
{
    if (shown)
        QGuiApplication::restoreOverrideCursor();
}
