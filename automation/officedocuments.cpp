#include "automation/officedocuments.h"

#include "automation/documentpaths.h"
#include "fileformat/formulascan.h"

#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include <QDateTime>
#include <QFileInfo>

namespace OfficeNodes {

QString diskStampOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QString();
    return QString::number(info.size()) + QLatin1Char('/') + QString::number(info.lastModified().toMSecsSinceEpoch())
           + QLatin1Char('/') + QString::number(info.metadataChangeTime().toMSecsSinceEpoch());
}

QHash<QString, std::weak_ptr<DocumentState>>& loadedDocuments()
{
    static QHash<QString, std::weak_ptr<DocumentState>> documents;
    return documents;
}

void noteLinesOrSheetsMoved(DocumentState& document, LineMove move)
{
    if (document.namesBeforeMoves) {
        if (move != LineMove::Inserted)
            document.onlyInsertsSinceFile.clear();
        return;
    }
    const bool asInFile = move == LineMove::Inserted && formulasAsInItsPackage(document);
    document.onlyInsertsSinceFile = asInFile ? document.diskStamp : QString();
    AutomationError unreadable;
    document.namesBeforeMoves = guarded<QList<NamedRange>>(unreadable, [&] { return namedPlaces(document.document); });
}

namespace {

bool loadedAsOpenXml(const DocumentState& document)
{
    const QString filter = loadFilterOf(document.component);
    return filter.startsWith(QLatin1String("Calc MS Excel 2007"))
           || filter.startsWith(QLatin1String("Calc Office Open XML"));
}

} // namespace

bool formulasAsInItsPackage(const DocumentState& document)
{
    const uno::Reference<util::XModifiable> modifiable(document.component, uno::UNO_QUERY);
    return loadedAsOpenXml(document) && modifiable.is() && !modifiable->isModified() && !document.savePath.isEmpty()
           && diskStampOf(document.savePath) == document.diskStamp;
}

bool mayHoldManualRowBreaks(const DocumentState& document)
{
    const PackageFormulas& read = document.packageFormulas;
    // What was read is the loaded file's only while that file is unchanged since.
    const bool readFromLoadedFile = read.findings.valid() && !read.stamp.isEmpty() && read.stamp == document.loadedStamp
                                    && diskStampOf(document.savePath) == read.stamp;
    return document.rowBreaksMayHaveCome || !readFromLoadedFile || !loadedAsOpenXml(document)
           || read.findings.get().rowBreaks;
}

void noteFormulasWritten(DocumentState& document)
{
    document.onlyInsertsSinceFile.clear();
}

bool noFormulaCompiledAgain(DocumentState& document)
{
    return !document.onlyInsertsSinceFile.isEmpty() && diskStampOf(document.savePath) == document.onlyInsertsSinceFile
           && !packageFindings(document).tablesOrLostReferences;
}

PackageFormulas PackageFormulas::readingBeside(const QString& path, const QString& stamp)
{
    return {stamp, std::async(std::launch::async, FormulaScan::findingsOf, path).share()};
}

FormulaScan::Findings packageFindings(DocumentState& document)
{
    const QString stamp = diskStampOf(document.savePath);
    PackageFormulas& known = document.packageFormulas;
    if (stamp.isEmpty())
        return FormulaScan::Findings();
    if (!known.findings.valid() || known.stamp != stamp)
        known = {stamp, std::async(std::launch::deferred, FormulaScan::findingsOf, document.savePath).share()};
    return known.findings.get();
}

void closeComponent(const uno::Reference<lang::XComponent>& component)
{
    uno::Reference<util::XCloseable> closeable(component, uno::UNO_QUERY);
    try {
        if (closeable.is())
            closeable->close(true);
        else
            component->dispose();
    } catch (const util::CloseVetoException&) {
        component->dispose();
    }
}

void releaseDocument(const DocumentPtr& document)
{
    if (document->closed || --document->users > 0)
        return;
    document->closed = true;
    if (loadedDocuments().value(document->url).lock() == document)
        loadedDocuments().remove(document->url);
    AutomationError ignored;
    const bool closedInOffice = guarded<bool>(ignored, [&] {
        closeComponent(document->component);
        return true;
    });
    // A close that failed (the office died) leaves the lock file: it is cleared with the office.
    if (closedInOffice)
        OfficeConnection::instance().documentClosed(document->url);
}

} // namespace OfficeNodes
