#pragma once
// A small HTTP/1.1 server on loopback for the online tests: fixed routes with good content and
// faults, optionally a folder served as a site, and a count of the requests per path. It can
// speak TLS with the certificate in loopback-tls.crt (self-signed for IP 127.0.0.1, made with
// `openssl req -x509 -newkey rsa:2048 -nodes -days 36500 -subj /CN=127.0.0.1
// -addext subjectAltName=IP:127.0.0.1`), which trustLoopbackCertificate() lets clients accept.

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

class TestHttpServer : public QObject
{
public:
    enum class Delivery {
        Whole,     // status, Content-Length, body
        NoLength,  // no Content-Length: the body ends when the connection closes
        Truncated, // Content-Length of the whole body, half of it sent, then closed
        Dropped,   // the connection is closed without an answer
        Slow,      // the body in small pieces, one piece per pause
        Silent,    // never answers
        Stalled,   // status, Content-Length and half the body, then nothing, never closed
    };

    struct Route
    {
        int status = 200;
        QByteArray body;
        Delivery delivery = Delivery::Whole;
        int pieceBytes = 64;
        int pauseMs = 50;
        QByteArray location; // sent as a Location header when not empty
    };

    TestHttpServer();
    ~TestHttpServer() override;

    bool start();
    // The same server speaking TLS (https) with the loopback certificate.
    bool startTls();
    quint16 port() const;
    QString url(const QString& path) const;

    void setRoute(const QString& path, const Route& route);
    void setRoute(const QString& path, int status, const QByteArray& body = QByteArray());
    // Paths without a route are looked up as files below this folder.
    void serveFolder(const QString& folder);

    int requestCount(const QString& path) const;
    int totalRequests() const;
    void resetCounts();

    // A loopback port on which nothing listens.
    static quint16 refusedPort();
    // Adds the loopback certificate to the default TLS configuration of this process.
    static bool trustLoopbackCertificate();

private:
    class Listener;

    void acceptConnections();
    void readRequest(QTcpSocket* socket);
    Route routeFor(const QString& path) const;
    void answer(QTcpSocket* socket, const Route& route);
    void sendSlowly(QTcpSocket* socket, const QByteArray& body, int pieceBytes, int pauseMs);

    Listener* server;
    bool tls = false;
    QHash<QString, Route> routes;
    QHash<QString, int> counts;
    QString siteFolder;
};

QByteArray statusText(int status);
