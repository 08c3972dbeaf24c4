#pragma once
// Drives a window's advertisement button: fetches the advertisement list into a cache folder,
// fetches the pictures, rotates the entries once a second and acts on clicks. A program entry
// runs only after the user said yes to it, each time, and only from a trusted address.

#include "online/kivadinfo.h"

#include <QAbstractButton>
#include <QHash>
#include <QList>
#include <QMovie>
#include <QObject>
#include <QPointer>
#include <QString>

class MyDownloadManager;
class QTimer;
class QUrl;

class KivAdViewButton : public QObject
{
public:
    static constexpr int firstListRetryPauseMs = 2000;
    static constexpr int longestListRetryPauseMs = 5 * 60 * 1000;

    explicit KivAdViewButton(QAbstractButton* button);
    ~KivAdViewButton() override;

    void setListUrl(const QString& url);
    void setSaveDir(const QString& dir);
    // Offline, the list is asked for again after a pause that doubles from first to longest.
    void setListRetryPause(int firstMs, int longestMs);
    void startAdView();

    void slotsListDownloadFinished(bool isSucceeded, QString msg, QString sdir, QString fname, QString url_s);
    void slotsAppDownloadFinished(bool isSucceeded, QString msg, QString sdir, QString fname, QString url_s);
    void slotsShowNext();
    void slotsFrameChanged(int frameNumber);
    void slotsAdClicked();

    // A list value usable as one path element inside the cache folder: not empty, no "..",
    // no separator, no drive or absolute path.
    static bool isPlainFileName(const QString& name);
    // Where a program may come from: https anywhere, plain http only from the site's own host
    // when that is the loopback one (nobody on the network can change what it sends).
    static bool isTrustedProgramAddress(const QUrl& url);

private:
    void startListDownload();
    void scheduleListRetry();
    void pruneCache();
    void fetchMissingPictures();
    void putCurrentEntryOnShow();
    void showPictureIfCached();
    QString entryFolder(const KivAdInfo& entry) const;
    QString picturePath(const KivAdInfo& entry) const;
    void startProgramDownload(const KivAdInfo& entry);
    bool userAgreesToRun(const KivAdInfo& entry) const;

    QPointer<QAbstractButton> button;
    QList<KivAdInfo> adInfoList;
    QHash<QString, KivAdInfo> downloadingApps;
    int currentIndex = 0;
    int shownSeconds = 0;
    QString listUrl;
    QString saveDir = QStringLiteral("./ad");
    MyDownloadManager* listDownloader = nullptr;
    QTimer* timer = nullptr;
    QMovie movie;

    bool connected = false;
    QTimer* listRetryTimer = nullptr;
    int firstListRetryPause = firstListRetryPauseMs;
    int longestListRetryPause = longestListRetryPauseMs;
    int nextListRetryPause = firstListRetryPauseMs;
};

// What every window does for its banner: the list address of the maker's site and the cache
// folder localDataFolder()/cacheSubfolder, started at once. The window deletes it (deleteLater).
KivAdViewButton* startBannerOn(QAbstractButton* button, const QString& cacheSubfolder);
