#include "common/pathutils.h"

#include "common/desktopservices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <sys/stat.h>

QString joinPath(const QString& first, const QString& second)
{
    if (first.endsWith(QLatin1Char('\\')) || first.endsWith(QLatin1Char('/')))
        return first + second;
    const QChar separator = first.contains(QLatin1Char('\\')) ? QLatin1Char('\\') : QLatin1Char('/');
    return first + separator + second;
}

QString userProfileFolder()
{
    return QProcessEnvironment::systemEnvironment().value(QStringLiteral("USERPROFILE"), QString());
}

QString localDataFolder()
{
#ifdef Q_OS_WIN
    return joinPath(userProfileFolder(), QStringLiteral("Local Settings\\Application Data\\DuZozodKiv"));
#else
    // Backslashes are no separators here, and there is no USERPROFILE: use the user's own data
    // area so caches never land at the file-system root.
    QString dataHome = QProcessEnvironment::systemEnvironment().value(QStringLiteral("XDG_DATA_HOME"));
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return joinPath(QDir::cleanPath(dataHome), QStringLiteral("DuZozodKiv"));
#endif
}

QString sanitizeFileName(const QString& text)
{
    static const QList<QPair<QString, QString>> replacements = {
        {QStringLiteral("\\"), QStringLiteral(" ")}, {QStringLiteral("/"), QStringLiteral(" ")},
        {QStringLiteral(":"), QStringLiteral("：")}, {QStringLiteral("*"), QStringLiteral(" ")},
        {QStringLiteral("?"), QStringLiteral("？")}, {QStringLiteral("\""), QStringLiteral("“")},
        {QStringLiteral("<"), QStringLiteral("《")}, {QStringLiteral(">"), QStringLiteral("》")},
        {QStringLiteral("|"), QStringLiteral(" ")},
    };
    QString name = text.trimmed();
    for (const auto& replacement : replacements)
        name.replace(replacement.first, replacement.second, Qt::CaseSensitive);
    return name;
}

bool launchProgram(const QString& path)
{
    QStringList arguments = QProcess::splitCommand(QLatin1Char('"') + path + QLatin1Char('"'));
    if (!arguments.isEmpty()) {
        const QString program = arguments.takeFirst();
        KivDesktopServices::startProgram(program, arguments);
    }
    return true;
}

bool isSameExistingFile(const QString& first, const QString& second)
{
    const QFileInfo firstInfo(first);
    const QFileInfo secondInfo(second);
    if (!firstInfo.exists() || !secondInfo.exists())
        return false;
    if (firstInfo.canonicalFilePath() == secondInfo.canonicalFilePath())
        return true;
    struct stat firstStat
    {};
    struct stat secondStat
    {};
    const QByteArray firstName = QFile::encodeName(first);
    const QByteArray secondName = QFile::encodeName(second);
    return stat(firstName.constData(), &firstStat) == 0 && stat(secondName.constData(), &secondStat) == 0
           && firstStat.st_dev == secondStat.st_dev && firstStat.st_ino == secondStat.st_ino;
}
