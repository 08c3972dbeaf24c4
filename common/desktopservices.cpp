#include "common/desktopservices.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace {

struct DesktopRecord
{
    bool recording = false;
    QList<QUrl> openedUrls;
    QList<StartedProgram> startedPrograms;
};

DesktopRecord& desktopRecord()
{
    static DesktopRecord record;
    return record;
}

} // namespace

bool KivDesktopServices::isWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
           && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool KivDesktopServices::openUrl(const QUrl& url)
{
    if (!isWebAddress(url))
        return false;
    DesktopRecord& record = desktopRecord();
    if (record.recording) {
        record.openedUrls.append(url);
        return true;
    }
    return QDesktopServices::openUrl(url);
}

void KivDesktopServices::startProgram(const QString& program, const QStringList& arguments)
{
    DesktopRecord& record = desktopRecord();
    if (record.recording) {
        record.startedPrograms.append({program, arguments});
        return;
    }
#ifndef Q_OS_WIN
    // The toolbox never marks downloads executable; such a file goes to the desktop, which
    // opens it the way a double click in the file manager would.
    if (!QFileInfo(program).isExecutable()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(program));
        return;
    }
#endif
    QProcess::startDetached(program, arguments);
}

void KivDesktopServices::setRecording(bool recording)
{
    desktopRecord().recording = recording;
}

QList<QUrl> KivDesktopServices::openedUrls()
{
    return desktopRecord().openedUrls;
}

QList<StartedProgram> KivDesktopServices::startedPrograms()
{
    return desktopRecord().startedPrograms;
}

void KivDesktopServices::clearRecorded()
{
    desktopRecord().openedUrls.clear();
    desktopRecord().startedPrograms.clear();
}
