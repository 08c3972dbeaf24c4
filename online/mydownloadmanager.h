#pragma once
// One HTTP GET into one file, with retries, an optional progress dialog with cancel, and one
// outcome signal per download.

#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QSslError>
#include <QString>
#include <QTimer>

class QProgressDialog;

class MyDownloadManager : public QObject
{
    Q_OBJECT
public:
    // Lists, pictures and the update document stay far below this; programs get more.
    static constexpr qint64 defaultMaxBytes = 5 * 1024 * 1024;
    static constexpr qint64 programMaxBytes = 100 * 1024 * 1024;
    static constexpr int defaultRetryPauseMs = 1000;

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

    void startDownload(const QString& saveDir, const QString& fileName, const QString& url);
    void cancelAll();

    QString saveDirOrCurrent() const;
    QString savePath() const;

signals:
    void signalDownloadFinished(bool isSucceeded, QString msg, QString sdir, QString fname,
                                QString url_s);
    void signaldownloadProgress(qint64 bytesReceived, qint64 bytesTotal);

private slots:
    void downloadFinished(QNetworkReply* reply);
    void sslErrors(QList<QSslError> errors);
    void slotsdownloadProgress(qint64 bytesReceived, qint64 bytesTotal);
    void slotsProgressdialogCancel();

private:
    void showProgressDialog();
    void sendRequest();
    void watchSize(QNetworkReply* reply);
    bool writeBody(QNetworkReply* reply);
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
    QTimer retryTimer;
    QString pendingFailure; // outcome text of the attempt a pending retry follows
    QString pendingFailureUrl;
};
