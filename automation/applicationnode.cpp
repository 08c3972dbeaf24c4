#include "automation/applicationnode.h"

#include "automation/documentpaths.h"
#include "automation/propertyvalues.h"
#include "automation/safesave.h"
#include "automation/sheetcalculation.h"
#include "automation/workbooknode.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace OfficeNodes {

namespace {

class WorkbooksNode : public MemberlessNode
{
public:
    explicit WorkbooksNode(ApplicationPtr application) : application(std::move(application)) {}

    AutomationNodePtr subObject(const QString& member, const QVariantList&, AutomationError& error) override
    {
        if (member != QLatin1String("Add")) {
            unknownMember(error, member);
            return nullptr;
        }
        DocumentPtr document =
            guarded<DocumentPtr>(error, [&] { return load(QStringLiteral("private:factory/scalc")); });
        if (!document) {
            if (!error.failed())
                fail(error, QStringLiteral("No new workbook"));
            return nullptr;
        }
        return adopt(document);
    }

    QVariant call(const QString& member, const QVariantList& args, AutomationError& error) override
    {
        if (member != QLatin1String("Open")) {
            unknownMember(error, member);
            return QVariant();
        }
        const QString path = args.value(0).toString();
        if (path.isEmpty() || !QFileInfo(path).isFile()) {
            fail(error, QStringLiteral("No such file: ") + path);
            return QVariant();
        }
        DocumentPtr document = guarded<DocumentPtr>(error, [&] { return openShared(pathToUrl(path)); });
        if (!document) {
            if (!error.failed())
                fail(error, QStringLiteral("Not a workbook: ") + path);
            return QVariant();
        }
        adopt(document);
        return QVariant();
    }

    QVariant property(const QString& name, AutomationError& error) override
    {
        if (name == QLatin1String("Count"))
            return application->openedWorkbooks.size();
        unknownMember(error, name);
        return QVariant();
    }

private:
    AutomationNodePtr adopt(const DocumentPtr& document)
    {
        if (!application->openedWorkbooks.contains(document)) {
            application->openedWorkbooks.append(document);
            ++document->users;
        }
        application->activeWorkbook = document;
        return std::make_shared<WorkbookNode>(application, document);
    }

    // Two links on one file share its copy in the office only while that copy is the file:
    // unchanged since it was loaded or saved, the file unchanged on disk meanwhile, and
    // calculated as a fresh load would be.
    DocumentPtr openShared(const QString& url)
    {
        const QString path = QUrl(url).toLocalFile();
        if (DocumentPtr open = loadedDocuments().value(url).lock(); open && !open->closed) {
            uno::Reference<util::XModifiable> modifiable(open->component, uno::UNO_QUERY);
            if (!(modifiable.is() && modifiable->isModified()) && diskStampOf(path) == open->diskStamp
                && !SheetCalculation::keepsSavedResults(open->component))
                return open;
        }
        DocumentPtr document = load(url);
        if (document) {
            document->savePath = path;
            loadedDocuments().insert(url, document);
            OfficeConnection::instance().documentOpened(url);
        }
        return document;
    }

    // Hidden, no macros, no link updates, no questions. Anything but a spreadsheet is closed
    // again and gives no workbook. A file that cannot be opened for writing (a folder the user
    // cannot write, a file another program holds) is opened read-only.
    static DocumentPtr load(const QString& url)
    {
        const QString stamp = url.startsWith(QLatin1String("file:")) ? diskStampOf(QUrl(url).toLocalFile()) : QString();
        const PackageFormulas formulas = readBesideLoad(url, stamp);
        try {
            if (DocumentPtr document = loadWith(url, false)) {
                document->diskStamp = document->loadedStamp = stamp;
                document->packageFormulas = formulas;
                return document;
            }
        } catch (const lang::DisposedException&) {
            throw;
        } catch (const uno::Exception&) {
            if (!url.startsWith(QLatin1String("file:")) || !OfficeConnection::instance().isAlive())
                throw;
        }
        if (!url.startsWith(QLatin1String("file:")))
            return nullptr;
        DocumentPtr document = loadWith(url, true);
        if (document) {
            document->diskStamp = document->loadedStamp = stamp;
            document->packageFormulas = formulas;
        }
        return document;
    }

    // An Open XML package's formulas are read while the office loads it: a tool asks what they
    // hold before it changes the workbook, and again at the save.
    static PackageFormulas readBesideLoad(const QString& url, const QString& stamp)
    {
        const QString suffix = QFileInfo(QUrl(url).path()).suffix().toLower();
        if (stamp.isEmpty() || (suffix != QLatin1String("xlsx") && suffix != QLatin1String("xlsm")))
            return PackageFormulas();
        return PackageFormulas::readingBeside(QUrl(url).toLocalFile(), stamp);
    }

    static bool loadedAsWhatItsNameSays(const QString& url, const uno::Reference<lang::XComponent>& component)
    {
        static const QStringList workbookSuffixes = {QStringLiteral("xls"), QStringLiteral("xlsx"),
                                                     QStringLiteral("xlsm"), QStringLiteral("xlsb"),
                                                     QStringLiteral("ods")};
        if (!workbookSuffixes.contains(QFileInfo(QUrl(url).path()).suffix().toLower()))
            return true;
        return SafeSave::isWorkbookFilter(OfficeNodes::loadFilterOf(component));
    }

    static DocumentPtr loadWith(const QString& url, bool readOnly)
    {
        uno::Reference<frame::XDesktop2> desktop = OfficeConnection::instance().desktop();
        if (!desktop.is())
            return nullptr;
        uno::Sequence<beans::PropertyValue> arguments =
            propertyValues({propertyValue("Hidden", uno::Any(true)),
                            propertyValue("MacroExecutionMode", uno::Any(document::MacroExecMode::NEVER_EXECUTE)),
                            propertyValue("UpdateDocMode", uno::Any(document::UpdateDocMode::NO_UPDATE)),
                            propertyValue("Silent", uno::Any(true)), propertyValue("ReadOnly", uno::Any(readOnly))});
        // A CSV is read as the toolbox writes it (and Excel does with a byte-order mark): UTF-8.
        if (url.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
            const sal_Int32 count = arguments.getLength();
            arguments.realloc(count + 2);
            arguments[count] = propertyValue("FilterName", uno::Any(OUString("Text - txt - csv (StarCalc)")));
            arguments[count + 1] = propertyValue("FilterOptions", uno::Any(OUString("44,34,76,1")));
        }
        uno::Reference<lang::XComponent> component =
            desktop->loadComponentFromURL(toOUString(url), "_blank", 0, arguments);
        if (!component.is())
            return nullptr;
        uno::Reference<sheet::XSpreadsheetDocument> spreadsheet(component, uno::UNO_QUERY);
        // A broken workbook may be read by the office's text filter; saved in its own format, that
        // would put text into a file named as a workbook.
        if (!spreadsheet.is() || !loadedAsWhatItsNameSays(url, component)) {
            closeComponent(component);
            return nullptr;
        }
        // Nobody undoes through automation, while the records of every change (a sort keeps a copy
        // of all it moves) would stay in the office's memory until the workbook closes. A job that
        // wants undo turns it on again on the document.
        if (OfficeConnection::tuned())
            uno::Reference<beans::XPropertySet>(component, uno::UNO_QUERY_THROW)
                ->setPropertyValue("IsUndoEnabled", uno::Any(false));
        auto document = std::make_shared<DocumentState>();
        document->url = url;
        document->component = component;
        document->document = spreadsheet;
        document->values = OfficeValues(spreadsheet);
        return document;
    }

    ApplicationPtr application;
};

} // namespace

ApplicationNode::ApplicationNode() : application(std::make_shared<ApplicationState>()) {}

ApplicationNode::~ApplicationNode()
{
    // Workbooks left open by this application object are closed with it.
    const QList<DocumentPtr> open = application->openedWorkbooks;
    application->openedWorkbooks.clear();
    for (const DocumentPtr& document : open)
        releaseDocument(document);
}

AutomationNodePtr ApplicationNode::subObject(const QString& member, const QVariantList&, AutomationError& error)
{
    if (member.compare(QLatin1String("WorkBooks"), Qt::CaseInsensitive) == 0)
        return std::make_shared<WorkbooksNode>(application);
    if (member.compare(QLatin1String("ActiveWorkBook"), Qt::CaseInsensitive) == 0) {
        if (!application->activeWorkbook || application->activeWorkbook->closed)
            return nullptr;
        return std::make_shared<WorkbookNode>(application, application->activeWorkbook);
    }
    unknownMember(error, member);
    return nullptr;
}

QVariant ApplicationNode::property(const QString& name, AutomationError& error)
{
    if (name == QLatin1String("Version"))
        return QStringLiteral("16.0"); // what it opens: .xls, .xlsx (and .ods)
    if (name == QLatin1String("Visible"))
        return application->visible;
    if (name == QLatin1String("DisplayAlerts"))
        return application->displayAlerts;
    // False once the office this object was made on has died or been ended.
    if (name == QLatin1String("Ready"))
        return OfficeConnection::instance().isAlive()
               && OfficeConnection::instance().generation() == application->officeGeneration;
    // Not Excel's: whether that office was ended for not answering within the call limit.
    if (name == QLatin1String("StoppedAnswering"))
        return OfficeConnection::instance().generation() == application->officeGeneration
               && OfficeConnection::instance().endedForNotAnswering();
    unknownMember(error, name);
    return QVariant();
}

void ApplicationNode::setProperty(const QString& name, const QVariant& value, AutomationError& error)
{
    // The office runs headless: visibility is remembered, nothing is ever shown, and no
    // prompt ever blocks a call whatever DisplayAlerts says.
    if (name == QLatin1String("Visible"))
        application->visible = value.toBool();
    else if (name == QLatin1String("DisplayAlerts"))
        application->displayAlerts = value.toBool();
    else
        unknownMember(error, name);
}

} // namespace OfficeNodes
