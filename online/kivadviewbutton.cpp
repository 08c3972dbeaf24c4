#include "online/kivadviewbutton.h"

#include "common/desktopservices.h"
#include "common/dialogs.h"
#include "online/mydownloadmanager.h"
#include "common/pathutils.h"
#include "online/siteaddresses.h"
#include "online/xmlguard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QTimer>
#include <QUrl>

namespace {

const QString listFileName = QStringLiteral("ad.xml");
// Larger pictures would need hundreds of megabytes per frame; a banner is 150 x 100.
const qint64 largestPicturePixels = 4096 * 4096;

QUrl tolerantUrl(const QString& text)
{
    return QUrl::fromEncoded(text.toLocal8Bit(), QUrl::TolerantMode);
}

bool isWebAddressText(const QString& text)
{
    return KivDesktopServices::isWebAddress(tolerantUrl(text));
}

QString placeholderText(const KivAdInfo& entry)
{
    return QCoreApplication::translate("KivAdViewButton", "%1\n图片加载中。。").arg(entry.nameTmp);
}

QString titleOf(const KivAdInfo& entry)
{
    return entry.nameTmp.isEmpty() ? entry.name : entry.nameTmp;
}

bool isLoopbackHost(const QString& host)
{
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
}

bool isShowablePicture(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    const QSize size = QImageReader(path).size();
    return !size.isValid() || qint64(size.width()) * size.height() <= largestPicturePixels;
}

QList<KivAdInfo> entriesSafeForCache(const QList<KivAdInfo>& entries)
{
    QList<KivAdInfo> safe;
    for (const KivAdInfo& entry : entries) {
        if (KivAdViewButton::isPlainFileName(entry.name) && KivAdViewButton::isPlainFileName(entry.logoName))
            safe.append(entry);
    }
    return safe;
}

} // namespace

KivAdViewButton::KivAdViewButton(QAbstractButton* button) : button(button) {}

KivAdViewButton::~KivAdViewButton()
{
    movie.stop();
    movie.setFileName(QString());
    if (listDownloader) {
        listDownloader->disconnect(this);
        listDownloader->deleteLater();
    }
}

void KivAdViewButton::setListUrl(const QString& url)
{
    listUrl = url;
}

void KivAdViewButton::setSaveDir(const QString& dir)
{
    saveDir = dir;
}

void KivAdViewButton::setListRetryPause(int firstMs, int longestMs)
{
    firstListRetryPause = qMax(0, firstMs);
    longestListRetryPause = qMax(firstListRetryPause, longestMs);
    nextListRetryPause = firstListRetryPause;
}

bool KivAdViewButton::isPlainFileName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1String("..")) && !name.contains(QLatin1Char('/'))
           && !name.contains(QLatin1Char('\\')) && !name.contains(QLatin1Char(':')) && !name.contains(QChar(0))
           && !QDir::isAbsolutePath(name);
}

bool KivAdViewButton::isTrustedProgramAddress(const QUrl& url)
{
    if (!KivDesktopServices::isWebAddress(url))
        return false;
    if (url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0)
        return true;
    const QString siteHost = QUrl(siteUrl()).host();
    return isLoopbackHost(siteHost) && url.host().compare(siteHost, Qt::CaseInsensitive) == 0;
}

void KivAdViewButton::startAdView()
{
    if (!connected) {
        connected = true;
        connect(&movie, &QMovie::frameChanged, this, &KivAdViewButton::slotsFrameChanged);
        if (button)
            connect(button, &QAbstractButton::clicked, this, [this] { slotsAdClicked(); });
    }
    startListDownload();
}

void KivAdViewButton::startListDownload()
{
    QDir().mkpath(saveDir);
    if (listDownloader) {
        listDownloader->disconnect(this);
        listDownloader->cancelAll();
        listDownloader->deleteLater();
    }
    listDownloader = new MyDownloadManager;
    listDownloader->setContentCheck(&isSiteDocument);
    connect(listDownloader, &MyDownloadManager::signalDownloadFinished, this,
            &KivAdViewButton::slotsListDownloadFinished, Qt::QueuedConnection);
    const QString listPath = joinPath(saveDir, listFileName);
    if (QFile::exists(listPath))
        QFile::remove(listPath);
    listDownloader->startDownload(saveDir, listFileName, listUrl);
}

void KivAdViewButton::scheduleListRetry()
{
    if (!listRetryTimer) {
        listRetryTimer = new QTimer(this);
        listRetryTimer->setSingleShot(true);
        connect(listRetryTimer, &QTimer::timeout, this, &KivAdViewButton::startListDownload);
    }
    listRetryTimer->start(nextListRetryPause);
    nextListRetryPause = int(qMin<qint64>(qint64(nextListRetryPause) * 2, longestListRetryPause));
}

void KivAdViewButton::slotsListDownloadFinished(bool isSucceeded, QString msg, QString sdir, QString fname,
                                                QString url_s)
{
    Q_UNUSED(msg);
    Q_UNUSED(url_s);
    if (!isSucceeded) {
        scheduleListRetry();
        return;
    }
    nextListRetryPause = firstListRetryPause;
    adInfoList = entriesSafeForCache(KivAdInfo::getKivAdInfoLists(joinPath(sdir, fname)));
    pruneCache();
    fetchMissingPictures();
    slotsShowNext();
}

void KivAdViewButton::pruneCache()
{
    // Only real folders directly inside the cache folder; a symbolic link is never followed.
    const QStringList folders = QDir(saveDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString& folder : folders) {
        QString withoutDots = folder;
        if (withoutDots.remove(QLatin1Char('.')).isEmpty())
            continue;
        const bool listed = std::any_of(adInfoList.cbegin(), adInfoList.cend(),
                                        [&folder](const KivAdInfo& entry) { return entry.name == folder; });
        if (!listed)
            QDir(joinPath(saveDir, folder)).removeRecursively();
    }
}

void KivAdViewButton::fetchMissingPictures()
{
    for (const KivAdInfo& entry : qAsConst(adInfoList)) {
        const QString folder = entryFolder(entry);
        QDir().mkpath(folder);
        if (QFileInfo::exists(picturePath(entry)) || !isWebAddressText(entry.logoUrl))
            continue;
        auto* pictureDownloader = new MyDownloadManager;
        pictureDownloader->setAutoDelete(true);
        pictureDownloader->setRetryCount(10);
        pictureDownloader->startDownload(folder, entry.logoName, entry.logoUrl);
    }
}

QString KivAdViewButton::entryFolder(const KivAdInfo& entry) const
{
    return joinPath(saveDir, entry.name);
}

QString KivAdViewButton::picturePath(const KivAdInfo& entry) const
{
    return joinPath(entryFolder(entry), entry.logoName);
}

void KivAdViewButton::slotsShowNext()
{
    if (!timer) {
        timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, &KivAdViewButton::slotsShowNext);
    }
    if (adInfoList.isEmpty() || !button)
        return;
    const bool inRange = currentIndex >= 0 && currentIndex < adInfoList.size();
    if (inRange && shownSeconds == adInfoList.at(currentIndex).duration) {
        ++currentIndex;
        shownSeconds = 0;
    }
    if (shownSeconds == 0 || !inRange) {
        if (currentIndex < 0 || currentIndex >= adInfoList.size())
            currentIndex = 0;
        putCurrentEntryOnShow();
    }
    showPictureIfCached();
    ++shownSeconds;
    timer->start(1000);
}

void KivAdViewButton::putCurrentEntryOnShow()
{
    movie.stop();
    movie.setFileName(QString());
    button->setIconSize(QSize(0, 0));
    button->setText(placeholderText(adInfoList.at(currentIndex)));
}

void KivAdViewButton::showPictureIfCached()
{
    if (button->text().isEmpty())
        return;
    const QString picture = picturePath(adInfoList.at(currentIndex));
    if (!isShowablePicture(picture)) {
        putCurrentEntryOnShow();
        return;
    }
    movie.setFileName(picture);
    movie.start();
    button->setText(QString());
}

void KivAdViewButton::slotsFrameChanged(int frameNumber)
{
    Q_UNUSED(frameNumber);
    if (!button)
        return;
    const QPixmap frame = movie.currentPixmap().scaled(button->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    button->setIcon(QIcon(frame));
    button->setIconSize(button->size());
    button->setText(QString());
}

void KivAdViewButton::slotsAdClicked()
{
    if (currentIndex < 0 || currentIndex >= adInfoList.size())
        return;
    const KivAdInfo entry = adInfoList.at(currentIndex);
    if (downloadingApps.contains(entry.url))
        return;
    if (entry.isWebLink()) {
        KivDesktopServices::openUrl(QUrl(entry.url, QUrl::TolerantMode));
        return;
    }
    // Also a copy already in the cache: it came from this address.
    if (!isTrustedProgramAddress(tolerantUrl(entry.url))) {
        KivMessageBox::inform(
            QCoreApplication::translate("KivAdViewButton", "“%1”的下载地址不安全，不会下载或运行：\n%2")
                .arg(titleOf(entry), entry.url));
        return;
    }
    // The question waits in a nested event loop, which may see this banner deleted.
    const QPointer<KivAdViewButton> alive(this);
    if (!userAgreesToRun(entry) || !alive)
        return;
    const QString program = joinPath(entryFolder(entry), entry.name);
    if (QFileInfo(program).isFile())
        launchProgram(program);
    else
        startProgramDownload(entry);
}

bool KivAdViewButton::userAgreesToRun(const KivAdInfo& entry) const
{
    // The host as the network knows it: a look-alike Unicode name shows in its xn-- form.
    return KivMessageBox::askYesNo(QCoreApplication::translate("KivAdViewButton", "是否运行“%1”？").arg(titleOf(entry)),
                                   QCoreApplication::translate("KivAdViewButton", "程序：%1\n来自：%2")
                                       .arg(entry.name, tolerantUrl(entry.url).host(QUrl::EncodeUnicode)));
}

void KivAdViewButton::startProgramDownload(const KivAdInfo& entry)
{
    downloadingApps.insert(entry.url, entry);
    const QString folder = entryFolder(entry);
    QDir().mkpath(folder);
    auto* programDownloader = new MyDownloadManager;
    programDownloader->setRetryCount(10);
    programDownloader->setAutoDelete(true);
    programDownloader->setShowProgress(true);
    programDownloader->setProgressLabel(
        QCoreApplication::translate("KivAdViewButton", "正在下载“%1”").arg(entry.nameTmp));
    programDownloader->setMaxBytes(MyDownloadManager::programMaxBytes);
    programDownloader->setAddressCheck(&KivAdViewButton::isTrustedProgramAddress);
    connect(programDownloader, &MyDownloadManager::signalDownloadFinished, this,
            &KivAdViewButton::slotsAppDownloadFinished);
    programDownloader->startDownload(folder, entry.name, entry.url);
}

void KivAdViewButton::slotsAppDownloadFinished(bool isSucceeded, QString msg, QString sdir, QString fname,
                                               QString url_s)
{
    Q_UNUSED(msg);
    // The reported address is the parsed one; the key is the list's text, which may differ
    // in its encoding. Either way the entry must leave, or it could never be clicked again.
    for (auto it = downloadingApps.begin(); it != downloadingApps.end();) {
        if (it.key() == url_s || tolerantUrl(it.key()).toString() == url_s)
            it = downloadingApps.erase(it);
        else
            ++it;
    }
    // Only a written file is a success.
    if (isSucceeded)
        launchProgram(joinPath(sdir, fname));
}

KivAdViewButton* startBannerOn(QAbstractButton* button, const QString& cacheSubfolder)
{
    auto* banner = new KivAdViewButton(button);
    banner->setListUrl(advertisementListUrl());
    banner->setSaveDir(joinPath(localDataFolder(), cacheSubfolder));
    banner->startAdView();
    return banner;
}
