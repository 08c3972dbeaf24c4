#include "recordingserver.h"

namespace {

QString describe(const QVariantList& args);

class RecordingNode : public AutomationNode
{
public:
    RecordingNode(std::shared_ptr<RecordingLog> log, QString path) : log(std::move(log)), path(std::move(path)) {}

    // Where the object came from, e.g. "app.ActiveWorkBook.Sheets(Data)".
    const QString& pathOf() const { return path; }

    AutomationNodePtr subObject(const QString& member, const QVariantList& args, AutomationError&) override
    {
        QString subPath = path + QLatin1Char('.') + member;
        if (!args.isEmpty()) {
            subPath += QLatin1Char('(') + describe(args) + QLatin1Char(')');
            log->calls.append(subPath);
        }
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

// An object argument by where it came from.
QString describe(const QVariantList& args)
{
    QStringList parts;
    for (const QVariant& arg : args) {
        if (!arg.canConvert<AutomationHandle>()) {
            parts.append(arg.toString());
            continue;
        }
        const auto node = std::dynamic_pointer_cast<RecordingNode>(arg.value<AutomationHandle>().node);
        parts.append(node ? node->pathOf() : QStringLiteral("<object>"));
    }
    return parts.join(QLatin1Char(','));
}

} // namespace

RecordingServer::RecordingServer(const QString& progId) : log(std::make_shared<RecordingLog>()), progId(progId)
{
    auto shared = log;
    AutomationRegistry::registerServer(
        progId, [shared] { return std::make_shared<RecordingNode>(shared, QStringLiteral("app")); });
}

RecordingServer::~RecordingServer()
{
    AutomationRegistry::unregisterServer(progId);
}
