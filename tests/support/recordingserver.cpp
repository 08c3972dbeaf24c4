#include "recordingserver.h"

namespace {

QString describe(const QVariantList& args)
{
    QStringList parts;
    for (const QVariant& arg : args)
        parts.append(arg.canConvert<AutomationHandle>() ? QStringLiteral("<object>") : arg.toString());
    return parts.join(QLatin1Char(','));
}

class RecordingNode : public AutomationNode
{
public:
    RecordingNode(std::shared_ptr<RecordingLog> log, QString path) : log(std::move(log)), path(std::move(path)) {}

    AutomationNodePtr subObject(const QString& member, const QVariantList& args, AutomationError&) override
    {
        const QString subPath = path + QLatin1Char('.') + member;
        if (!args.isEmpty())
            log->calls.append(subPath + QLatin1Char('(') + describe(args) + QLatin1Char(')'));
        return std::make_shared<RecordingNode>(log, subPath);
    }

    QVariant call(const QString& member, const QVariantList& args, AutomationError&) override
    {
        log->calls.append(path + QLatin1Char('.') + member + QLatin1Char('(') + describe(args) + QLatin1Char(')'));
        return QVariant();
    }

    QVariant property(const QString& name, AutomationError&) override
    {
        if (name == QLatin1String("Version"))
            return log->version;
        if (name == QLatin1String("Count"))
            return log->worksheetCount;
        return QVariant();
    }

    void setProperty(const QString& name, const QVariant& value, AutomationError&) override
    {
        log->calls.append(path + QLatin1Char('.') + name + QLatin1Char('=') + value.toString());
    }

private:
    std::shared_ptr<RecordingLog> log;
    QString path;
};

} // namespace

RecordingServer::RecordingServer(const QString& progId) : log(std::make_shared<RecordingLog>()), progId(progId)
{
    auto shared = log;
    AutomationRegistry::registerServer(progId, [shared] {
        return std::make_shared<RecordingNode>(shared, QStringLiteral("app"));
    });
}

RecordingServer::~RecordingServer()
{
    AutomationRegistry::unregisterServer(progId);
}
