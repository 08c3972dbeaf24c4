#pragma once
// The two ways the toolbox reaches beyond itself: a web address opened in the desktop's browser
// and a downloaded program started. Tests switch on recording and read back what would have
// happened instead of opening browsers or running programs.

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

struct StartedProgram
{
    QString program;
    QStringList arguments;
};

class KivDesktopServices
{
public:
    // Only http and https addresses are opened; anything else (file:, javascript:, ...) from a
    // downloaded document is refused. False when refused.
    static bool openUrl(const QUrl& url);
    // Starts the program detached. On Linux a file that is not executable is handed to the
    // desktop's default handler instead, which applies its own rules to untrusted files.
    static void startProgram(const QString& program, const QStringList& arguments);

    static bool isWebAddress(const QUrl& url);

    // Tests: record instead of acting.
    static void setRecording(bool recording);
    static QList<QUrl> openedUrls();
    static QList<StartedProgram> startedPrograms();
    static void clearRecorded();
};
