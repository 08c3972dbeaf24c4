#pragma once
// One HTTP GET into one file, with retries, an optional progress dialog with cancel, and one
// outcome signal per download. Only a 2xx answer is content; redirects are followed at most
// maxRedirects hops and never from https to http; a transfer that stays quiet for the transfer
// timeout is a failure, and so is a body that cannot be written (with the file and the reason).

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QSslError>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <functional>

class QProgressDialog;

class MyDownloadManager : public QObject
{
    Q_OBJECT
public:
    // Lists, pictures and the update document stay far below this; programs get more.
    static constexpr qint64 defaultMaxBytes = 5 * 1024 * 1024;
    static constexpr qint64 programMaxBytes = 100 * 1024 * 1024;
    static constexpr int defaultRetryPauseMs = 1000;
    static constexpr int defaultTransferTimeoutMs = 30 * 1000;
    static constexpr int maxRedirects = 5;

    MyDownloadManager();
    ~MyDownloadManager() override;

    void setProgressLabel(const QString& text);
    void setAutoDelete(bool enabled);
    void setRetryCount(int count);
    void setShowProgress(bool enabled);
    // A body larger than this ends the download as a failure (not retried: it would be again).
    void setMaxBytes(qint64 bytes);
    // Pause before each further attempt, so a server that fails at once is not hammered.
    void setRetryPause(int milliseconds);
    // A request that receives nothing for this long ends as a failed attempt (and is retried).
    void setTransferTimeout(int milliseconds);
    // Addresses this download may fetch, the first one and every redirect target; web
    // addresses by default. A refused first address fails at once, without retries.
    void setAddressCheck(std::function<bool(const QUrl&)> check);
    // A 2xx body this check refuses (a portal's login page in place of a list) is not saved
    // and ends the download without retries: the server would send the same again.
    void setContentCheck(std::function<bool(const QByteArray&)> check);

    // Tests: what managers made from now on start with, so stalls and retries stay short.
    static void setDefaultTransferTimeout(int milliseconds);
    static void setDefaultRetryPause(int milliseconds);

    // A redirect that keeps to web addresses and never leaves https for http.
    static bool isSafeRedirect(const QUrl& from, const QUrl& to);

    void startDownload(const QString& saveDir, const QString& fileName, const QString& url);
    void cancelAll();

    QString saveDirOrCurrent() const;
    QString savePath() const;

signals:
    void signalDownloadFinished(bool isSucceeded, QString msg, QString sdir, QString fname, QString url_s);
    void signaldownloadProgress(qint64 bytesReceived, qint64 bytesTotal);

private slots:
    void downloadFinished(QNetworkReply* reply);
    void sslErrors(QList<QSslError> errors);
    void slotsdownloadProgress(qint64 bytesReceived, qint64 bytesTotal);
    void slotsProgressdialogCancel();

private:
    void showProgressDialog();
    void sendRequest(const QUrl& address, const QString& requested, int hops);
    void watchSize(QNetworkReply* reply);
    bool mayFetch(const QUrl& address) const;
    static QUrl redirectTarget(QNetworkReply* reply);
    // True when the reply was a redirect now being followed by a new request.
    bool followRedirect(QNetworkReply* reply);
    void watchIdleTime(QNetworkReply* reply);
    QString failureOf(QNetworkReply* reply) const;
    static QString shortOf(QNetworkReply* reply, const QByteArray& body);
    // Empty when written, else what went wrong.
    QString writeBody(const QByteArray& body);
    void report(bool isSucceeded, const QString& msg, const QString& urlText);
    void abortReplies();

    QNetworkAccessManager manager;
    QList<QNetworkReply*> replies;
    QString fileName;
    QString saveDir;
    QString url;
    bool autoDelete = false;
    int retryCount = 0;
    bool showProgress = false;
    QString progressLabel;
    QProgressDialog* progressDialog = nullptr;

    qint64 maxBytes = defaultMaxBytes;
    int transferTimeout;
    std::function<bool(const QUrl&)> addressCheck;
    std::function<bool(const QByteArray&)> contentCheck;
    QTimer retryTimer;
    QString pendingFailure; // outcome text of the attempt a pending retry follows
    QString pendingFailureUrl;
};
