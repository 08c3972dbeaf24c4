#include "cli/shareprocesses.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

ShareProcesses::ShareProcesses(const SheetFilesRequest& request) : request(request) {}

ShareProcesses::~ShareProcesses()
{
    for (const std::unique_ptr<QProcess>& process : processes)
        process->waitForFinished(-1);
}

void ShareProcesses::start(int shares)
{
    for (int k = 1; k < shares; ++k) {
        QStringList arguments = {
            QStringLiteral("split-sheets"), request.workbookPath,
            QStringLiteral("--out"),        request.outputFolder,
            QStringLiteral("--format"),     request.format.isEmpty() ? QStringLiteral("same") : request.format,
            QStringLiteral("--share"),      QStringLiteral("%1/%2").arg(k + 1).arg(shares),
            QStringLiteral("--json"),       QStringLiteral("--quiet")};
        if (request.skipHidden)
            arguments << QStringLiteral("--skip-hidden");
        if (request.keepBrokenFormulas)
            arguments << QStringLiteral("--keep-broken-formulas");
        for (const QString& sheet : request.onlySheets)
            arguments << QStringLiteral("--only-sheet") << sheet;
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processes.back()->start(QCoreApplication::applicationFilePath(), arguments);
    }
}

QList<SheetShare> ShareProcesses::collect()
{
    QList<SheetShare> shares;
    for (const std::unique_ptr<QProcess>& process : processes) {
        process->waitForFinished(-1);
        SheetShare share;
        share.reported = false;
        for (const QByteArray& line : process->readAllStandardOutput().split('\n')) {
            const QJsonArray plan = QJsonDocument::fromJson(line).object().value(QStringLiteral("plan")).toArray();
            if (!plan.isEmpty())
                share = SheetShare::fromMap(plan.first().toObject().toVariantMap());
        }
        shares.append(share);
    }
    processes.clear();
    return shares;
}
