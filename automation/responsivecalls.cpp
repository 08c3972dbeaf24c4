#include "automation/responsivecalls.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

namespace {

// The one thread that runs the GUI thread's office calls, started on the first one. It lives as
// long as the program: an office started from it would end with it.
class CallWorker
{
public:
    static CallWorker& instance()
    {
        static CallWorker worker;
        return worker;
    }

    std::future<void> post(const std::function<void()>& call)
    {
        std::packaged_task<void()> task(call);
        std::future<void> done = task.get_future();
        {
            const std::lock_guard<std::mutex> lock(mutex);
            queue.push_back(std::move(task));
        }
        wake.notify_one();
        return done;
    }

private:
    CallWorker() : thread([this] { work(); }) {}
    ~CallWorker()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        wake.notify_one();
        thread.join();
    }

    void work()
    {
        for (;;) {
            std::packaged_task<void()> task;
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait(lock, [this] { return stopping || !queue.empty(); });
                if (queue.empty())
                    return;
                task = std::move(queue.front());
                queue.pop_front();
            }
            task();
        }
    }

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::packaged_task<void()>> queue;
    bool stopping = false;
    std::thread thread;
};

bool onGuiThread()
{
    const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return app && QThread::currentThread() == app->thread();
}

} // namespace

void ResponsiveCalls::run(const std::function<void()>& call)
{
    if (!onGuiThread()) {
        call();
        return;
    }
    std::future<void> done = CallWorker::instance().post(call);
    if (done.wait_for(std::chrono::milliseconds(kQuietMilliseconds)) == std::future_status::ready)
        return;
    while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        const QEventLoop::ProcessEventsFlags flags =
            QGuiApplication::modalWindow() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
        QCoreApplication::processEvents(flags, 10);
    }
}
