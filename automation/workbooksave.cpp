// WorkbookNode's saves: "Save", "SaveAs" and "SaveCopyAs". Each is written beside its target and
// checked before it takes the target's place (see SafeSave).

#include "automation/workbooknode.h"

#include "automation/documentpaths.h"
#include "automation/calltimer.h"
#include "automation/documentview.h"
#include "automation/propertyvalues.h"
#include "automation/safesave.h"
#include "automation/sheetcalculation.h"
#include "automation/sheetgroupdeletion.h"
#include "fileformat/featureinventory.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <future>
#include <optional>

namespace OfficeNodes {

QVariant WorkbookNode::save(AutomationError& error)
{
    uno::Reference<frame::XStorable> storable(document->component, uno::UNO_QUERY_THROW);
    if (storable->isReadonly()) {
        fail(error, QStringLiteral("The workbook is open read-only"));
        return QVariant();
    }
    if (document->savePath.isEmpty()) {
        fail(error, QStringLiteral("The workbook has no file yet"));
        return QVariant();
    }
    document->lostFeatures.clear();
    if (!document->keepFeatures) {
        storeSafely(document->savePath, ownFilterOr(document->savePath), error);
        return QVariant();
    }
    // The file it replaces is read on another core while the office stores.
    std::future<FeatureInventory::Inventory> before =
        std::async(std::launch::async, FeatureInventory::of, document->savePath);
    storeSafely(document->savePath, ownFilterOr(document->savePath), error, [&](const QString& written) {
        document->lostFeatures = FeatureInventory::lost(before.get(), FeatureInventory::of(written));
        return std::none_of(document->lostFeatures.cbegin(), document->lostFeatures.cend(),
                            FeatureInventory::stopsASave);
    });
    return QVariant();
}

// The office writes views only from a view it shows, apart from an .xls loaded as one.
bool WorkbookNode::showsViewForStore(SafeSave::Container container) const
{
    return OfficeConnection::instance().viewsCanBeShown()
           && (container == SafeSave::Container::Zip || container == SafeSave::Container::Compound)
           && !DocumentView::keepsLoadedViews(document->component);
}

// The workbook's own format, as it was loaded; a workbook of no format the office writes
// takes the one its path's extension names.
QString WorkbookNode::ownFilterOr(const QString& path) const
{
    QString filter = loadFilterOf(document->component);
    SafeSave::Container container;
    if (!SafeSave::containerOfFilter(filter, container))
        filter = filterForExtension(QFileInfo(path).suffix());
    return filter;
}

// As Excel: a copy in the workbook's own format, whatever the name; the workbook stays the
// file it was.
QVariant WorkbookNode::saveCopyAs(const QString& path, AutomationError& error)
{
    const QString target = QFileInfo(path).absoluteFilePath();
    const QString canonical = QFileInfo(target).canonicalFilePath();
    const bool itself = target == document->savePath
                        || (!canonical.isEmpty()
                            && (canonical == QFileInfo(document->savePath).canonicalFilePath()
                                || canonical == QFileInfo(QUrl(document->url).toLocalFile()).canonicalFilePath()));
    if (itself) {
        fail(error, QStringLiteral("A copy cannot replace the workbook itself: ") + path);
        return QVariant();
    }
    storeSafely(target, ownFilterOr(target), error);
    return QVariant();
}

QVariant WorkbookNode::saveAs(const QString& path, AutomationError& error)
{
    const QString filter = filterForExtension(QFileInfo(path).suffix());
    if (filter.isEmpty()) {
        fail(error, QStringLiteral("Unknown workbook format: ") + path);
        return QVariant();
    }
    SafeSave::Container container;
    const bool export_ = SafeSave::containerOfFilter(filter, container)
                         && (container == SafeSave::Container::Text || container == SafeSave::Container::Pdf);
    // As Excel: a workbook saved under another name is that file from then on; an export is not.
    if (storeSafely(QFileInfo(path).absoluteFilePath(), filter, error) && !export_)
        document->savePath = QFileInfo(path).absoluteFilePath();
    return QVariant();
}

// The office writes a temporary file beside the target; only a complete file, flushed to
// disk, replaces the target, in one rename. On failure the target is left as it was.
// With accepts, the complete file replaces the target only when accepts says so.
bool WorkbookNode::storeSafely(const QString& target, const QString& filter, AutomationError& error,
                               const std::function<bool(const QString&)>& accepts)
{
    SafeSave::Container container;
    if (!SafeSave::containerOfFilter(filter, container)) {
        fail(error, QStringLiteral("Unknown workbook format: ") + target);
        return false;
    }
    // Never text (or anything else) in a file whose name says workbook.
    SafeSave::Container named;
    if (SafeSave::containerOfExtension(QFileInfo(target).suffix(), named) && named != container) {
        fail(error, QStringLiteral("Not saved: %1 would not hold what its name says").arg(target));
        return false;
    }
    const QString folder = QFileInfo(target).absolutePath();
    const QStringList officeFilesBefore = SafeSave::officeTemporaries(folder);
    const QString temporary = SafeSave::reserveTemporaryBeside(target);
    if (temporary.isEmpty()) {
        fail(error, QStringLiteral("Cannot write in the folder of ") + target);
        return false;
    }
    // The office locks the file it writes, and leaves that lock when the write fails.
    const QString temporaryLock = QFileInfo(temporary).dir().filePath(
        QStringLiteral(".~lock.") + QFileInfo(temporary).fileName() + QLatin1Char('#'));
    const auto clearLeftovers = [&] {
        QFile::remove(temporary);
        QFile::remove(temporaryLock);
        for (const QString& leftover : SafeSave::officeTemporaries(folder))
            if (!officeFilesBefore.contains(leftover))
                QFile::remove(leftover);
    };
    // CSV: comma, double quotes, UTF-8, cells as shown, formulas as their values.
    const uno::Sequence<beans::PropertyValue> arguments =
        container == SafeSave::Container::Text
            ? propertyValues(
                {propertyValue("FilterName", uno::Any(toOUString(filter))),
                 propertyValue("FilterOptions", uno::Any(OUString("44,34,76,1,,0,false,true,true,false,false"))),
                 propertyValue("Overwrite", uno::Any(true))})
            : propertyValues({propertyValue("FilterName", uno::Any(toOUString(filter))),
                              propertyValue("Overwrite", uno::Any(true))});
    try {
        const CallTimer before("  save: before the store");
        putBackPageStyles(document);
        if (document->namesBeforeMoves) {
            std::optional<CallTimer> naming(std::in_place, "  save: names moved");
            const QStringList movedNames = namesChanged(*document->namesBeforeMoves, namedPlaces(document->document));
            naming.reset();
            const CallTimer searching("  save: formulas compiled again");
            // The office's search of every formula costs about a second for 100,000 of them.
            if (!movedNames.isEmpty() || !noFormulaCompiledAgain(*document))
                SheetCalculation::calculateRecompiledFormulas(document->component, movedNames);
        }
    } catch (...) {
        clearLeftovers();
        throw;
    }
    try {
        std::optional<DocumentView::ShownForStore> shown;
        if (showsViewForStore(container)) {
            const CallTimer showing("  save: showing the view");
            shown.emplace(document->component);
        }
        const CallTimer storing("  save: the office's store");
        uno::Reference<frame::XStorable>(document->component, uno::UNO_QUERY_THROW)
            ->storeToURL(toOUString(pathToUrl(temporary)), arguments);
    } catch (...) {
        clearLeftovers();
        throw;
    }
    QString why;
    // Excel reads a CSV as UTF-8 only when it starts with a byte-order mark.
    if (container == SafeSave::Container::Text && !SafeSave::prependUtf8Bom(temporary)) {
        clearLeftovers();
        fail(error, QStringLiteral("Not saved (cannot finish the text file); %1 was left as it was").arg(target));
        return false;
    }
    std::optional<CallTimer> checking(std::in_place, "  save: checking the written file");
    if (!SafeSave::isComplete(temporary, container, &why)) {
        clearLeftovers();
        fail(error, QStringLiteral("The written file is incomplete (%1); %2 was left as it was").arg(why, target));
        return false;
    }
    checking.reset();
    std::optional<CallTimer> accepting(std::in_place, "  save: what the file would lose");
    if (accepts && !accepts(temporary)) {
        clearLeftovers();
        fail(error, QStringLiteral("Not saved: the file would lose what %1 has; it was left as it was").arg(target));
        return false;
    }
    accepting.reset();
    const CallTimer replacing("  save: putting it in place");
    if (!SafeSave::replaceWith(temporary, target, &why)) {
        clearLeftovers();
        fail(error, QStringLiteral("Not saved (%1); %2 was left as it was").arg(why, target));
        return false;
    }
    QFile::remove(temporaryLock);
    if (target == document->savePath) {
        document->diskStamp = diskStampOf(target);
        uno::Reference<util::XModifiable> modifiable(document->component, uno::UNO_QUERY);
        if (modifiable.is())
            modifiable->setModified(false);
    }
    return true;
}

QString WorkbookNode::filterForExtension(const QString& suffix)
{
    const QString lower = suffix.toLower();
    if (lower == QLatin1String("xlsx"))
        return QStringLiteral("Calc MS Excel 2007 XML");
    if (lower == QLatin1String("xlsm"))
        return QStringLiteral("Calc MS Excel 2007 VBA XML");
    if (lower == QLatin1String("xls"))
        return QStringLiteral("MS Excel 97");
    if (lower == QLatin1String("ods"))
        return QStringLiteral("calc8");
    // Exports: the values as shown, one sheet a file.
    if (lower == QLatin1String("csv"))
        return QStringLiteral("Text - txt - csv (StarCalc)");
    if (lower == QLatin1String("pdf"))
        return QStringLiteral("calc_pdf_Export");
    return QString();
}

} // namespace OfficeNodes
