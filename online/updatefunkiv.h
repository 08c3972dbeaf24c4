#pragma once
// The update check: fetches the update document and, when it names a newer version, offers to
// open the home page. Nothing is downloaded or installed automatically. A version the user
// asked not to be reminded of is not offered again; a newer one is.

#include "online/updatedocument.h"

#include <QObject>
#include <QPointer>
#include <QString>

class MyDownloadManager;

class UpdateFunKiv : public QObject
{
public:
    UpdateFunKiv(int currentVersionCode, const QString& updateUrl, const QString& saveDir);
    ~UpdateFunKiv() override;

    void updateKiv(bool isSucceeded, QString msg, QString sdir, QString fname, QString url_s);

    // True once the check has come to its end: the document read, or the download given up.
    bool isSettled() const;

    // The version code the user declined for good, kept in the toolbox's settings; 0 for none.
    static int declinedVersionCode();

private:
    void readDocument(const QString& path);
    void offerNewVersion();

    const QString updateFileName = QStringLiteral("updateinfo.xml");
    QString versionNow;
    int versionCode = 0;
    int currentVersionCode;
    QString downUrl;
    QString webUrl;
    QPointer<MyDownloadManager> updateDownloader;
    bool settled = false;
};

// The launcher's check: the running version against the document on the maker's site, kept in
// localDataFolder()/duZozodKivUpdate/update. The launcher deletes it (deleteLater).
UpdateFunKiv* startUpdateCheck(int currentVersionCode);
