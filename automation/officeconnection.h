#pragma once
// The one office process of the program and the UNO connection to it. Only the office server
// includes this header.

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QSet>
#include <QString>
#include <atomic>
#include <sys/types.h>

namespace officeuno = ::com::sun::star;

class OfficeConnection
{
public:
    static OfficeConnection& instance();

    // The desktop of a running office; starts the office (again) when it is not running.
    // An empty reference when it cannot be started.
    officeuno::uno::Reference<officeuno::frame::XDesktop2> desktop();
    officeuno::uno::Reference<officeuno::uno::XComponentContext> context() const { return remoteContext; }
    bool isAlive() const;
    // Marks the connection dead after a call found the office gone.
    void markDead();
    // Ends the office process; called once when the program exits.
    void shutdown();
    // The office's process id (the process group leader), 0 when none runs.
    pid_t processId() const { return officePid; }
    // Documents the office holds open, so that lock files a killed office leaves beside them
    // can be cleared before the next office opens them.
    void documentOpened(const QString& url) { openDocumentUrls.insert(url); }
    void documentClosed(const QString& url) { openDocumentUrls.remove(url); }

private:
    OfficeConnection() = default;
    bool start();
    bool spawnOffice(const QString& pipeName, const QString& profileUrl);
    bool connectBridge(const QString& pipeName);
    void stopProcess();
    QString reserveProfileFolder();
    void removeLocksOfDeadOffice();

    officeuno::uno::Reference<officeuno::uno::XComponentContext> localContext;
    officeuno::uno::Reference<officeuno::uno::XComponentContext> remoteContext;
    officeuno::uno::Reference<officeuno::frame::XDesktop2> desktopRef;
    officeuno::uno::Reference<officeuno::uno::XInterface> bridge;
    std::atomic<bool> bridgeDisposed{true};
    pid_t officePid = 0;
    QString profileUrl;
    QSet<QString> openDocumentUrls;
    int startCount = 0;
    class QLockFile* profileLock = nullptr;

    friend class BridgeDisposeListener;
};
