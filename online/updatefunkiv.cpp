#include "online/updatefunkiv.h"

#include "common/dialogs.h"
#include "common/desktopservices.h"
#include "online/mydownloadmanager.h"
#include "common/pathutils.h"
#include "online/siteaddresses.h"
#include "online/xmlguard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QUrl>

namespace {

const char* const declinedVersionKey = "update/declinedVersionCode";

// The toolbox's settings: beside its data folder's name, in the platform's per-user place.
QString settingsOrganization()
{
    return QStringLiteral("DuZozodKiv");
}

QString settingsApplication()
{
    return QStringLiteral("KivExcel");
}

} // namespace

UpdateFunKiv::UpdateFunKiv(int currentVersionCode, const QString& updateUrl, const QString& saveDir)
    : currentVersionCode(currentVersionCode), webUrl(defaultHomePage())
{
    if (!updateDownloader) {
        updateDownloader = new MyDownloadManager;
        updateDownloader->setAutoDelete(true);
        updateDownloader->setRetryCount(10);
        updateDownloader->setContentCheck(&isSiteDocument);
        connect(updateDownloader, &MyDownloadManager::signalDownloadFinished, this, &UpdateFunKiv::updateKiv);
    }
    if (!QDir(saveDir).exists())
        QDir().mkpath(saveDir);
    updateDownloader->startDownload(saveDir, updateFileName, updateUrl);
}

UpdateFunKiv::~UpdateFunKiv()
{
    if (updateDownloader)
        updateDownloader->deleteLater();
}

void UpdateFunKiv::updateKiv(bool isSucceeded, QString msg, QString sdir, QString fname, QString url_s)
{
    Q_UNUSED(msg);
    Q_UNUSED(url_s);
    if (isSucceeded)
        readDocument(joinPath(sdir, fname));
    settled = true;
}

void UpdateFunKiv::readDocument(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray xml = file.readAll();
    file.close();
    UpdateDocument document{versionNow, versionCode, downUrl, webUrl};
    if (!readUpdateDocument(xml, document))
        return;
    versionNow = document.versionNow;
    versionCode = document.versionCode;
    downUrl = document.downUrl;
    // Only a web address is offered; anything else keeps the maker's home page.
    if (KivDesktopServices::isWebAddress(QUrl(document.webUrl, QUrl::TolerantMode)))
        webUrl = document.webUrl;
    if (currentVersionCode < versionCode && declinedVersionCode() < versionCode)
        offerNewVersion();
}

bool UpdateFunKiv::isSettled() const
{
    return settled;
}

int UpdateFunKiv::declinedVersionCode()
{
    const QSettings settings(settingsOrganization(), settingsApplication());
    return settings.value(QLatin1String(declinedVersionKey), 0).toInt();
}

void UpdateFunKiv::offerNewVersion()
{
    const QString informative =
        QCoreApplication::translate("UpdateFunKiv", "新版本为：%1\n是否现在就打开主页下载新版本？\n主页：%2")
            .arg(versionNow, webUrl);
    switch (KivMessageBox::confirmOrDismiss(QCoreApplication::translate("UpdateFunKiv", "发现新版本"), informative,
                                            QCoreApplication::translate("UpdateFunKiv", "不再提醒此版本"))) {
    case KivMessageBox::Choice::Ok:
        KivDesktopServices::openUrl(QUrl(webUrl, QUrl::TolerantMode));
        break;
    case KivMessageBox::Choice::Dismiss: {
        QSettings settings(settingsOrganization(), settingsApplication());
        settings.setValue(QLatin1String(declinedVersionKey), versionCode);
        break;
    }
    case KivMessageBox::Choice::Cancel:
        break;
    }
}

UpdateFunKiv* startUpdateCheck(int currentVersionCode)
{
    return new UpdateFunKiv(currentVersionCode, updateDocumentUrl(),
                            joinPath(localDataFolder(), QStringLiteral("duZozodKivUpdate/update")));
}
