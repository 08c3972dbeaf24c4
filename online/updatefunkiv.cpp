#include "online/updatefunkiv.h"

#include "common/dialogs.h"
#include "common/desktopservices.h"
#include "online/mydownloadmanager.h"
#include "common/pathutils.h"
#include "online/siteaddresses.h"

#include <QDir>
#include <QFile>
#include <QUrl>

UpdateFunKiv::UpdateFunKiv(int currentVersionCode, const QString& updateUrl, const QString& saveDir)
    : currentVersionCode(currentVersionCode), webUrl(defaultHomePage())
{
    if (!updateDownloader) {
        updateDownloader = new MyDownloadManager;
        updateDownloader->setAutoDelete(true);
        updateDownloader->setRetryCount(10);
        connect(updateDownloader, &MyDownloadManager::signalDownloadFinished, this,
                &UpdateFunKiv::updateKiv);
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

void UpdateFunKiv::updateKiv(bool isSucceeded, QString msg, QString sdir, QString fname,
                             QString url_s)
{
    Q_UNUSED(msg);
    Q_UNUSED(url_s);
    if (!isSucceeded)
        return;
    QFile file(joinPath(sdir, fname));
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
    if (currentVersionCode < versionCode)
        offerNewVersion();
}

void UpdateFunKiv::offerNewVersion()
{
    const QString informative = QStringLiteral("新版本为：") + versionNow
        + QStringLiteral("\n是否现在就打开主页下载新版本？\n主页：") + webUrl;
    if (KivMessageBox::confirm(QStringLiteral("发现新版本"), informative))
        KivDesktopServices::openUrl(QUrl(webUrl, QUrl::TolerantMode));
}

UpdateFunKiv* startUpdateCheck(int currentVersionCode)
{
    return new UpdateFunKiv(currentVersionCode, updateDocumentUrl(),
                            joinPath(localDataFolder(), QStringLiteral("duZozodKivUpdate/update")));
}
