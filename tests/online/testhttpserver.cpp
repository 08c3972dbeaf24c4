#include "testhttpserver.h"

#include <QFile>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <memory>

QByteArray statusText(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

namespace {

QByteArray header(int status, qint64 contentLength, const QByteArray& location)
{
    QByteArray text = "HTTP/1.1 " + QByteArray::number(status) + ' ' + statusText(status) + "\r\n";
    if (!location.isEmpty())
        text += "Location: " + location + "\r\n";
    if (contentLength >= 0)
        text += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    return text + "Connection: close\r\n\r\n";
}

QByteArray testFile(const char* name)
{
    QFile file(QStringLiteral(KIVEXCEL_ONLINE_TEST_DIR "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Hands out plain sockets, or TLS sockets that are already shaking hands.
class TestHttpServer::Listener : public QTcpServer
{
public:
    using QTcpServer::QTcpServer;
    bool tls = false;

protected:
    void incomingConnection(qintptr handle) override
    {
        if (!tls) {
            QTcpServer::incomingConnection(handle);
            return;
        }
        auto* socket = new QSslSocket(this);
        if (!socket->setSocketDescriptor(handle)) {
            delete socket;
            return;
        }
        socket->setLocalCertificate(QSslCertificate(testFile("loopback-tls.crt")));
        socket->setPrivateKey(QSslKey(testFile("loopback-tls.key"), QSsl::Rsa));
        socket->startServerEncryption();
        addPendingConnection(socket);
    }
};

TestHttpServer::TestHttpServer() : server(new Listener(this))
{
    connect(server, &QTcpServer::newConnection, this, &TestHttpServer::acceptConnections);
}

TestHttpServer::~TestHttpServer() = default;

bool TestHttpServer::start()
{
    return server->listen(QHostAddress::LocalHost, 0);
}

bool TestHttpServer::startTls()
{
    tls = true;
    server->tls = true;
    return QSslSocket::supportsSsl() && start();
}

quint16 TestHttpServer::port() const
{
    return server->serverPort();
}

QString TestHttpServer::url(const QString& path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(port())
        .arg(path);
}

void TestHttpServer::setRoute(const QString& path, const Route& route)
{
    routes.insert(path, route);
}

void TestHttpServer::setRoute(const QString& path, int status, const QByteArray& body)
{
    Route route;
    route.status = status;
    route.body = body;
    setRoute(path, route);
}

void TestHttpServer::serveFolder(const QString& folder)
{
    siteFolder = folder;
}

int TestHttpServer::requestCount(const QString& path) const
{
    return counts.value(path);
}

int TestHttpServer::totalRequests() const
{
    int total = 0;
    for (int count : counts)
        total += count;
    return total;
}

void TestHttpServer::resetCounts()
{
    counts.clear();
}

quint16 TestHttpServer::refusedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

bool TestHttpServer::trustLoopbackCertificate()
{
    const QSslCertificate certificate(testFile("loopback-tls.crt"));
    if (certificate.isNull())
        return false;
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.addCaCertificate(certificate);
    QSslConfiguration::setDefaultConfiguration(configuration);
    return true;
}

void TestHttpServer::acceptConnections()
{
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TestHttpServer::readRequest(QTcpSocket* socket)
{
    QByteArray received = socket->property("received").toByteArray() + socket->readAll();
    socket->setProperty("received", received);
    if (!received.contains("\r\n\r\n") || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    const QList<QByteArray> requestLine = received.left(received.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() > 1 ? QUrl(QString::fromLatin1(requestLine.at(1))).path() : QString();
    counts[path] += 1;
    answer(socket, routeFor(path));
}

TestHttpServer::Route TestHttpServer::routeFor(const QString& path) const
{
    if (routes.contains(path))
        return routes.value(path);
    Route route;
    QFile file(siteFolder + path);
    if (siteFolder.isEmpty() || path.contains(QLatin1String("..")) || !file.open(QIODevice::ReadOnly))
        route.status = 404;
    else
        route.body = file.readAll();
    return route;
}

void TestHttpServer::answer(QTcpSocket* socket, const Route& route)
{
    switch (route.delivery) {
    case Delivery::Whole:
        socket->write(header(route.status, route.body.size(), route.location) + route.body);
        break;
    case Delivery::NoLength:
        socket->write(header(route.status, -1, route.location) + route.body);
        break;
    case Delivery::Truncated:
        socket->write(header(route.status, route.body.size(), route.location) + route.body.left(route.body.size() / 2));
        break;
    case Delivery::Stalled:
        socket->write(header(route.status, route.body.size(), route.location) + route.body.left(route.body.size() / 2));
        return;
    case Delivery::Dropped:
        socket->abort();
        socket->deleteLater();
        return;
    case Delivery::Slow:
        socket->write(header(route.status, route.body.size(), route.location));
        sendSlowly(socket, route.body, route.pieceBytes, route.pauseMs);
        return;
    case Delivery::Silent:
        return;
    }
    socket->disconnectFromHost();
}

void TestHttpServer::sendSlowly(QTcpSocket* socket, const QByteArray& body, int pieceBytes, int pauseMs)
{
    QPointer<QTcpSocket> guarded(socket);
    auto* pacer = new QTimer(socket);
    auto sent = std::make_shared<int>(0);
    connect(pacer, &QTimer::timeout, socket, [guarded, pacer, body, pieceBytes, sent] {
        if (!guarded || guarded->state() != QAbstractSocket::ConnectedState)
            return;
        guarded->write(body.mid(*sent, pieceBytes));
        *sent += pieceBytes;
        if (*sent >= body.size()) {
            pacer->stop();
            guarded->disconnectFromHost();
        }
    });
    pacer->start(pauseMs);
}
