#include "app/windowsversion.h"

#include <QSysInfo>

namespace {

std::optional<WindowsRelease>& overriddenRelease()
{
    static std::optional<WindowsRelease> release;
    return release;
}

} // namespace

WindowsRelease runningWindowsRelease()
{
    if (overriddenRelease())
        return *overriddenRelease();
#ifdef Q_OS_WIN
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    if (QSysInfo::windowsVersion() == QSysInfo::WV_WINDOWS10)
        return WindowsRelease::Windows10;
    QT_WARNING_POP
#endif
    return WindowsRelease::NotWindows10;
}

void overrideWindowsReleaseForTests(std::optional<WindowsRelease> release)
{
    overriddenRelease() = release;
}
