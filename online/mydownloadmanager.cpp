#include "online/mydownloadmanager.h"

#include "common/pathutils.h"

#include <QMetaType>
#include <QNetworkRequest>
#include <QProgressDialog>
#include <QSaveFile>
#include <QUrl>

namespace {

const char* const oversizedProperty = "kivOversized";

void registerDownloadMetaTypes()
{
    qRegisterMetaType<QNetworkReply*>("QNetworkReply*");
    qRegisterMetaType<QList<QSslError>>("QList<QSslError>");
}

} // namespace

MyDownloadManager::MyDownloadManager()
    : progressLabel(QStringLiteral("下载中"))
{
    registerDownloadMetaTypes();
    retryTimer.setSingleShot(true);
    connect(&retryTimer, &QTimer::timeout, this, [this] {
        pendingFailure.clear();
        pendingFailureUrl.clear();
        startDownload(saveDirOrCurrent(), fileName, url);
    });
    retryTimer.setInterval(defaultRetryPauseMs);
    connect(&manager, &QNetworkAccessManager::finished, this, &MyDownloadManager::downloadFinished,
            Qt::QueuedConnection);
}

MyDownloadManager::~MyDownloadManager()
{
    // Nobody is told: the aborted replies' queued results die with this object.
    retryCount = 0;
    retryTimer.stop();
    abortReplies();
    delete progressDialog;
}

void MyDownloadManager::setProgressLabel(const QString& text)
{
    progressLabel = text;
}

void MyDownloadManager::setAutoDelete(bool enabled)
{
    autoDelete = enabled;
}

void MyDownloadManager::setRetryCount(int count)
{
    retryCount = count;
}

void MyDownloadManager::setShowProgress(bool enabled)
{
    showProgress = enabled;
}

void MyDownloadManager::setMaxBytes(qint64 bytes)
{
    maxBytes = bytes;
}

void MyDownloadManager::setRetryPause(int milliseconds)
{
    retryTimer.setInterval(qMax(0, milliseconds));
}

QString MyDownloadManager::saveDirOrCurrent() const
{
    return saveDir.isEmpty() ? QStringLiteral("./") : saveDir;
}

QString MyDownloadManager::savePath() const
{
    return joinPath(saveDirOrCurrent(), fileName);
}

void MyDownloadManager::startDownload(const QString& saveDir, const QString& fileName,
                                      const QString& url)
{
    this->saveDir = saveDir;
    this->fileName = fileName;
    this->url = url;
    if (showProgress)
        showProgressDialog();
    sendRequest();
}

void MyDownloadManager::showProgressDialog()
{
    if (!progressDialog) {
        progressDialog = new QProgressDialog(nullptr, Qt::WindowFlags());
        connect(this, &MyDownloadManager::signaldownloadProgress, this,
                &MyDownloadManager::slotsdownloadProgress, Qt::QueuedConnection);
        connect(progressDialog, &QProgressDialog::canceled, this,
                &MyDownloadManager::slotsProgressdialogCancel, Qt::QueuedConnection);
        progressDialog->setLabelText(progressLabel);
        progressDialog->setCancelButtonText(QStringLiteral("取消"));
    }
    if (progressDialog->isHidden())
        progressDialog->show();
}

void MyDownloadManager::sendRequest()
{
    const QUrl address = QUrl::fromEncoded(url.toLocal8Bit(), QUrl::TolerantMode);
    QNetworkReply* reply = manager.get(QNetworkRequest(address));
    connect(reply, &QNetworkReply::downloadProgress, this,
            &MyDownloadManager::signaldownloadProgress, Qt::QueuedConnection);
    // Direct, so an oversized body is stopped as soon as it shows rather than kept in memory.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { watchSize(reply); });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { watchSize(reply); });
    replies.append(reply);
}

void MyDownloadManager::watchSize(QNetworkReply* reply)
{
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced <= maxBytes && reply->bytesAvailable() <= maxBytes)
        return;
    reply->setProperty(oversizedProperty, true);
    if (!reply->isFinished())
        reply->abort();
}

void MyDownloadManager::slotsdownloadProgress(qint64 bytesReceived, qint64 bytesTotal)
{
    if (!progressDialog || progressDialog->isHidden())
        return;
    if (progressDialog->maximum() != bytesTotal)
        progressDialog->setRange(0, int(bytesTotal));
    progressDialog->setValue(int(bytesReceived));
}

void MyDownloadManager::slotsProgressdialogCancel()
{
    cancelAll();
}

void MyDownloadManager::sslErrors(QList<QSslError> errors)
{
    Q_UNUSED(errors);
}

void MyDownloadManager::cancelAll()
{
    retryCount = 0;
    if (retryTimer.isActive()) {
        // Between two attempts there is no reply to abort: the download ends here.
        retryTimer.stop();
        report(false, pendingFailure, pendingFailureUrl);
    }
    abortReplies();
}

void MyDownloadManager::abortReplies()
{
    const QList<QNetworkReply*> running = replies;
    for (QNetworkReply* reply : running) {
        reply->abort();
        reply->close();
    }
}

void MyDownloadManager::downloadFinished(QNetworkReply* reply)
{
    const QString urlText = reply->url().toString();
    watchSize(reply);
    const bool oversized = reply->property(oversizedProperty).toBool();
    bool isSucceeded = false;
    QString msg;
    if (oversized) {
        msg = QStringLiteral("Download of %1 failed: larger than %2 bytes").arg(urlText).arg(maxBytes);
    } else if (reply->error() != QNetworkReply::NoError) {
        msg = QStringLiteral("Download of %1 failed: %2").arg(urlText, reply->errorString());
    } else {
        isSucceeded = true;
        if (writeBody(reply))
            msg = QStringLiteral("Download of %1 succeeded (saved to %2)").arg(urlText, savePath());
    }
    replies.removeAll(reply);
    reply->deleteLater();

    if (isSucceeded || oversized || retryCount <= 0) {
        report(isSucceeded, msg, urlText);
        return;
    }
    --retryCount;
    pendingFailure = msg;
    pendingFailureUrl = urlText;
    retryTimer.start();
}

bool MyDownloadManager::writeBody(QNetworkReply* reply)
{
    // Written aside and then renamed, so a failed write never leaves half a file behind.
    QSaveFile file(savePath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(reply->readAll());
    return file.commit();
}

void MyDownloadManager::report(bool isSucceeded, const QString& msg, const QString& urlText)
{
    emit signalDownloadFinished(isSucceeded, msg, saveDirOrCurrent(), fileName, urlText);
    if (autoDelete)
        deleteLater();
}
