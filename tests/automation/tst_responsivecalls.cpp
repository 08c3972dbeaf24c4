// A long office call never freezes the windows: while it runs, the GUI thread keeps painting and
// its timers fire; calls still run one at a time in the order they were made.
#include "automation/axobject.h"

#include <QApplication>
#include <QMutex>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <QtTest>

namespace {

// A server object whose "Wait(ms)" takes that long and logs when it starts and ends.
class SlowNode : public AutomationNode
{
public:
    explicit SlowNode(std::shared_ptr<QStringList> log) : log(std::move(log)) {}
    AutomationNodePtr subObject(const QString&, const QVariantList&, AutomationError&) override { return nullptr; }
    QVariant call(const QString& member, const QVariantList& args, AutomationError& error) override
    {
        if (member != QLatin1String("Wait")) {
            error.description = QStringLiteral("no such member");
            return {};
        }
        append(QStringLiteral("start %1").arg(args.value(0).toInt()));
        QThread::msleep(args.value(0).toUInt());
        append(QStringLiteral("end %1").arg(args.value(0).toInt()));
        return args.value(0).toInt() * 2;
    }
    QVariant property(const QString&, AutomationError&) override { return QThread::currentThread() == qApp->thread(); }
    void setProperty(const QString&, const QVariant&, AutomationError&) override {}

private:
    void append(const QString& entry)
    {
        const QMutexLocker lock(&mutex);
        log->append(entry);
    }
    std::shared_ptr<QStringList> log;
    QMutex mutex;
};

} // namespace

class ResponsiveCallsTest : public QObject
{
    Q_OBJECT
private:
    std::shared_ptr<QStringList> log = std::make_shared<QStringList>();
    std::unique_ptr<AxObject> slowObject()
    {
        log->clear();
        return std::make_unique<AxObject>(std::make_shared<SlowNode>(log), nullptr);
    }

private slots:
    void theGuiThreadTurnsDuringALongCall()
    {
        auto object = slowObject();
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start(50);
        QCOMPARE(object->dynamicCall("Wait(int)", 1000).toInt(), 2000);
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
        // Quick calls keep their answer and never leave the GUI thread waiting long.
        QCOMPARE(object->dynamicCall("Wait(int)", 1).toInt(), 2);
        QVERIFY(!object->property("OnGuiThread").toBool());
    }

    // A call started while another waits (from a timer, say) runs after it, never beside it.
    void callsStayInOrder()
    {
        auto object = slowObject();
        QVariant nested;
        QTimer::singleShot(100, [&] { nested = object->dynamicCall("Wait(int)", 50); });
        QCOMPARE(object->dynamicCall("Wait(int)", 500).toInt(), 1000);
        QTRY_COMPARE(nested.toInt(), 100);
        QCOMPARE(*log, QStringList({"start 500", "end 500", "start 50", "end 50"}));
    }

    // The progress dialog's 取消 is taken while a call runs; the run sees it right after the call.
    void cancelArrivesDuringACall()
    {
        auto object = slowObject();
        QProgressDialog progress(QStringLiteral("working"), QStringLiteral("取消"), 0, 10);
        progress.setWindowModality(Qt::ApplicationModal);
        progress.show();
        QVERIFY(QTest::qWaitForWindowExposed(&progress));
        int callsEndedAtCancel = -1;
        QTimer::singleShot(100, [&] {
            progress.cancel();
            callsEndedAtCancel = log->count(QStringLiteral("end 400"));
        });
        object->dynamicCall("Wait(int)", 400);
        QCOMPARE(callsEndedAtCancel, 0);
        QVERIFY(progress.wasCanceled());
    }
};

QTEST_MAIN(ResponsiveCallsTest)
#include "tst_responsivecalls.moc"
