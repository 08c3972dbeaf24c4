#include "testhttpserver.h"

#include <QFile>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <memory>

QByteArray statusText(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

namespace {

QByteArray header(int status, qint64 contentLength)
{
    QByteArray text = "HTTP/1.1 " + QByteArray::number(status) + ' ' + statusText(status) + "\r\n";
    if (contentLength >= 0)
        text += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    return text + "Connection: close\r\n\r\n";
}

} // namespace

TestHttpServer::TestHttpServer()
{
    connect(&server, &QTcpServer::newConnection, this, &TestHttpServer::acceptConnections);
}

TestHttpServer::~TestHttpServer() = default;

bool TestHttpServer::start()
{
    return server.listen(QHostAddress::LocalHost, 0);
}

quint16 TestHttpServer::port() const
{
    return server.serverPort();
}

QString TestHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
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

void TestHttpServer::acceptConnections()
{
    while (QTcpSocket* socket = server.nextPendingConnection()) {
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
    const QString path = requestLine.size() > 1 ? QUrl(QString::fromLatin1(requestLine.at(1))).path()
                                                : QString();
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
        socket->write(header(route.status, route.body.size()) + route.body);
        break;
    case Delivery::NoLength:
        socket->write(header(route.status, -1) + route.body);
        break;
    case Delivery::Truncated:
        socket->write(header(route.status, route.body.size()) + route.body.left(route.body.size() / 2));
        break;
    case Delivery::Dropped:
        socket->abort();
        socket->deleteLater();
        return;
    case Delivery::Slow:
        socket->write(header(route.status, route.body.size()));
        sendSlowly(socket, route.body, route.pieceBytes, route.pauseMs);
        return;
    case Delivery::Silent:
        return;
    }
    socket->disconnectFromHost();
}

void TestHttpServer::sendSlowly(QTcpSocket* socket, const QByteArray& body, int pieceBytes,
                                int pauseMs)
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
