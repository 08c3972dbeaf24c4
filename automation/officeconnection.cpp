#include "automation/officeconnection.h"
#include "automation/documentview.h"
#include "automation/officefonts.h"

#include "common/pathutils.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <com/sun/star/util/XFlushable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <rtl/bootstrap.hxx>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>
#include <QUrl>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace officeuno;
using rtl::OUString;

namespace {

constexpr int kConnectTimeoutMs = 60000;
constexpr int kMaxProfiles = 16;

OUString toOUString(const QString& text)
{
    return OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()), text.size());
}

// The office's own launcher restarts it when it exits with this status: it does so once after
// it has made a new profile, which is every first start for a new user.
constexpr int kOfficeAsksForRestart = 81;

bool processRunning(pid_t pid, int* exitStatus = nullptr)
{
    if (pid <= 0)
        return false;
    int status = 0;
    const pid_t ended = waitpid(pid, &status, WNOHANG);
    if (ended == pid && exitStatus)
        *exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return ended == 0;
}

// Waits for the process to end; true when it did within the time.
bool waitForExit(pid_t pid, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if (!processRunning(pid))
            return true;
        QThread::msleep(50);
    }
    return !processRunning(pid);
}

void shutdownAtExit()
{
    OfficeConnection::instance().shutdown();
}

} // namespace

class BridgeDisposeListener : public cppu::WeakImplHelper1<lang::XEventListener>
{
public:
    explicit BridgeDisposeListener(OfficeConnection* connection) : connection(connection) {}
    void SAL_CALL disposing(const lang::EventObject&) override { connection->bridgeDisposed = true; }

private:
    OfficeConnection* connection;
};

OfficeConnection& OfficeConnection::instance()
{
    static OfficeConnection* connection = new OfficeConnection; // lives until the process ends
    return *connection;
}

OfficeConnection::CallGuard::CallGuard()
{
    OfficeConnection::instance().enterCall();
}

OfficeConnection::CallGuard::~CallGuard()
{
    OfficeConnection::instance().leaveCall();
}

void OfficeConnection::setCallTimeout(std::chrono::milliseconds limit)
{
    std::lock_guard<std::mutex> lock(watchMutex);
    callTimeout = limit;
}

void OfficeConnection::enterCall()
{
    std::lock_guard<std::mutex> lock(watchMutex);
    if (callDepth++ > 0)
        return;
    callRunning = true;
    callDeadline = std::chrono::steady_clock::now() + callTimeout;
    // One watcher for the program's life (a detached thread is no longer joinable, so a flag
    // tells that it runs).
    if (!watcherStarted) {
        watcherStarted = true;
        std::thread([this] { watchCalls(); }).detach();
    }
    watchWake.notify_one();
}

void OfficeConnection::leaveCall()
{
    std::lock_guard<std::mutex> lock(watchMutex);
    if (--callDepth > 0)
        return;
    callRunning = false;
    watchWake.notify_one();
}

void OfficeConnection::watchCalls()
{
    std::unique_lock<std::mutex> lock(watchMutex);
    for (;;) {
        watchWake.wait(lock, [this] { return callRunning; });
        const auto deadline = callDeadline;
        if (watchWake.wait_until(lock, deadline, [this, deadline] { return !callRunning || callDeadline != deadline; }))
            continue;
        // The office is stuck (or stopped): killing its group breaks the bridge, and the
        // blocked call returns with a failure.
        const pid_t stuck = officePid;
        if (stuck > 0) {
            stoppedAnswering = true;
            bridgeDisposed = true;
            killpg(stuck, SIGKILL);
        }
        callRunning = false;
    }
}

bool OfficeConnection::tuned()
{
    return qEnvironmentVariableIsEmpty("KIVEXCEL_OFFICE_PLAIN");
}

bool OfficeConnection::isAlive() const
{
    return desktopRef.is() && !bridgeDisposed && processRunning(officePid);
}

void OfficeConnection::markDead()
{
    bridgeDisposed = true;
}

uno::Reference<frame::XDesktop2> OfficeConnection::desktop()
{
    if (!isAlive()) {
        stopProcess();
        if (!start())
            stopProcess();
    }
    return desktopRef;
}

QString OfficeConnection::reserveProfileFolder()
{
    // A private profile of our own, so an office the user runs is never touched; one per
    // running program, reused across runs so the office starts quickly.
    const QString base = joinPath(localDataFolder(), QStringLiteral("office"));
    QDir().mkpath(base);
    for (int n = 0; n < kMaxProfiles; ++n) {
        auto lock = new QLockFile(joinPath(base, QStringLiteral("profile-%1.lock").arg(n)));
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            profileLock = lock;
            return joinPath(base, QStringLiteral("profile-%1").arg(n));
        }
        delete lock;
    }
    return QString();
}

bool OfficeConnection::start()
{
    // An office that dies while we write to its pipe must fail that call, not end this program.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        if (!localContext.is()) {
            rtl::Bootstrap::set("URE_BOOTSTRAP", "vnd.sun.star.pathname:" KIVEXCEL_OFFICE_PROGRAM_DIR "/fundamentalrc");
            localContext = cppu::defaultBootstrap_InitialComponentContext();
        }
    } catch (...) {
        return false;
    }
    static QString profileFolder;
    if (profileFolder.isEmpty())
        profileFolder = reserveProfileFolder();
    if (profileFolder.isEmpty() || !QDir().mkpath(profileFolder)) {
        startFailure = QStringLiteral("no office profile can be made in %1")
                           .arg(joinPath(localDataFolder(), QStringLiteral("office")));
        return false;
    }
    QDir().mkpath(profileFolder);
    // Our own lock guards the profile; a lock the office left when it was killed must not stop it.
    QFile::remove(joinPath(profileFolder, QStringLiteral("user/.lock")));
    QFile::remove(joinPath(profileFolder, QStringLiteral(".lock")));

    profileUrl = QUrl::fromLocalFile(profileFolder).toString(QUrl::FullyEncoded);
    stoppedAnswering = false;
    ++startCount;
    // A first start on a machine or profile does more (the profile, the font caches) and may fail
    // where the next one holds: once more, with the reason kept.
    if (!launch()) {
        qWarning("The office did not start (%s); starting it once more", qPrintable(startFailure));
        stopProcess();
        if (!launch()) {
            qWarning("The office did not start: %s", qPrintable(startFailure));
            return false;
        }
    }
    startFailure.clear();
    recordOfficeVersion();
    childWindowsHidden = true;
    try {
        DocumentView::keepChildWindowsHidden(remoteContext);
    } catch (const uno::Exception&) {
        // Views are then not shown (see WorkbookNode), and the loss check still guards a save.
        childWindowsHidden = false;
    }
    static bool exitHookInstalled = false;
    if (!exitHookInstalled) {
        exitHookInstalled = true;
        if (QCoreApplication::instance())
            qAddPostRoutine(shutdownAtExit);
        std::atexit(shutdownAtExit);
    }
    return true;
}

bool OfficeConnection::launch()
{
    const QString pipeName =
        QStringLiteral("kivexcel-%1-%2-%3").arg(getpid()).arg(startCount).arg(QDateTime::currentMSecsSinceEpoch());
    if (!spawnOffice(pipeName, profileUrl)) {
        startFailure = QStringLiteral("the office program could not be run");
        return false;
    }
    // We start soffice.bin directly, so we restart it as its launcher would: after making a new
    // profile it asks for a restart, which may come after it has taken the connection.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (connectBridge(pipeName) && answers())
            return true;
        if (lastExitStatus != kOfficeAsksForRestart || attempt > 0)
            break;
        stopProcess();
        if (!spawnOffice(pipeName, profileUrl)) {
            startFailure = QStringLiteral("the office program could not be run again");
            return false;
        }
    }
    startFailure = whyNotStarted();
    return false;
}

// Whether the office just connected takes a call and is still running afterwards.
bool OfficeConnection::answers()
{
    try {
        desktopRef->getComponents();
    } catch (...) {}
    QThread::msleep(50);
    return processRunning(officePid, &lastExitStatus) && !bridgeDisposed;
}

// The office's exit status, or that it did not answer, and the last lines it wrote.
QString OfficeConnection::whyNotStarted() const
{
    QString why = lastExitStatus >= 0 ? QStringLiteral("the office ended with status %1").arg(lastExitStatus)
                  : processRunning(officePid)
                      ? QStringLiteral("the office did not answer within %1 s").arg(kConnectTimeoutMs / 1000)
                      : QStringLiteral("the office ended");
    QFile output(outputLogPath());
    if (output.open(QIODevice::ReadOnly)) {
        const QStringList lines = QString::fromLocal8Bit(output.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (!lines.isEmpty())
            why += QStringLiteral("; its last output: ")
                   + lines.mid(qMax(0, lines.size() - 5)).join(QStringLiteral(" | "));
    }
    return why;
}

QString OfficeConnection::outputLogPath() const
{
    return QDir(QUrl(profileUrl).toLocalFile()).filePath(QStringLiteral("office-output.log"));
}

bool OfficeConnection::spawnOffice(const QString& pipeName, const QString& profileUrl)
{
    // Threads of the office's import and export each get a malloc arena of their own, and what
    // they free stays with their arena: after one save the office holds twice the memory it
    // needs. With one arena, later work reuses it.
    const bool oneArena = tuned() && qEnvironmentVariableIsEmpty("MALLOC_ARENA_MAX");
    const QByteArray fontConfiguration = OfficeFonts::writeConfiguration(QUrl(profileUrl).toLocalFile()).toLocal8Bit();
    const std::vector<std::string> arguments = {
        // soffice.bin itself: the soffice script runs a launcher that forks the office, and the
        // office would outlive us as the launcher's child.
        KIVEXCEL_OFFICE_PROGRAM_DIR "/soffice.bin",
        "--headless",
        "--invisible",
        "--nologo",
        "--norestore",
        "--nodefault",
        "--nofirststartwizard",
        ("--accept=pipe,name=" + pipeName + ";urp;StarOffice.ComponentContext").toStdString(),
        ("-env:UserInstallation=" + profileUrl).toStdString(),
    };
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    // What the office writes is kept for a start that fails (see whyNotStarted).
    const QByteArray outputLog = QFile::encodeName(outputLogPath());

    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        // Own process group, so the office and anything it starts end together.
        setsid();
        // The office ends with this program however the program ends (kill -9 included). The
        // signal comes when the forking thread ends: offices are started from the main thread.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        setenv("SAL_ENABLE_FILE_LOCKING", "1", 1); // as the soffice script sets it
        if (oneArena)
            setenv("MALLOC_ARENA_MAX", "1", 1);
        if (!fontConfiguration.isEmpty())
            setenv("FONTCONFIG_FILE", fontConfiguration.constData(), 1);
        const int devNull = open("/dev/null", O_RDWR);
        if (devNull >= 0)
            dup2(devNull, STDIN_FILENO);
        const int output = open(outputLog.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (output >= 0 || devNull >= 0) {
            dup2(output >= 0 ? output : devNull, STDOUT_FILENO);
            dup2(output >= 0 ? output : devNull, STDERR_FILENO);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    officePid = pid;
    return true;
}

bool OfficeConnection::connectBridge(const QString& pipeName)
{
    const OUString connectDescription = toOUString(QStringLiteral("pipe,name=") + pipeName);
    lastExitStatus = -1;
    for (int waited = 0; waited < kConnectTimeoutMs; waited += 100) {
        if (!processRunning(officePid, &lastExitStatus))
            return false;
        try {
            uno::Reference<connection::XConnection> link =
                connection::Connector::create(localContext)->connect(connectDescription);
            uno::Reference<bridge::XBridge> newBridge =
                bridge::BridgeFactory::create(localContext)->createBridge("", "urp", link, nullptr);
            bridgeDisposed = false;
            uno::Reference<lang::XComponent>(newBridge, uno::UNO_QUERY_THROW)
                ->addEventListener(new BridgeDisposeListener(this));
            remoteContext.set(newBridge->getInstance("StarOffice.ComponentContext"), uno::UNO_QUERY_THROW);
            desktopRef = frame::Desktop::create(remoteContext);
            bridge = newBridge;
            return true;
        } catch (const connection::NoConnectException&) {
            QThread::msleep(100);
        } catch (...) {
            return false;
        }
    }
    return false;
}

// The office draws its graphics self-tests (into bitmaps of 4096 x 4096: a second's work and some
// 130 MB at its start) whenever its profile does not record the version that last ran, and only
// a window it shows records it. Recorded here, later starts of the profile skip them.
void OfficeConnection::recordOfficeVersion()
{
    if (!tuned())
        return;
    try {
        const uno::Reference<lang::XMultiServiceFactory> provider =
            configuration::theDefaultProvider::get(remoteContext);
        uno::Sequence<uno::Any> node(1);
        node.getArray()[0] <<= beans::NamedValue("nodepath", uno::Any(OUString("/org.openoffice.Setup/Product")));
        const uno::Reference<container::XNameAccess> product(
            provider->createInstanceWithArguments("com.sun.star.configuration.ConfigurationUpdateAccess", node),
            uno::UNO_QUERY_THROW);
        OUString version, lastVersion;
        product->getByName("ooSetupVersion") >>= version;
        product->getByName("ooSetupLastVersion") >>= lastVersion;
        if (version.isEmpty() || version == lastVersion)
            return;
        uno::Reference<container::XNameReplace>(product, uno::UNO_QUERY_THROW)
            ->replaceByName("ooSetupLastVersion", uno::Any(version));
        uno::Reference<util::XChangesBatch>(product, uno::UNO_QUERY_THROW)->commitChanges();
        // Written now: an office that is killed never writes its settings.
        uno::Reference<util::XFlushable> flushable(provider, uno::UNO_QUERY);
        if (flushable.is())
            flushable->flush();
    } catch (const uno::Exception&) {
        // The self-tests run again at the next start; nothing else depends on this.
    }
}

void OfficeConnection::stopProcess()
{
    desktopRef.clear();
    remoteContext.clear();
    if (bridge.is()) {
        try {
            uno::Reference<lang::XComponent>(bridge, uno::UNO_QUERY_THROW)->dispose();
        } catch (...) {}
        bridge.clear();
    }
    bridgeDisposed = true;
    if (officePid > 0) {
        killpg(officePid, SIGTERM);
        if (!waitForExit(officePid, 3000))
            killpg(officePid, SIGKILL);
        waitForExit(officePid, 2000);
        killpg(officePid, SIGKILL); // leftovers of the group, should the leader have gone first
    }
    officePid = 0;
    removeLocksOfDeadOffice();
}

void OfficeConnection::removeLocksOfDeadOffice()
{
    // Only locks that name our own profile: a lock of another user's office stays.
    for (const QString& url : qAsConst(openDocumentUrls)) {
        const QFileInfo document(QUrl(url).toLocalFile());
        QFile lock(document.dir().filePath(QStringLiteral(".~lock.") + document.fileName() + QLatin1Char('#')));
        if (lock.open(QIODevice::ReadOnly) && QString::fromUtf8(lock.readAll()).contains(profileUrl)) {
            lock.close();
            lock.remove();
        }
    }
    openDocumentUrls.clear();
}

void OfficeConnection::shutdown()
{
    if (officePid <= 0)
        return;
    if (isAlive()) {
        uno::Reference<frame::XDesktop2> ending = desktopRef;
        try {
            ending->terminate();
        } catch (...) {}
        bridgeDisposed = true;
        desktopRef.clear();
        remoteContext.clear();
        waitForExit(officePid, 5000);
    }
    stopProcess();
    delete profileLock;
    profileLock = nullptr;
}
