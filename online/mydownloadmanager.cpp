#include "online/mydownloadmanager.h"

#include "common/desktopservices.h"
#include "common/pathutils.h"

#include <QLabel>
#include <QMetaType>
#include <QNetworkRequest>
#include <QProgressDialog>
#include <QSaveFile>
#include <QUrl>

namespace {

const char* const oversizedProperty = "kivOversized";
const char* const requestedProperty = "kivRequested"; // the address as asked for, for the outcome
const char* const refusedRedirectProperty = "kivRefusedRedirect";
const char* const hopsProperty = "kivHops";
const char* const timedOutProperty = "kivTimedOut";

int startingTransferTimeout = MyDownloadManager::defaultTransferTimeoutMs;
int startingRetryPause = MyDownloadManager::defaultRetryPauseMs;

QUrl parsedUrl(const QString& text)
{
    return QUrl::fromEncoded(text.toLocal8Bit(), QUrl::TolerantMode);
}

void registerDownloadMetaTypes()
{
    qRegisterMetaType<QNetworkReply*>("QNetworkReply*");
    qRegisterMetaType<QList<QSslError>>("QList<QSslError>");
}

} // namespace

MyDownloadManager::MyDownloadManager()
    : progressLabel(tr("下载中")),
      transferTimeout(startingTransferTimeout),
      addressCheck(&KivDesktopServices::isWebAddress)
{
    registerDownloadMetaTypes();
    retryTimer.setSingleShot(true);
    connect(&retryTimer, &QTimer::timeout, this, [this] {
        pendingFailure.clear();
        pendingFailureUrl.clear();
        startDownload(saveDirOrCurrent(), fileName, url);
    });
    retryTimer.setInterval(startingRetryPause);
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

void MyDownloadManager::setTransferTimeout(int milliseconds)
{
    transferTimeout = qMax(1, milliseconds);
}

void MyDownloadManager::setAddressCheck(std::function<bool(const QUrl&)> check)
{
    addressCheck = std::move(check);
}

void MyDownloadManager::setContentCheck(std::function<bool(const QByteArray&)> check)
{
    contentCheck = std::move(check);
}

void MyDownloadManager::setDefaultTransferTimeout(int milliseconds)
{
    startingTransferTimeout = qMax(1, milliseconds);
}

void MyDownloadManager::setDefaultRetryPause(int milliseconds)
{
    startingRetryPause = qMax(0, milliseconds);
}

bool MyDownloadManager::mayFetch(const QUrl& address) const
{
    return addressCheck && addressCheck(address);
}

bool MyDownloadManager::isSafeRedirect(const QUrl& from, const QUrl& to)
{
    const bool downgrade = from.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0
                           && to.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) == 0;
    return KivDesktopServices::isWebAddress(to) && !downgrade;
}

QString MyDownloadManager::saveDirOrCurrent() const
{
    return saveDir.isEmpty() ? QStringLiteral("./") : saveDir;
}

QString MyDownloadManager::savePath() const
{
    return joinPath(saveDirOrCurrent(), fileName);
}

void MyDownloadManager::startDownload(const QString& saveDir, const QString& fileName, const QString& url)
{
    this->saveDir = saveDir;
    this->fileName = fileName;
    this->url = url;
    const QUrl address = parsedUrl(url);
    if (!mayFetch(address)) {
        // Asking again would be refused again. Reported later, as every outcome is.
        retryCount = 0;
        const QString msg = QStringLiteral("Download of %1 failed: address refused").arg(url);
        const QString urlText = address.toString();
        QMetaObject::invokeMethod(
            this, [this, msg, urlText] { report(false, msg, urlText); }, Qt::QueuedConnection);
        return;
    }
    if (showProgress)
        showProgressDialog();
    sendRequest(address, address.toString(), 0);
}

void MyDownloadManager::showProgressDialog()
{
    if (!progressDialog) {
        progressDialog = new QProgressDialog(nullptr, Qt::WindowFlags());
        // The label names what the site called the download: never read as rich text.
        auto* label = new QLabel;
        label->setTextFormat(Qt::PlainText);
        progressDialog->setLabel(label);
        connect(this, &MyDownloadManager::signaldownloadProgress, this, &MyDownloadManager::slotsdownloadProgress,
                Qt::QueuedConnection);
        connect(progressDialog, &QProgressDialog::canceled, this, &MyDownloadManager::slotsProgressdialogCancel,
                Qt::QueuedConnection);
        progressDialog->setLabelText(progressLabel);
        progressDialog->setCancelButtonText(tr("取消"));
    }
    if (progressDialog->isHidden())
        progressDialog->show();
}

void MyDownloadManager::sendRequest(const QUrl& address, const QString& requested, int hops)
{
    QNetworkRequest request(address);
    // Redirects come back here as answers, so every hop is looked at before it is taken.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = manager.get(request);
    reply->setProperty(requestedProperty, requested);
    reply->setProperty(hopsProperty, hops);
    connect(reply, &QNetworkReply::downloadProgress, this, &MyDownloadManager::signaldownloadProgress,
            Qt::QueuedConnection);
    // Direct, so an oversized body is stopped as soon as it shows rather than kept in memory.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { watchSize(reply); });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { watchSize(reply); });
    watchIdleTime(reply);
    replies.append(reply);
}

QUrl MyDownloadManager::redirectTarget(QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool redirect = status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
    const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (!redirect || target.isEmpty() || reply->error() != QNetworkReply::NoError)
        return QUrl();
    return reply->url().resolved(target);
}

bool MyDownloadManager::followRedirect(QNetworkReply* reply)
{
    const QUrl target = redirectTarget(reply);
    if (target.isEmpty())
        return false;
    const int hops = reply->property(hopsProperty).toInt() + 1;
    if (hops > maxRedirects || !isSafeRedirect(reply->url(), target) || !mayFetch(target)) {
        reply->setProperty(refusedRedirectProperty, target.toString());
        return false;
    }
    sendRequest(target, reply->property(requestedProperty).toString(), hops);
    return true;
}

void MyDownloadManager::watchIdleTime(QNetworkReply* reply)
{
    // Measured from the last sign of life, so a slow but moving transfer is not cut short.
    auto* idle = new QTimer(reply);
    idle->setSingleShot(true);
    idle->setInterval(transferTimeout);
    connect(idle, &QTimer::timeout, reply, [reply] {
        reply->setProperty(timedOutProperty, true);
        reply->abort();
    });
    const auto restart = [idle] { idle->start(); };
    connect(reply, &QNetworkReply::metaDataChanged, idle, restart);
    connect(reply, &QNetworkReply::readyRead, idle, restart);
    connect(reply, &QNetworkReply::downloadProgress, idle, restart);
    connect(reply, &QNetworkReply::finished, idle, &QTimer::stop);
    idle->start();
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

QString MyDownloadManager::failureOf(QNetworkReply* reply) const
{
    if (reply->property(oversizedProperty).toBool())
        return QStringLiteral("larger than %1 bytes").arg(maxBytes);
    const QString refusedRedirect = reply->property(refusedRedirectProperty).toString();
    if (!refusedRedirect.isEmpty())
        return QStringLiteral("redirect to %1 refused").arg(refusedRedirect);
    if (reply->property(timedOutProperty).toBool())
        return QStringLiteral("nothing received for %1 ms").arg(transferTimeout);
    if (reply->error() != QNetworkReply::NoError)
        return reply->errorString();
    // A redirect not taken, or any other answer that is not content.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status > 299)
        return QStringLiteral("HTTP status %1").arg(status);
    return QString();
}

// A connection closed before the announced length is not always an error of the reply: the body
// is then checked against the length itself. A packed body's length is the packed one.
QString MyDownloadManager::shortOf(QNetworkReply* reply, const QByteArray& body)
{
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    if (announced <= 0 || body.size() >= announced || !(encoding.isEmpty() || encoding == "identity"))
        return QString();
    return QStringLiteral("only %1 of %2 bytes received").arg(body.size()).arg(announced);
}

void MyDownloadManager::downloadFinished(QNetworkReply* reply)
{
    const QString urlText = reply->property(requestedProperty).toString();
    watchSize(reply);
    replies.removeAll(reply);
    reply->deleteLater();
    const bool oversized = reply->property(oversizedProperty).toBool();
    if (!oversized && !reply->property(timedOutProperty).toBool() && followRedirect(reply))
        return;
    QString failure = failureOf(reply);
    // What another attempt would only repeat ends the download: the same body, or a folder or
    // disk that refuses it. Callers with a back-off ask again later.
    bool isFinal = oversized;
    if (failure.isEmpty()) {
        const QByteArray body = reply->readAll();
        failure = shortOf(reply, body);
        if (failure.isEmpty()) {
            failure =
                contentCheck && !contentCheck(body) ? QStringLiteral("not the expected content") : writeBody(body);
            isFinal = true;
        }
    }
    if (failure.isEmpty()) {
        report(true, QStringLiteral("Download of %1 succeeded (saved to %2)").arg(urlText, savePath()), urlText);
        return;
    }
    const QString msg = QStringLiteral("Download of %1 failed: %2").arg(urlText, failure);
    if (isFinal || retryCount <= 0) {
        report(false, msg, urlText);
        return;
    }
    --retryCount;
    pendingFailure = msg;
    pendingFailureUrl = urlText;
    retryTimer.start();
}

QString MyDownloadManager::writeBody(const QByteArray& body)
{
    // Written aside and then renamed, so a failed write never leaves half a file behind.
    QSaveFile file(savePath());
    if (file.open(QIODevice::WriteOnly)) {
        file.write(body);
        if (file.commit())
            return QString();
    }
    return QStringLiteral("cannot write %1: %2").arg(savePath(), file.errorString());
}

void MyDownloadManager::report(bool isSucceeded, const QString& msg, const QString& urlText)
{
    emit signalDownloadFinished(isSucceeded, msg, saveDirOrCurrent(), fileName, urlText);
    if (autoDelete)
        deleteLater();
}
