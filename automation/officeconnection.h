#pragma once
// The one office process of the program and the UNO connection to it. Only the office server
// includes this header.

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QSet>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/types.h>
#include <thread>

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

    // Whether offices start, and documents open, with the measures that keep the office's cost
    // down without changing what a save writes: one malloc arena, no undo records kept from the
    // load on, no graphics self-tests after a profile's first start. Always, unless
    // KIVEXCEL_OFFICE_PLAIN is set (benchmarks and tests compare both); read when an office
    // starts and when a document opens.
    static bool tuned();

    // Whether a document's view may be shown for a store: only once the office is set never to
    // build the child windows it would abort on.
    bool viewsCanBeShown() const { return childWindowsHidden; }

    // Which start of the office this is: an application object made on an earlier one is stale.
    int generation() const { return startCount; }
    // Why the office could not be started the last time it was tried; empty once it runs.
    QString lastStartFailure() const { return startFailure; }
    // Whether the last office was ended because a call into it took longer than the limit.
    bool endedForNotAnswering() const { return stoppedAnswering; }

    // Every call into the office runs inside one of these; a call that outlasts the limit
    // gets its office ended, so the call returns (failed) instead of blocking for good.
    class CallGuard
    {
    public:
        CallGuard();
        ~CallGuard();
        CallGuard(const CallGuard&) = delete;
        CallGuard& operator=(const CallGuard&) = delete;
    };
    void setCallTimeout(std::chrono::milliseconds limit);

private:
    OfficeConnection() = default;
    void enterCall();
    void leaveCall();
    void watchCalls();
    bool start();
    bool launch();
    bool answers();
    QString whyNotStarted() const;
    QString outputLogPath() const;
    bool spawnOffice(const QString& pipeName, const QString& profileUrl);
    bool connectBridge(const QString& pipeName);
    void recordOfficeVersion();
    void stopProcess();
    QString reserveProfileFolder();
    void removeLocksOfDeadOffice();

    officeuno::uno::Reference<officeuno::uno::XComponentContext> localContext;
    officeuno::uno::Reference<officeuno::uno::XComponentContext> remoteContext;
    officeuno::uno::Reference<officeuno::frame::XDesktop2> desktopRef;
    officeuno::uno::Reference<officeuno::uno::XInterface> bridge;
    std::atomic<bool> bridgeDisposed{true};
    pid_t officePid = 0;
    int lastExitStatus = -1; // of an office that ended while we waited for it to answer
    QString profileUrl;
    QSet<QString> openDocumentUrls;
    int startCount = 0;
    QString startFailure;
    bool childWindowsHidden = false;
    class QLockFile* profileLock = nullptr;

    // The watchdog: a thread that ends the office when the outermost call runs past its deadline.
    std::mutex watchMutex;
    std::condition_variable watchWake;
    bool watcherStarted = false;
    int callDepth = 0;
    bool callRunning = false;
    std::chrono::steady_clock::time_point callDeadline;
    std::chrono::milliseconds callTimeout{120000};
    std::atomic<bool> stoppedAnswering{false};

    friend class BridgeDisposeListener;
};
