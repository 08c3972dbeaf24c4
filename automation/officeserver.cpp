#include "automation/officeserver.h"

#include "automation/featureinventory.h"
#include "automation/formulavalues.h"
#include "automation/officeconnection.h"
#include "automation/officevalues.h"
#include "automation/safesave.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/ConditionOperator.hpp>
#include <com/sun/star/sheet/XSheetConditionalEntries.hpp>
#include <com/sun/star/sheet/TablePageBreakData.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XCellRangeFormula.hpp>
#include <com/sun/star/sheet/XConditionalFormats.hpp>
#include <com/sun/star/sheet/XSheetAnnotations.hpp>
#include <com/sun/star/sheet/XSheetAnnotationsSupplier.hpp>
#include <com/sun/star/sheet/XLabelRange.hpp>
#include <com/sun/star/sheet/XLabelRanges.hpp>
#include <com/sun/star/sheet/XNamedRange.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSheetFilterable.hpp>
#include <com/sun/star/sheet/XSheetFilterDescriptor.hpp>
#include <com/sun/star/sheet/XSheetPageBreak.hpp>
#include <com/sun/star/table/TableSortField.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/util/XProtectable.hpp>
#include <com/sun/star/util/XSortable.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XDatabaseRange.hpp>
#include <com/sun/star/sheet/XDatabaseRanges.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/script/vba/XVBACompatibility.hpp>
#include <com/sun/star/sheet/XUnnamedDatabaseRanges.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <QHash>
#include <QSet>
#include <QUrl>

#include <csignal>

using namespace officeuno;
using rtl::OUString;

namespace {
// ---------------------------------------------------------------------------------------------
// Calls into the office never throw out of this file: a failure becomes an AutomationError.

template <typename Result, typename Call>
Result guarded(AutomationError& error, Call&& call)
{
    const OfficeConnection::CallGuard watched;
    try {
        return call();
    } catch (const lang::DisposedException& e) {
        OfficeConnection::instance().markDead();
        error.description = QStringLiteral("The office is gone: ") + fromOUString(e.Message);
    } catch (const uno::Exception& e) {
        error.description = QStringLiteral("Office call failed: ") + fromOUString(e.Message);
        if (!OfficeConnection::instance().isAlive())
            OfficeConnection::instance().markDead();
    } catch (const std::exception& e) {
        error.description = QStringLiteral("Office call failed: ") + QString::fromLocal8Bit(e.what());
    } catch (...) {
        error.description = QStringLiteral("Office call failed");
    }
    if (OfficeConnection::instance().endedForNotAnswering()) {
        OfficeConnection::instance().markDead();
        error.description = QStringLiteral("The office stopped answering and was ended");
    }
    return Result();
}

void fail(AutomationError& error, const QString& description)
{
    error.description = description;
}

void unknownMember(AutomationError& error, const QString& member)
{
    fail(error, QStringLiteral("Unknown member: ") + member);
}

QString pathToUrl(const QString& path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

QString urlToPath(const OUString& url)
{
    return QUrl(fromOUString(url)).toLocalFile();
}

beans::PropertyValue propertyValue(const char* name, const uno::Any& value)
{
    beans::PropertyValue property;
    property.Name = OUString::createFromAscii(name);
    property.Value = value;
    return property;
}

uno::Sequence<beans::PropertyValue> propertyValues(std::initializer_list<beans::PropertyValue> values)
{
    uno::Sequence<beans::PropertyValue> sequence(static_cast<sal_Int32>(values.size()));
    std::copy(values.begin(), values.end(), sequence.getArray());
    return sequence;
}

uno::Reference<container::XIndexAccess> sheetIndex(const uno::Reference<sheet::XSpreadsheetDocument>& document)
{
    return uno::Reference<container::XIndexAccess>(document->getSheets(), uno::UNO_QUERY_THROW);
}

int sheetPosition(const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    return uno::Reference<sheet::XCellRangeAddressable>(sheet, uno::UNO_QUERY_THROW)->getRangeAddress().Sheet;
}

QString sheetName(const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    return fromOUString(uno::Reference<container::XNamed>(sheet, uno::UNO_QUERY_THROW)->getName());
}

// The used area of a sheet from A1, as (last column, last row), 0-based.
QPair<int, int> usedAreaEnd(const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    uno::Reference<sheet::XSheetCellCursor> cursor = sheet->createCursor();
    uno::Reference<sheet::XUsedAreaCursor>(cursor, uno::UNO_QUERY_THROW)->gotoEndOfUsedArea(false);
    const table::CellRangeAddress end =
        uno::Reference<sheet::XCellRangeAddressable>(cursor, uno::UNO_QUERY_THROW)->getRangeAddress();
    return {end.EndColumn, end.EndRow};
}

// "3:5" -> (3, 5); "7" -> (7, 7); 1-based. (0, 0) when it does not read.
QPair<int, int> parseRowSpan(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() > 2)
        return {0, 0};
    bool firstOk = false, lastOk = false;
    const int first = parts.first().trimmed().toInt(&firstOk);
    const int last = parts.last().trimmed().toInt(&lastOk);
    if (!firstOk || !lastOk || first < 1 || last < first)
        return {0, 0};
    return {first, last};
}

// ---------------------------------------------------------------------------------------------
// State shared by the nodes.

struct DocumentState;
using DocumentPtr = std::shared_ptr<DocumentState>;

struct ApplicationState
{
    bool visible = true;
    bool displayAlerts = true;
    int officeGeneration = OfficeConnection::instance().generation();
    DocumentPtr activeWorkbook;
    QList<DocumentPtr> openedWorkbooks; // opened through this application and not closed yet
};
using ApplicationPtr = std::shared_ptr<ApplicationState>;

// One loaded document. Workbooks opened twice (by two application objects) share it, as one
// spreadsheet application holds a file only once.
struct DocumentState
{
    QString url;
    uno::Reference<lang::XComponent> component;
    uno::Reference<sheet::XSpreadsheetDocument> document;
    uno::Reference<sheet::XSpreadsheet> activeSheet;
    OfficeValues values;
    int users = 0;
    bool closed = false;
    QString savePath;  // where "Save" writes: the file it came from, or where "SaveAs" put it
    QString diskStamp; // the file as it was when loaded or last saved
    // Whether "Save" refuses to replace the file with one that lacks features it has, and the
    // features the last refused save would have lost.
    bool keepFeatures = false;
    QStringList lostFeatures;
    // For each sheet group deletion not yet undone, what its undo does not bring back.
    struct BeforeGroupDeletion
    {
        QStringList sheets;
        QList<QPair<table::CellRangeAddress, table::CellRangeAddress>> columnLabels, rowLabels;
    };
    QList<BeforeGroupDeletion> beforeGroupDeletions;
    // An undone deletion brings a sheet back with the default page style. Setting a sheet's page
    // style makes the office lay out its pages, so it is put back only on sheets that are saved.
    QHash<QString, QString> pageStyleBeforeDeletions; // by sheet name, as first deleted
    QSet<QString> pageStylesToPutBack;
};

// Size and change time of a file: another program's save changes it.
QString diskStampOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QString();
    return QString::number(info.size()) + QLatin1Char('/')
           + QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char('/')
           + QString::number(info.metadataChangeTime().toMSecsSinceEpoch());
}

QHash<QString, std::weak_ptr<DocumentState>>& loadedDocuments()
{
    static QHash<QString, std::weak_ptr<DocumentState>> documents;
    return documents;
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

const OUString kSheetGroupDeletion("KivExcel sheet group deletion");

using LabelRanges = QList<QPair<table::CellRangeAddress, table::CellRangeAddress>>;

uno::Reference<sheet::XLabelRanges> labelRangesOf(const DocumentPtr& document, const char* which)
{
    return uno::Reference<sheet::XLabelRanges>(
        uno::Reference<beans::XPropertySet>(document->document, uno::UNO_QUERY_THROW)->getPropertyValue(OUString::createFromAscii(which)),
        uno::UNO_QUERY_THROW);
}

LabelRanges readLabelRanges(const DocumentPtr& document, const char* which)
{
    LabelRanges ranges;
    uno::Reference<sheet::XLabelRanges> all = labelRangesOf(document, which);
    for (sal_Int32 i = 0; i < all->getCount(); ++i) {
        uno::Reference<sheet::XLabelRange> range(all->getByIndex(i), uno::UNO_QUERY_THROW);
        ranges.append({range->getLabelArea(), range->getDataArea()});
    }
    return ranges;
}

void writeLabelRanges(const DocumentPtr& document, const char* which, const LabelRanges& ranges)
{
    uno::Reference<sheet::XLabelRanges> all = labelRangesOf(document, which);
    while (all->getCount() > 0)
        all->removeByIndex(all->getCount() - 1);
    for (const auto& range : ranges)
        all->addNew(range.first, range.second);
}

DocumentState::BeforeGroupDeletion stateBeforeGroupDeletion(const DocumentPtr& document, const QStringList& names)
{
    DocumentState::BeforeGroupDeletion before;
    before.sheets = names;
    uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
    for (const QString& name : names) {
        if (document->pageStyleBeforeDeletions.contains(name))
            continue;
        OUString pageStyle;
        uno::Reference<beans::XPropertySet>(sheets->getByName(toOUString(name)), uno::UNO_QUERY_THROW)
                ->getPropertyValue("PageStyle") >>= pageStyle;
        document->pageStyleBeforeDeletions.insert(name, fromOUString(pageStyle));
    }
    before.columnLabels = readLabelRanges(document, "ColumnLabelRanges");
    before.rowLabels = readLabelRanges(document, "RowLabelRanges");
    return before;
}

// A sheet's deletion, undone, brings back its cells, but not its page style nor the document's
// label ranges on it.
void restoreWhatUndoMisses(const DocumentPtr& document, const DocumentState::BeforeGroupDeletion& before)
{
    for (const QString& name : before.sheets)
        document->pageStylesToPutBack.insert(name);
    if (readLabelRanges(document, "ColumnLabelRanges") != before.columnLabels)
        writeLabelRanges(document, "ColumnLabelRanges", before.columnLabels);
    if (readLabelRanges(document, "RowLabelRanges") != before.rowLabels)
        writeLabelRanges(document, "RowLabelRanges", before.rowLabels);
}

// Before a save: the page styles of the sheets an undo brought back; sheets not there now keep
// waiting.
void putBackPageStyles(const DocumentPtr& document)
{
    uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
    const QSet<QString> waiting = document->pageStylesToPutBack;
    for (const QString& name : waiting) {
        if (!sheets->hasByName(toOUString(name)))
            continue;
        uno::Reference<beans::XPropertySet> sheet(sheets->getByName(toOUString(name)), uno::UNO_QUERY_THROW);
        const uno::Any pageStyle(toOUString(document->pageStyleBeforeDeletions.value(name)));
        if (sheet->getPropertyValue("PageStyle") != pageStyle)
            sheet->setPropertyValue("PageStyle", pageStyle);
        document->pageStylesToPutBack.remove(name);
    }
}

// While it lives, the document neither redraws nor fits row heights to their text: sheets deleted
// and brought back keep the heights they had.
class QuietDocument
{
public:
    explicit QuietDocument(const DocumentPtr& document)
        : model(document->component, uno::UNO_QUERY_THROW), settings(model, uno::UNO_QUERY_THROW),
          adjustHeight(settings->getPropertyValue("IsAdjustHeightEnabled"))
    {
        settings->setPropertyValue("IsAdjustHeightEnabled", uno::Any(false));
        model->lockControllers();
    }
    ~QuietDocument()
    {
        try {
            model->unlockControllers();
            settings->setPropertyValue("IsAdjustHeightEnabled", adjustHeight);
        } catch (...) {
            // The office is gone; the next call says so.
        }
    }
    QuietDocument(const QuietDocument&) = delete;
    QuietDocument& operator=(const QuietDocument&) = delete;

private:
    uno::Reference<frame::XModel> model;
    uno::Reference<beans::XPropertySet> settings;
    uno::Any adjustHeight;
};

uno::Reference<document::XUndoManager> undoManagerOf(const DocumentPtr& document)
{
    return uno::Reference<document::XUndoManagerSupplier>(document->component, uno::UNO_QUERY_THROW)->getUndoManager();
}

// Takes back the last step; what it took back is not kept for a redo, which would hold its copy
// of the cells in the office's memory. False when there was nothing to take back.
bool undoLastStep(const DocumentPtr& document)
{
    uno::Reference<document::XUndoManager> undo = undoManagerOf(document);
    if (!undo->isUndoPossible())
        return false;
    document->activeSheet.clear();
    const bool groupDeletion = undo->getCurrentUndoActionTitle() == kSheetGroupDeletion;
    QuietDocument quiet(document);
    undo->undo();
    undo->clearRedo();
    if (groupDeletion && !document->beforeGroupDeletions.isEmpty())
        restoreWhatUndoMisses(document, document->beforeGroupDeletions.takeLast());
    return true;
}

// A node that has no member; the nodes below answer those they have.
class MemberlessNode : public AutomationNode
{
public:
    AutomationNodePtr subObject(const QString& member, const QVariantList&, AutomationError& error) override
    {
        unknownMember(error, member);
        return nullptr;
    }

    QVariant call(const QString& member, const QVariantList&, AutomationError& error) override
    {
        unknownMember(error, member);
        return QVariant();
    }

    QVariant property(const QString& name, AutomationError& error) override
    {
        unknownMember(error, name);
        return QVariant();
    }

    void setProperty(const QString& name, const QVariant&, AutomationError& error) override
    {
        unknownMember(error, name);
    }
};

// ---------------------------------------------------------------------------------------------
// A range's conditional formats: Excel's FormatConditions.Add(xlCellValue, xlEqual, "=v") marks
// the cells equal to v with the office's own "Bad" cell style (a light red fill), in one call.

class FormatConditionsNode : public MemberlessNode
{
public:
    explicit FormatConditionsNode(uno::Reference<table::XCellRange> range) : range(std::move(range)) {}

    QVariant call(const QString& member, const QVariantList& args, AutomationError& error) override
    {
        constexpr int kCellValue = 1;
        constexpr int kEqual = 3;
        if (member != QLatin1String("Add") || args.value(0).toInt() != kCellValue || args.value(1).toInt() != kEqual) {
            unknownMember(error, member);
            return QVariant();
        }
        QString formula = args.value(2).toString();
        if (formula.startsWith(QLatin1Char('=')))
            formula.remove(0, 1);
        return guarded<QVariant>(error, [&] {
            uno::Reference<beans::XPropertySet> cells(range, uno::UNO_QUERY_THROW);
            uno::Reference<sheet::XSheetConditionalEntries> entries(cells->getPropertyValue("ConditionalFormat"),
                                                                     uno::UNO_QUERY_THROW);
            uno::Sequence<beans::PropertyValue> condition(3);
            condition[0].Name = "Operator";
            condition[0].Value <<= sheet::ConditionOperator_EQUAL;
            condition[1].Name = "Formula1";
            condition[1].Value <<= toOUString(formula);
            condition[2].Name = "StyleName";
            condition[2].Value <<= OUString("Bad");
            entries->addNew(condition);
            cells->setPropertyValue("ConditionalFormat", uno::Any(entries));
            return QVariant(true);
        });
    }

private:
    uno::Reference<table::XCellRange> range;
};

// ---------------------------------------------------------------------------------------------
// Ranges: a cell, a block, whole columns or whole rows of a sheet.

enum class RangeKind { Cell, Block, Columns, Rows };

class RangeNode : public MemberlessNode
{
public:
    RangeNode(DocumentPtr document, uno::Reference<sheet::XSpreadsheet> sheet, RangeKind kind,
              uno::Reference<table::XCellRange> range, int first, int count)
        : document(std::move(document)), sheet(std::move(sheet)), kind(kind), range(std::move(range)),
          first(first), count(count)
    {
    }

    AutomationNodePtr subObject(const QString& member, const QVariantList& args, AutomationError& error) override
    {
        // The block's own columns and rows, for "Count".
        if (member == QLatin1String("Columns") && args.isEmpty())
            return std::make_shared<RangeNode>(document, sheet, RangeKind::Columns, range, first, count);
        if (member == QLatin1String("Rows") && args.isEmpty())
            return std::make_shared<RangeNode>(document, sheet, RangeKind::Rows, range, first, count);
        if (member == QLatin1String("FormatConditions"))
            return std::make_shared<FormatConditionsNode>(range);
        unknownMember(error, member);
        return nullptr;
    }

    const uno::Reference<table::XCellRange>& cellRange() const { return range; }

    QVariant call(const QString& member, const QVariantList& args, AutomationError& error) override
    {
        if (member == QLatin1String("Sort"))
            return guarded<QVariant>(error, [&] { return sortRows(args, error); });
        if (member == QLatin1String("Merge"))
            return guarded<QVariant>(error, [&] {
                uno::Reference<util::XMergeable>(range, uno::UNO_QUERY_THROW)->merge(true);
                return QVariant();
            });
        if (member == QLatin1String("Insert"))
            return guarded<QVariant>(error, [&] { return changeLines(true, error); });
        if (member == QLatin1String("Delete"))
            return guarded<QVariant>(error, [&] { return changeLines(false, error); });
        if (member == QLatin1String("AutoFilter"))
            return guarded<QVariant>(error, [&] { return autoFilter(args.value(0, 1).toInt()); });
        // Not Excel's call, but what Excel's Range.Value = Range.Value does: formulas become the
        // values they show. The number of cells changed.
        if (member == QLatin1String("KeepValues"))
            return guarded<QVariant>(error, [&] { return QVariant(FormulaValues::keepValues({range})); });
        unknownMember(error, member);
        return QVariant();
    }

    QVariant property(const QString& name, AutomationError& error) override
    {
        if (name == QLatin1String("Value"))
            return guarded<QVariant>(error, [&] { return readValue(); });
        if (name == QLatin1String("Count"))
            return guarded<QVariant>(error, [&] { return QVariant(countOf()); });
        if (name == QLatin1String("HasFormula"))
            return guarded<QVariant>(error, [&] { return QVariant(hasFormula()); });
        if (name == QLatin1String("MergeCells"))
            return guarded<QVariant>(error, [&] {
                return QVariant(bool(uno::Reference<util::XMergeable>(range, uno::UNO_QUERY_THROW)->getIsMerged()));
            });
        if (name == QLatin1String("RowHeight"))
            return guarded<QVariant>(error, [&] { return commonRowHeight(); });
        if (name == QLatin1String("Formula"))
            return guarded<QVariant>(error, [&] { return formulas(); });
        unknownMember(error, name);
        return QVariant();
    }

    void setProperty(const QString& name, const QVariant& value, AutomationError& error) override
    {
        if (name != QLatin1String("Value")) {
            unknownMember(error, name);
            return;
        }
        const bool written = guarded<bool>(error, [&] { return writeValue(value); });
        if (!written && !error.failed())
            fail(error, QStringLiteral("The value does not fit the range"));
    }

private:
    QVariant readValue()
    {
        const QList<QVariantList> rows = document->values.read(range);
        if (rows.size() == 1 && rows.first().size() == 1)
            return rows.first().first();
        QVariantList result;
        for (const QVariantList& row : rows)
            result.append(QVariant(row));
        return result;
    }

    bool writeValue(const QVariant& value)
    {
        if (kind == RangeKind::Cell && value.type() != QVariant::List) {
            document->values.writeOne(range, value);
            return true;
        }
        if (value.type() == QVariant::List)
            return document->values.write(range, value.toList());
        return document->values.fill(range, value);
    }

    // Whole columns or rows move aside (insert) or close up (remove).
    QVariant changeLines(bool insert, AutomationError& error)
    {
        uno::Reference<table::XColumnRowRange> lines(sheet, uno::UNO_QUERY_THROW);
        if (kind == RangeKind::Block || kind == RangeKind::Cell) {
            fail(error, QStringLiteral("Only whole rows or columns can be inserted or deleted"));
            return QVariant();
        }
        if (kind == RangeKind::Columns) {
            uno::Reference<table::XTableColumns> columns = lines->getColumns();
            insert ? columns->insertByIndex(first, count) : columns->removeByIndex(first, count);
        } else {
            uno::Reference<table::XTableRows> rows = lines->getRows();
            insert ? rows->insertByIndex(first, count) : rows->removeByIndex(first, count);
        }
        return QVariant();
    }

    // The filter covers the table that starts at this range's first row: every used column,
    // down to the last used row. It comes from filtering without conditions, not from adding a
    // database range: an added range makes the office recompile every formula it could not read
    // from the file (add-in calls, Table[#All]), which then show errors instead of their saved
    // values. Filtering shows every row, so rows hidden before are hidden again.
    QVariant autoFilter(int /*field*/)
    {
        const QPair<int, int> end = usedAreaEnd(sheet);
        const int top = kind == RangeKind::Rows ? first : rangeAddress().StartRow;
        const int bottom = std::max(top, end.second);
        const int sheetIndex = sheetPosition(sheet);
        uno::Reference<sheet::XUnnamedDatabaseRanges> unnamed(
            uno::Reference<beans::XPropertySet>(document->document, uno::UNO_QUERY_THROW)->getPropertyValue("UnnamedDatabaseRanges"),
            uno::UNO_QUERY_THROW);
        // With its old filter on, the sheet's own range would be passed over for a document-wide one.
        if (unnamed->hasByTable(sheetIndex))
            uno::Reference<beans::XPropertySet>(unnamed->getByTable(sheetIndex), uno::UNO_QUERY_THROW)
                ->setPropertyValue("AutoFilter", uno::Any(false));
        const uno::Reference<table::XCellRange> rowHeads =
            bottom > top ? sheet->getCellRangeByPosition(0, top + 1, 0, bottom) : uno::Reference<table::XCellRange>();
        std::vector<table::CellRangeAddress> shown;
        if (rowHeads.is())
            for (const table::CellRangeAddress& block :
                 uno::Reference<sheet::XCellRangesQuery>(rowHeads, uno::UNO_QUERY_THROW)->queryVisibleCells()->getRangeAddresses())
                shown.push_back(block);
        std::sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) { return a.StartRow < b.StartRow; });
        uno::Reference<sheet::XSheetFilterable> table(sheet->getCellRangeByPosition(0, top, std::max(0, end.first), bottom),
                                                      uno::UNO_QUERY_THROW);
        const uno::Reference<sheet::XSheetFilterDescriptor> noConditions = table->createFilterDescriptor(true);
        uno::Reference<beans::XPropertySet>(noConditions, uno::UNO_QUERY_THROW)->setPropertyValue("ContainsHeader", uno::Any(true));
        table->filter(noConditions);
        int next = top + 1;
        const auto hide = [this](int from, int to) {
            uno::Reference<table::XColumnRowRange> rows(sheet->getCellRangeByPosition(0, from, 0, to), uno::UNO_QUERY_THROW);
            uno::Reference<beans::XPropertySet>(rows->getRows(), uno::UNO_QUERY_THROW)->setPropertyValue("IsVisible", uno::Any(false));
        };
        for (const table::CellRangeAddress& block : shown) {
            if (block.StartRow > next)
                hide(next, block.StartRow - 1);
            next = block.EndRow + 1;
        }
        if (rowHeads.is() && next <= bottom)
            hide(next, bottom);
        uno::Reference<beans::XPropertySet>(unnamed->getByTable(sheetIndex), uno::UNO_QUERY_THROW)
            ->setPropertyValue("AutoFilter", uno::Any(true));
        return QVariant(true);
    }

    // Excel's Range.Sort(Key1, Order1): the rows of the block ordered by the key column
    // (1 ascending, 2 descending), formats going with the cells, no header row.
    QVariant sortRows(const QVariantList& args, AutomationError& error)
    {
        auto key = args.value(0).canConvert<AutomationHandle>()
                       ? std::dynamic_pointer_cast<RangeNode>(args.value(0).value<AutomationHandle>().node)
                       : nullptr;
        if (!key) {
            fail(error, QStringLiteral("Sort needs the key column as a range"));
            return QVariant();
        }
        const int field = uno::Reference<sheet::XCellRangeAddressable>(key->cellRange(), uno::UNO_QUERY_THROW)
                              ->getRangeAddress().StartColumn
                          - rangeAddress().StartColumn;
        table::TableSortField sortField;
        sortField.Field = field;
        sortField.IsAscending = args.value(1, 1).toInt() != 2;
        sortField.FieldType = table::TableSortFieldType_AUTOMATIC;
        uno::Sequence<table::TableSortField> fields(1);
        fields.getArray()[0] = sortField;
        const uno::Sequence<beans::PropertyValue> descriptor =
            propertyValues({propertyValue("SortFields", uno::Any(fields)),
                            propertyValue("ContainsHeader", uno::Any(false)),
                            propertyValue("IsSortColumns", uno::Any(false)),
                            propertyValue("BindFormatsToContent", uno::Any(true))});
        // Sorted through a database range of its own, so the sheet's filter range stays as it is.
        uno::Reference<sheet::XDatabaseRanges> databaseRanges(
            uno::Reference<beans::XPropertySet>(document->document, uno::UNO_QUERY_THROW)
                ->getPropertyValue("DatabaseRanges"),
            uno::UNO_QUERY_THROW);
        QString rangeName = QStringLiteral("KivExcelSort");
        for (int n = 1; databaseRanges->hasByName(toOUString(rangeName)); ++n)
            rangeName = QStringLiteral("KivExcelSort%1").arg(n);
        databaseRanges->addNewByName(toOUString(rangeName), rangeAddress());
        try {
            uno::Reference<util::XSortable>(range, uno::UNO_QUERY_THROW)->sort(descriptor);
        } catch (...) {
            databaseRanges->removeByName(toOUString(rangeName));
            throw;
        }
        databaseRanges->removeByName(toOUString(rangeName));
        return QVariant();
    }

    bool hasFormula()
    {
        uno::Reference<sheet::XSheetCellRanges> formulas =
            uno::Reference<sheet::XCellRangesQuery>(range, uno::UNO_QUERY_THROW)
                ->queryContentCells(sheet::CellFlags::FORMULA);
        return formulas->getRangeAddresses().getLength() > 0;
    }

    // Excel's RowHeight: the height (in points) the rows share, or nothing when they differ or
    // some are hidden.
    QVariant commonRowHeight()
    {
        const table::CellRangeAddress address = rangeAddress();
        const int rowCount = address.EndRow - address.StartRow + 1;
        uno::Reference<table::XColumnRowRange> lines(sheet, uno::UNO_QUERY_THROW);
        sal_Int32 firstHeight = 0;
        uno::Reference<beans::XPropertySet>(lines->getRows()->getByIndex(address.StartRow), uno::UNO_QUERY_THROW)
                ->getPropertyValue("Height")
            >>= firstHeight;
        awt::Size total;
        uno::Reference<beans::XPropertySet>(range, uno::UNO_QUERY_THROW)->getPropertyValue("Size") >>= total;
        const bool visible = uno::Reference<sheet::XCellRangesQuery>(range, uno::UNO_QUERY_THROW)
                                 ->queryVisibleCells()
                                 ->getRangeAddresses()
                                 .getLength()
                             == 1;
        // Heights are kept in finer units than they are reported in: allow the rounding.
        const qint64 difference = std::abs(qint64(firstHeight) * rowCount - total.Height);
        if (!visible || difference > rowCount / 2 + 1)
            return QVariant();
        return firstHeight * 72.0 / 2540.0;
    }

    // Excel's Formula: each cell's formula as the office writes it ("=D3*12.5"), other cells'
    // contents as typed; one text for a cell, rows of texts for a block.
    QVariant formulas()
    {
        const uno::Sequence<uno::Sequence<OUString>> rows =
            uno::Reference<sheet::XCellRangeFormula>(range, uno::UNO_QUERY_THROW)->getFormulaArray();
        QVariantList result;
        result.reserve(rows.getLength());
        for (const uno::Sequence<OUString>& row : rows) {
            QVariantList texts;
            texts.reserve(row.getLength());
            for (const OUString& text : row)
                texts.append(fromOUString(text));
            result.append(QVariant(texts));
        }
        if (result.size() == 1 && result.first().toList().size() == 1)
            return result.first().toList().first();
        return result;
    }

    int countOf()
    {
        const table::CellRangeAddress address = rangeAddress();
        if (kind == RangeKind::Rows)
            return address.EndRow - address.StartRow + 1;
        if (kind == RangeKind::Columns)
            return address.EndColumn - address.StartColumn + 1;
        return (address.EndRow - address.StartRow + 1) * (address.EndColumn - address.StartColumn + 1);
    }

    table::CellRangeAddress rangeAddress()
    {
        return uno::Reference<sheet::XCellRangeAddressable>(range, uno::UNO_QUERY_THROW)->getRangeAddress();
    }

    DocumentPtr document;
    uno::Reference<sheet::XSpreadsheet> sheet;
    RangeKind kind;
    uno::Reference<table::XCellRange> range;
    int first; // 0-based first column or row of whole-line ranges
    int count;
};

// A collection asked only for its "Count".
class CountNode : public MemberlessNode
{
public:
    explicit CountNode(int count) : count(count) {}

    QVariant property(const QString& name, AutomationError& error) override
    {
        if (name == QLatin1String("Count"))
            return count;
        unknownMember(error, name);
        return QVariant();
    }

private:
    int count;
};

// The workbook's "Names", as Excel lists them: every name with what it refers to ("=0.13",
// "=$Sheet1.$A$1:$A$3"); a sheet's own names as "Sheet1!name". Read once, when asked for.
class NamesNode : public MemberlessNode
{
public:
    explicit NamesNode(const uno::Reference<sheet::XSpreadsheetDocument>& document)
    {
        addNames(uno::Reference<beans::XPropertySet>(document, uno::UNO_QUERY_THROW), QString());
        uno::Reference<container::XIndexAccess> sheets(document->getSheets(), uno::UNO_QUERY_THROW);
        for (sal_Int32 i = 0; i < sheets->getCount(); ++i) {
            uno::Reference<beans::XPropertySet> sheet(sheets->getByIndex(i), uno::UNO_QUERY_THROW);
            addNames(sheet, sheetName(uno::Reference<sheet::XSpreadsheet>(sheet, uno::UNO_QUERY_THROW)) + QLatin1Char('!'));
        }
    }

    AutomationNodePtr subObject(const QString& member, const QVariantList& args, AutomationError& error) override
    {
        const int index = args.value(0).toInt();
        if (member != QLatin1String("Item") || index < 1 || index > entries.size()) {
            unknownMember(error, member);
            return nullptr;
        }
        return std::make_shared<NameNode>(entries.at(index - 1));
    }

    QVariant property(const QString& name, AutomationError& error) override
    {
        if (name == QLatin1String("Count"))
            return int(entries.size());
        unknownMember(error, name);
        return QVariant();
    }

private:
    using Entry = QPair<QString, QString>; // name, what it refers to

    class NameNode : public MemberlessNode
    {
    public:
        explicit NameNode(Entry entry) : entry(std::move(entry)) {}
        QVariant property(const QString& name, AutomationError& error) override
        {
            if (name == QLatin1String("Name"))
                return entry.first;
            if (name == QLatin1String("RefersTo"))
                return entry.second;
            unknownMember(error, name);
            return QVariant();
        }

    private:
        Entry entry;
    };

    void addNames(const uno::Reference<beans::XPropertySet>& owner, const QString& prefix)
    {
        uno::Reference<container::XIndexAccess> names(owner->getPropertyValue("NamedRanges"), uno::UNO_QUERY_THROW);
        for (sal_Int32 i = 0; i < names->getCount(); ++i) {
            uno::Reference<sheet::XNamedRange> range(names->getByIndex(i), uno::UNO_QUERY_THROW);
            const QString name = fromOUString(uno::Reference<container::XNamed>(range, uno::UNO_QUERY_THROW)->getName());
            entries.append({prefix + name, QLatin1Char('=') + fromOUString(range->getContent())});
        }
    }

    QList<Entry> entries;
};

// A node whose one member is "Delete".
class DeletableNode : public MemberlessNode
{
public:
    QVariant call(const QString& member, const QVariantList&, AutomationError& error) override
    {
        if (member == QLatin1String("Delete"))
            return guarded<QVariant>(error, [&] { return remove(); });
        unknownMember(error, member);
        return QVariant();
    }

protected:
    virtual QVariant remove() = 0;
};

// Several row areas at once, as Excel's Range("3:5,8:9") names them: deleted in one call.
class RowAreasNode : public DeletableNode
{
public:
    RowAreasNode(uno::Reference<frame::XModel> model, uno::Reference<sheet::XSpreadsheet> sheet,
                 QList<QPair<int, int>> areas)
        : model(std::move(model)), sheet(std::move(sheet)), areas(std::move(areas))
    {
    }

private:
    // Bottom-up, so the areas still to go keep their row numbers. Undo records and row-height
    // updates cost the office more than the deletions themselves; both are off meanwhile.
    QVariant remove() override
    {
        QList<QPair<int, int>> bottomUp = areas;
        std::sort(bottomUp.begin(), bottomUp.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        uno::Reference<table::XTableRows> rows =
            uno::Reference<table::XColumnRowRange>(sheet, uno::UNO_QUERY_THROW)->getRows();
        uno::Reference<beans::XPropertySet> settings(model, uno::UNO_QUERY_THROW);
        const uno::Any undo = settings->getPropertyValue("IsUndoEnabled");
        const uno::Any adjustHeight = settings->getPropertyValue("IsAdjustHeightEnabled");
        settings->setPropertyValue("IsUndoEnabled", uno::Any(false));
        settings->setPropertyValue("IsAdjustHeightEnabled", uno::Any(false));
        model->lockControllers();
        try {
            const int rowCount = rows->getCount();
            const QVariantList lastRowLook = rowLook(rows, rowCount - 1);
            int removed = 0;
            for (const QPair<int, int>& area : bottomUp) {
                rows->removeByIndex(area.first - 1, area.second - area.first + 1);
                removed += area.second - area.first + 1;
            }
            matchRowsFromBelow(rows, rowCount, removed, lastRowLook);
        } catch (...) {
            restore(settings, undo, adjustHeight);
            throw;
        }
        restore(settings, undo, adjustHeight);
        return QVariant();
    }

    // Height, height kind and visibility of a row.
    static QVariantList rowLook(const uno::Reference<table::XTableRows>& rows, int index)
    {
        uno::Reference<beans::XPropertySet> row(rows->getByIndex(index), uno::UNO_QUERY_THROW);
        sal_Int32 height = 0;
        bool optimal = false;
        bool visible = true;
        row->getPropertyValue("Height") >>= height;
        row->getPropertyValue("OptimalHeight") >>= optimal;
        row->getPropertyValue("IsVisible") >>= visible;
        return {height, optimal, visible};
    }

    // Rows that come up from below the sheet's end have the office's own default height, not the
    // sheet's, and the saved file would then list every one of them down to the sheet's last row.
    // Rows inserted just above them take the look of the sheet's old last row instead and push
    // them out: empty rows below everything the sheet held, so references keep their targets.
    static void matchRowsFromBelow(const uno::Reference<table::XTableRows>& rows, int rowCount, int removed,
                                   const QVariantList& lastRowLook)
    {
        if (removed <= 0 || removed >= rowCount || rowLook(rows, rowCount - 1) == lastRowLook)
            return;
        try {
            rows->insertByIndex(rowCount - removed, removed);
        } catch (const lang::DisposedException&) {
            throw;
        } catch (const uno::Exception&) {
            // The rows are deleted as asked; the file only comes out larger.
        }
    }

    void restore(const uno::Reference<beans::XPropertySet>& settings, const uno::Any& undo,
                 const uno::Any& adjustHeight)
    {
        model->unlockControllers();
        settings->setPropertyValue("IsAdjustHeightEnabled", adjustHeight);
        settings->setPropertyValue("IsUndoEnabled", undo);
    }

    uno::Reference<frame::XModel> model;
    uno::Reference<sheet::XSpreadsheet> sheet;
    QList<QPair<int, int>> areas;
};

// "3:5,8:9,12:12" -> the areas, 1-based; empty when the text names anything else.
QList<QPair<int, int>> parseRowAreas(const QString& address)
{
    QList<QPair<int, int>> areas;
    for (const QString& part : address.split(QLatin1Char(','))) {
        if (!part.contains(QLatin1Char(':')))
            return {};
        const QPair<int, int> span = parseRowSpan(part);
        if (span.first < 1)
            return {};
        areas.append(span);
    }
    return areas;
}

// ---------------------------------------------------------------------------------------------

class WorksheetNode : public MemberlessNode
{
public:
    WorksheetNode(DocumentPtr document, uno::Reference<sheet::XSpreadsheet> sheet)
        : document(std::move(document)), sheet(std::move(sheet))
    {
    }

    uno::Reference<sheet::XSpreadsheet> spreadsheet() const { return sheet; }

    AutomationNodePtr subObject(const QString& member, const QVariantList& args, AutomationError& error) override
    {
        return guarded<AutomationNodePtr>(error, [&]() -> AutomationNodePtr {
            if (member == QLatin1String("Cells"))
                return cells(args, error);
            if (member == QLatin1String("Columns"))
                return columns(args, error);
            if (member == QLatin1String("Rows"))
                return rows(args, error);
            if (member == QLatin1String("Range"))
                return range(args.value(0).toString());
            if (member == QLatin1String("Comments") || member == QLatin1String("Shapes")
                || member == QLatin1String("FormatConditions") || member == QLatin1String("HPageBreaks"))
                return std::make_shared<CountNode>(countOfSheetParts(member));
            if (member == QLatin1String("UsedRange")) {
                const QPair<int, int> end = usedAreaEnd(sheet);
                return block(sheet->getCellRangeByPosition(0, 0, end.first, end.second));
            }
            unknownMember(error, member);
            return nullptr;
        });
    }

    QVariant call(const QString& member, const QVariantList& args, AutomationError& error) override
    {
        if (member == QLatin1String("Copy"))
            return guarded<QVariant>(error, [&] { return copyBefore(args.value(0), error); });
        if (member == QLatin1String("Delete"))
            return guarded<QVariant>(error, [&] { return remove(); });
        unknownMember(error, member);
        return QVariant();
    }

    QVariant property(const QString& name, AutomationError& error) override
    {
        if (name == QLatin1String("Name"))
            return guarded<QVariant>(error, [&] { return QVariant(sheetName(sheet)); });
        if (name == QLatin1String("Index"))
            return guarded<QVariant>(error, [&] { return QVariant(sheetPosition(sheet) + 1); });
        if (name == QLatin1String("ProtectContents"))
            return guarded<QVariant>(error, [&] {
                return QVariant(bool(uno::Reference<util::XProtectable>(sheet, uno::UNO_QUERY_THROW)->isProtected()));
            });
        // Excel's xlSheetVisible (-1) or xlSheetHidden (0).
        if (name == QLatin1String("Visible"))
            return guarded<QVariant>(error, [&] {
                uno::Reference<beans::XPropertySet> properties(sheet, uno::UNO_QUERY_THROW);
                return QVariant(properties->getPropertyValue("IsVisible").get<bool>() ? -1 : 0);
            });
        unknownMember(error, name);
        return QVariant();
    }

    void setProperty(const QString& name, const QVariant& value, AutomationError& error) override
    {
        if (name != QLatin1String("Name")) {
            unknownMember(error, name);
            return;
        }
        guarded<bool>(error, [&] {
            const QString wanted = value.toString();
            uno::Reference<container::XNamed>(sheet, uno::UNO_QUERY_THROW)->setName(toOUString(wanted));
            // The office keeps the old name without a word when it refuses one.
            if (sheetName(sheet) != wanted)
                fail(error, QStringLiteral("The sheet name was refused: ") + wanted);
            return true;
        });
    }

private:
    AutomationNodePtr block(const uno::Reference<table::XCellRange>& range, RangeKind kind = RangeKind::Block,
                            int first = 0, int count = 0)
    {
        return std::make_shared<RangeNode>(document, sheet, kind, range, first, count);
    }

    // Notes, drawing objects, conditional formats and manual row breaks of the sheet.
    int countOfSheetParts(const QString& member)
    {
        if (member == QLatin1String("Comments"))
            return uno::Reference<sheet::XSheetAnnotationsSupplier>(sheet, uno::UNO_QUERY_THROW)
                ->getAnnotations()
                ->getCount();
        if (member == QLatin1String("Shapes"))
            return uno::Reference<drawing::XDrawPageSupplier>(sheet, uno::UNO_QUERY_THROW)->getDrawPage()->getCount();
        if (member == QLatin1String("FormatConditions")) {
            uno::Reference<sheet::XConditionalFormats> formats(
                uno::Reference<beans::XPropertySet>(sheet, uno::UNO_QUERY_THROW)->getPropertyValue("ConditionalFormats"),
                uno::UNO_QUERY);
            return formats.is() ? formats->getLength() : 0;
        }
        int manualBreaks = 0;
        const uno::Sequence<sheet::TablePageBreakData> breaks =
            uno::Reference<sheet::XSheetPageBreak>(sheet, uno::UNO_QUERY_THROW)->getRowPageBreaks();
        for (const sheet::TablePageBreakData& pageBreak : breaks)
            manualBreaks += pageBreak.ManualBreak ? 1 : 0;
        return manualBreaks;
    }

    AutomationNodePtr range(const QString& address)
    {
        const QList<QPair<int, int>> rowAreas = parseRowAreas(address);
        if (!rowAreas.isEmpty())
            return std::make_shared<RowAreasNode>(
                uno::Reference<frame::XModel>(document->component, uno::UNO_QUERY_THROW), sheet, rowAreas);
        return block(sheet->getCellRangeByName(toOUString(address)));
    }

    uno::Reference<table::XCellRange> wholeSheet(const uno::Reference<table::XColumnRowRange>& lines)
    {
        return sheet->getCellRangeByPosition(0, 0, lines->getColumns()->getCount() - 1,
                                             lines->getRows()->getCount() - 1);
    }

    AutomationNodePtr cells(const QVariantList& args, AutomationError& error)
    {
        const int row = args.value(0).toInt();
        const int col = args.value(1).toInt();
        if (row < 1 || col < 1) {
            fail(error, QStringLiteral("Rows and columns count from 1"));
            return nullptr;
        }
        return block(sheet->getCellRangeByPosition(col - 1, row - 1, col - 1, row - 1), RangeKind::Cell);
    }

    AutomationNodePtr columns(const QVariantList& args, AutomationError& error)
    {
        uno::Reference<table::XColumnRowRange> lines(sheet, uno::UNO_QUERY_THROW);
        const int total = lines->getColumns()->getCount();
        if (args.isEmpty())
            return block(wholeSheet(lines), RangeKind::Columns, 0, total);
        const int col = args.value(0).toInt();
        if (col < 1 || col > total) {
            fail(error, QStringLiteral("No such column"));
            return nullptr;
        }
        return block(sheet->getCellRangeByPosition(col - 1, 0, col - 1, lines->getRows()->getCount() - 1),
                     RangeKind::Columns, col - 1, 1);
    }

    AutomationNodePtr rows(const QVariantList& args, AutomationError& error)
    {
        uno::Reference<table::XColumnRowRange> lines(sheet, uno::UNO_QUERY_THROW);
        const int total = lines->getRows()->getCount();
        if (args.isEmpty())
            return block(wholeSheet(lines), RangeKind::Rows, 0, total);
        const QPair<int, int> span = args.value(0).type() == QVariant::String
                                         ? parseRowSpan(args.value(0).toString())
                                         : QPair<int, int>(args.value(0).toInt(), args.value(0).toInt());
        if (span.first < 1 || span.second > total) {
            fail(error, QStringLiteral("No such rows"));
            return nullptr;
        }
        const int lastColumn = lines->getColumns()->getCount() - 1;
        return block(sheet->getCellRangeByPosition(0, span.first - 1, lastColumn, span.second - 1),
                     RangeKind::Rows, span.first - 1, span.second - span.first + 1);
    }

    // Excel's Copy(Before): the copy goes just before the given sheet and becomes active.
    QVariant copyBefore(const QVariant& before, AutomationError& error)
    {
        auto target = before.canConvert<AutomationHandle>()
                          ? std::dynamic_pointer_cast<WorksheetNode>(before.value<AutomationHandle>().node)
                          : nullptr;
        if (!target) {
            fail(error, QStringLiteral("Copy needs the sheet to place the copy before"));
            return QVariant();
        }
        uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
        const QString source = sheetName(sheet);
        QString copyName;
        for (int n = 2; copyName.isEmpty() || sheets->hasByName(toOUString(copyName)); ++n)
            copyName = QStringLiteral("%1 (%2)").arg(source.left(25)).arg(n);
        sheets->copyByName(toOUString(source), toOUString(copyName),
                           static_cast<sal_Int16>(sheetPosition(target->spreadsheet())));
        document->activeSheet.set(sheets->getByName(toOUString(copyName)), uno::UNO_QUERY_THROW);
        return QVariant();
    }

    QVariant remove()
    {
        const QString name = sheetName(sheet);
        document->document->getSheets()->removeByName(toOUString(name));
        if (document->activeSheet == sheet)
            document->activeSheet.set(sheetIndex(document->document)->getByIndex(0), uno::UNO_QUERY);
        return QVariant();
    }

    DocumentPtr document;
    uno::Reference<sheet::XSpreadsheet> sheet;
};

// Several sheets at once, as Excel's Sheets(Array(...)) names them. Their deletion is one step
// the workbook's "Undo" takes back whole: either every sheet goes, or none does.
class SheetGroupNode : public DeletableNode
{
public:
    SheetGroupNode(DocumentPtr document, QStringList names) : document(std::move(document)), names(std::move(names)) {}

    // "DeleteForGood": deleted with no way back and without the copies an undo needs, which cost
    // the office more than the deletion itself; every step recorded for "Undo" is dropped too.
    // A failure leaves the sheets deleted so far deleted.
    QVariant call(const QString& member, const QVariantList& args, AutomationError& error) override
    {
        if (member == QLatin1String("DeleteForGood"))
            return guarded<QVariant>(error, [&] { return removeForGood(); });
        return DeletableNode::call(member, args, error);
    }

private:
    QVariant removeForGood()
    {
        uno::Reference<beans::XPropertySet>(document->component, uno::UNO_QUERY_THROW)
            ->setPropertyValue("IsUndoEnabled", uno::Any(false));
        document->beforeGroupDeletions.clear();
        document->activeSheet.clear();
        uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
        QuietDocument quiet(document);
        for (const auto& sheet : lastFirst())
            sheets->removeByName(sheet.second);
        return QVariant();
    }

    // The sheets by position, the last first.
    QList<QPair<int, OUString>> lastFirst() const
    {
        uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
        QList<QPair<int, OUString>> byPosition;
        for (const QString& name : names) {
            const OUString unoName = toOUString(name);
            uno::Reference<sheet::XSpreadsheet> sheet(sheets->getByName(unoName), uno::UNO_QUERY_THROW);
            byPosition.append({sheetPosition(sheet), unoName});
        }
        std::sort(byPosition.begin(), byPosition.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        return byPosition;
    }

    // From the last sheet to the first: a sheet's deletion renumbers only the sheets after it.
    // Undo stays on afterwards, as turning it off would drop what "Undo" takes back.
    QVariant remove() override
    {
        uno::Reference<frame::XModel> model(document->component, uno::UNO_QUERY_THROW);
        uno::Reference<beans::XPropertySet>(model, uno::UNO_QUERY_THROW)->setPropertyValue("IsUndoEnabled", uno::Any(true));
        uno::Reference<document::XUndoManager> undo = undoManagerOf(document);
        uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
        const QList<QPair<int, OUString>> byPosition = lastFirst();
        const DocumentState::BeforeGroupDeletion before = stateBeforeGroupDeletion(document, names);
        document->activeSheet.clear();
        undo->enterUndoContext(kSheetGroupDeletion);
        document->beforeGroupDeletions.append(before);
        try {
            QuietDocument quiet(document);
            for (const auto& sheet : byPosition)
                sheets->removeByName(sheet.second);
        } catch (...) {
            undo->leaveUndoContext();
            undoLastStep(document); // none of the group goes
            throw;
        }
        undo->leaveUndoContext();
        return QVariant();
    }

    DocumentPtr document;
    QStringList names;
};

// The workbook's "Worksheets" collection.
class WorksheetsNode : public MemberlessNode
{
public:
    explicit WorksheetsNode(DocumentPtr document) : document(std::move(document)) {}

    AutomationNodePtr subObject(const QString& member, const QVariantList&, AutomationError& error) override
    {
        if (member != QLatin1String("Add")) {
            unknownMember(error, member);
            return nullptr;
        }
        // A new sheet after the last one.
        return guarded<AutomationNodePtr>(error, [&]() -> AutomationNodePtr {
            uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
            const int count = sheetIndex(document->document)->getCount();
            QString name;
            for (int n = count + 1; name.isEmpty() || sheets->hasByName(toOUString(name)); ++n)
                name = QStringLiteral("Sheet%1").arg(n);
            sheets->insertNewByName(toOUString(name), static_cast<sal_Int16>(count));
            uno::Reference<sheet::XSpreadsheet> added(sheets->getByName(toOUString(name)), uno::UNO_QUERY_THROW);
            return std::make_shared<WorksheetNode>(document, added);
        });
    }

    QVariant property(const QString& name, AutomationError& error) override
    {
        if (name == QLatin1String("Count"))
            return guarded<QVariant>(error, [&] { return QVariant(sheetIndex(document->document)->getCount()); });
        unknownMember(error, name);
        return QVariant();
    }

private:
    DocumentPtr document;
};

class WorkbookNode : public MemberlessNode
{
public:
    WorkbookNode(ApplicationPtr application, DocumentPtr document)
        : application(std::move(application)), document(std::move(document))
    {
    }

    AutomationNodePtr subObject(const QString& member, const QVariantList& args, AutomationError& error) override
    {
        if (document->closed) {
            fail(error, QStringLiteral("The workbook is closed"));
            return nullptr;
        }
        return guarded<AutomationNodePtr>(error, [&]() -> AutomationNodePtr {
            if ((member == QLatin1String("Worksheets") || member == QLatin1String("Sheets")) && args.isEmpty())
                return std::make_shared<WorksheetsNode>(document);
            if ((member == QLatin1String("Worksheets") || member == QLatin1String("Sheets"))
                && args.value(0).type() == QVariant::StringList)
                return sheetGroup(args.value(0).toStringList(), error);
            if (member == QLatin1String("Worksheets") || member == QLatin1String("Sheets"))
                return sheetNamed(args.value(0), error);
            if (member == QLatin1String("ActiveSheet"))
                return activeSheet();
            if (member == QLatin1String("Names"))
                return std::make_shared<NamesNode>(document->document);
            unknownMember(error, member);
            return nullptr;
        });
    }

    QVariant call(const QString& member, const QVariantList& args, AutomationError& error) override
    {
        if (member == QLatin1String("Close")) {
            close();
            return QVariant();
        }
        if (document->closed) {
            fail(error, QStringLiteral("The workbook is closed"));
            return QVariant();
        }
        if (member == QLatin1String("Save"))
            return guarded<QVariant>(error, [&] { return save(error); });
        if (member == QLatin1String("SaveAs"))
            return guarded<QVariant>(error, [&] { return saveAs(args.value(0).toString(), error); });
        if (member == QLatin1String("SaveCopyAs"))
            return guarded<QVariant>(error, [&] { return saveCopyAs(args.value(0).toString(), error); });
        // Not Excel's call, but what Excel's Range.Value = Range.Value does, for many ranges at
        // once ("Sheet1\tB2:D2"): formulas become the values they show. The cells changed.
        if (member == QLatin1String("KeepValues"))
            return guarded<QVariant>(error, [&] { return keepValues(args.value(0).toStringList(), error); });
        if (member == QLatin1String("Undo"))
            return guarded<QVariant>(error, [&] {
                if (!undoLastStep(document))
                    fail(error, QStringLiteral("Nothing to undo"));
                return QVariant();
            });
        unknownMember(error, member);
        return QVariant();
    }

    QVariant property(const QString& name, AutomationError& error) override
    {
        if (document->closed) {
            fail(error, QStringLiteral("The workbook is closed"));
            return QVariant();
        }
        return guarded<QVariant>(error, [&]() -> QVariant {
            uno::Reference<frame::XStorable> storable(document->component, uno::UNO_QUERY_THROW);
            if (name == QLatin1String("ReadOnly"))
                return storable->isReadonly();
            // Size and change times of the file as it was loaded or last saved.
            if (name == QLatin1String("FileStamp"))
                return document->diskStamp;
            if (name == QLatin1String("FullName"))
                return urlToPath(storable->getLocation());
            if (name == QLatin1String("Name"))
                return QFileInfo(urlToPath(storable->getLocation())).fileName();
            // Sheets cannot be added, removed or renamed.
            // Not Excel's: a binary workbook with macros keeps the code names of its sheets for
            // them, and every save writes a placeholder sheet for each name without a sheet.
            if (name == QLatin1String("MacroCodeNames"))
                return holdsMacroCodeNames();
            // Not Excel's: each table (Excel's ListObject) by name, with the cells it covers as a
            // name refers to them ("=$'Sheet1'.A1:C9"); formulas reach tables by their names.
            if (name == QLatin1String("TableRanges"))
                return tableRanges();
            if (name == QLatin1String("ProtectStructure")) {
                const uno::Reference<util::XProtectable> protectable(document->document, uno::UNO_QUERY);
                return protectable.is() && protectable->isProtected();
            }
            // Not Excel's: what the last save refused for (see KeepFeatures).
            if (name == QLatin1String("LostFeatures"))
                return document->lostFeatures;
            if (name == QLatin1String("KeepFeatures"))
                return document->keepFeatures;
            unknownMember(error, name);
            return QVariant();
        });
    }

    void setProperty(const QString& name, const QVariant& value, AutomationError& error) override
    {
        // Not Excel's: with it, "Save" refuses a file that lacks features of the one it replaces.
        if (name == QLatin1String("KeepFeatures"))
            document->keepFeatures = value.toBool();
        else
            unknownMember(error, name);
    }

private:
    AutomationNodePtr sheetNamed(const QVariant& key, AutomationError& error)
    {
        uno::Reference<sheet::XSpreadsheet> found;
        if (key.type() == QVariant::String) {
            uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
            const OUString name = toOUString(key.toString());
            if (sheets->hasByName(name))
                found.set(sheets->getByName(name), uno::UNO_QUERY_THROW);
        } else {
            uno::Reference<container::XIndexAccess> sheets = sheetIndex(document->document);
            const int position = key.toInt();
            if (position >= 1 && position <= sheets->getCount())
                found.set(sheets->getByIndex(position - 1), uno::UNO_QUERY_THROW);
        }
        if (!found.is()) {
            fail(error, QStringLiteral("No such sheet: ") + key.toString());
            return nullptr;
        }
        return std::make_shared<WorksheetNode>(document, found);
    }

    AutomationNodePtr sheetGroup(const QStringList& names, AutomationError& error)
    {
        uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
        for (const QString& name : names) {
            if (!sheets->hasByName(toOUString(name))) {
                fail(error, QStringLiteral("No such sheet: ") + name);
                return nullptr;
            }
        }
        return std::make_shared<SheetGroupNode>(document, names);
    }

    AutomationNodePtr activeSheet()
    {
        if (!document->activeSheet.is())
            document->activeSheet.set(sheetIndex(document->document)->getByIndex(0), uno::UNO_QUERY_THROW);
        return std::make_shared<WorksheetNode>(document, document->activeSheet);
    }

    QVariant save(AutomationError& error)
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
        const FeatureInventory::Inventory before = FeatureInventory::of(document->savePath);
        storeSafely(document->savePath, ownFilterOr(document->savePath), error, [&](const QString& written) {
            document->lostFeatures = FeatureInventory::lost(before, FeatureInventory::of(written));
            return std::none_of(document->lostFeatures.cbegin(), document->lostFeatures.cend(), FeatureInventory::stopsASave);
        });
        return QVariant();
    }

    // The workbook's own format, as it was loaded; a workbook of no format the office writes
    // takes the one its path's extension names.
    QString ownFilterOr(const QString& path) const
    {
        QString filter;
        const uno::Sequence<beans::PropertyValue> loadArguments =
            uno::Reference<frame::XModel>(document->component, uno::UNO_QUERY_THROW)->getArgs();
        for (const beans::PropertyValue& argument : loadArguments) {
            OUString name;
            if (argument.Name == "FilterName" && (argument.Value >>= name))
                filter = fromOUString(name);
        }
        SafeSave::Container container;
        if (!SafeSave::containerOfFilter(filter, container))
            filter = filterForExtension(QFileInfo(path).suffix());
        return filter;
    }

    QVariant keepValues(const QStringList& places, AutomationError& error)
    {
        const uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
        QList<uno::Reference<table::XCellRange>> ranges;
        for (const QString& place : places) {
            const QString sheetName = place.section(QLatin1Char('\t'), 0, 0);
            if (!sheets->hasByName(toOUString(sheetName))) {
                fail(error, QStringLiteral("No such sheet: ") + sheetName);
                return QVariant();
            }
            const uno::Reference<table::XCellRange> sheet(sheets->getByName(toOUString(sheetName)), uno::UNO_QUERY_THROW);
            ranges.append(sheet->getCellRangeByName(toOUString(place.section(QLatin1Char('\t'), 1))));
        }
        return FormulaValues::keepValues(ranges);
    }

    QVariantMap tableRanges() const
    {
        QVariantMap found;
        const uno::Reference<container::XNameAccess> tables(
            uno::Reference<beans::XPropertySet>(document->document, uno::UNO_QUERY_THROW)->getPropertyValue("DatabaseRanges"),
            uno::UNO_QUERY_THROW);
        const uno::Reference<container::XIndexAccess> sheets = sheetIndex(document->document);
        for (const OUString& name : tables->getElementNames()) {
            table::CellRangeAddress area;
            uno::Reference<beans::XPropertySet>(tables->getByName(name), uno::UNO_QUERY_THROW)->getPropertyValue("DataArea") >>= area;
            if (area.Sheet < 0 || area.Sheet >= sheets->getCount())
                continue;
            QString sheetName = fromOUString(uno::Reference<container::XNamed>(sheets->getByIndex(area.Sheet), uno::UNO_QUERY_THROW)->getName());
            sheetName.replace(QLatin1Char('\''), QLatin1String("''"));
            found.insert(fromOUString(name), QStringLiteral("=$'%1'.R%2C%3:R%4C%5")
                                                 .arg(sheetName)
                                                 .arg(area.StartRow + 1)
                                                 .arg(area.StartColumn + 1)
                                                 .arg(area.EndRow + 1)
                                                 .arg(area.EndColumn + 1));
        }
        return found;
    }

    bool holdsMacroCodeNames() const
    {
        // The code names are kept only for a workbook whose macros the office read.
        if (!ownFilterOr(QString()).startsWith(QLatin1String("MS Excel")))
            return false;
        const uno::Reference<script::vba::XVBACompatibility> macros(
            uno::Reference<beans::XPropertySet>(document->component, uno::UNO_QUERY_THROW)->getPropertyValue("BasicLibraries"),
            uno::UNO_QUERY);
        return macros.is() && macros->getVBACompatibilityMode();
    }

    // As Excel: a copy in the workbook's own format, whatever the name; the workbook stays the
    // file it was.
    QVariant saveCopyAs(const QString& path, AutomationError& error)
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

    QVariant saveAs(const QString& path, AutomationError& error)
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
    bool storeSafely(const QString& target, const QString& filter, AutomationError& error,
                     const std::function<bool(const QString&)>& accepts = nullptr)
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
                ? propertyValues({propertyValue("FilterName", uno::Any(toOUString(filter))),
                                  propertyValue("FilterOptions", uno::Any(OUString("44,34,76,1,,0,false,true,true,false,false"))),
                                  propertyValue("Overwrite", uno::Any(true))})
                : propertyValues({propertyValue("FilterName", uno::Any(toOUString(filter))),
                                  propertyValue("Overwrite", uno::Any(true))});
        try {
            putBackPageStyles(document);
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
        if (!SafeSave::isComplete(temporary, container, &why)) {
            clearLeftovers();
            fail(error, QStringLiteral("The written file is incomplete (%1); %2 was left as it was").arg(why, target));
            return false;
        }
        if (accepts && !accepts(temporary)) {
            clearLeftovers();
            fail(error, QStringLiteral("Not saved: the file would lose what %1 has; it was left as it was").arg(target));
            return false;
        }
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

    static QString filterForExtension(const QString& suffix)
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

    void close()
    {
        if (application->activeWorkbook == document)
            application->activeWorkbook.reset();
        if (application->openedWorkbooks.removeOne(document))
            releaseDocument(document);
    }

    ApplicationPtr application;
    DocumentPtr document;
};

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
        DocumentPtr document = guarded<DocumentPtr>(error, [&] { return load(QStringLiteral("private:factory/scalc")); });
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
    // unchanged since it was loaded or saved, and the file unchanged on disk meanwhile.
    DocumentPtr openShared(const QString& url)
    {
        const QString path = QUrl(url).toLocalFile();
        if (DocumentPtr open = loadedDocuments().value(url).lock(); open && !open->closed) {
            uno::Reference<util::XModifiable> modifiable(open->component, uno::UNO_QUERY);
            if (!(modifiable.is() && modifiable->isModified()) && diskStampOf(path) == open->diskStamp)
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
        try {
            if (DocumentPtr document = loadWith(url, false)) {
                document->diskStamp = stamp;
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
        if (document)
            document->diskStamp = stamp;
        return document;
    }

    static bool loadedAsWhatItsNameSays(const QString& url, const uno::Reference<lang::XComponent>& component)
    {
        static const QStringList workbookSuffixes = {QStringLiteral("xls"), QStringLiteral("xlsx"), QStringLiteral("xlsm"),
                                                     QStringLiteral("xlsb"), QStringLiteral("ods")};
        if (!workbookSuffixes.contains(QFileInfo(QUrl(url).path()).suffix().toLower()))
            return true;
        QString filter;
        for (const beans::PropertyValue& argument : uno::Reference<frame::XModel>(component, uno::UNO_QUERY_THROW)->getArgs()) {
            OUString name;
            if (argument.Name == "FilterName" && (argument.Value >>= name))
                filter = fromOUString(name);
        }
        return SafeSave::isWorkbookFilter(filter);
    }

    static DocumentPtr loadWith(const QString& url, bool readOnly)
    {
        uno::Reference<frame::XDesktop2> desktop = OfficeConnection::instance().desktop();
        if (!desktop.is())
            return nullptr;
        uno::Sequence<beans::PropertyValue> arguments = propertyValues(
            {propertyValue("Hidden", uno::Any(true)),
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

class ApplicationNode : public MemberlessNode
{
public:
    ApplicationNode() : application(std::make_shared<ApplicationState>()) {}

    ~ApplicationNode() override
    {
        // Workbooks left open by this application object are closed with it.
        const QList<DocumentPtr> open = application->openedWorkbooks;
        application->openedWorkbooks.clear();
        for (const DocumentPtr& document : open)
            releaseDocument(document);
    }

    AutomationNodePtr subObject(const QString& member, const QVariantList&, AutomationError& error) override
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

    QVariant property(const QString& name, AutomationError& error) override
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

    void setProperty(const QString& name, const QVariant& value, AutomationError& error) override
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

private:
    ApplicationPtr application;
};

} // namespace

namespace OfficeServer {
AutomationNodePtr createApplication()
{
    if (!OfficeConnection::instance().desktop().is())
        return nullptr;
    return std::make_shared<ApplicationNode>();
}

void setCallTimeout(int seconds)
{
    OfficeConnection::instance().setCallTimeout(std::chrono::seconds(qMax(1, seconds)));
}

void setCallTimeoutMillisecondsForTests(int milliseconds)
{
    OfficeConnection::instance().setCallTimeout(std::chrono::milliseconds(milliseconds));
}

pid_t officeProcessForTests()
{
    return OfficeConnection::instance().processId();
}

QList<bool> undoOfOpenWorkbooksForTests()
{
    QList<bool> undo;
    const uno::Reference<frame::XDesktop2> desktop = OfficeConnection::instance().desktop();
    if (!desktop.is())
        return undo;
    try {
        OfficeConnection::CallGuard guard;
        const uno::Reference<container::XEnumeration> components = desktop->getComponents()->createEnumeration();
        while (components->hasMoreElements()) {
            const uno::Reference<beans::XPropertySet> settings(components->nextElement(), uno::UNO_QUERY);
            if (!uno::Reference<sheet::XSpreadsheetDocument>(settings, uno::UNO_QUERY).is())
                continue;
            bool enabled = false;
            settings->getPropertyValue("IsUndoEnabled") >>= enabled;
            undo.append(enabled);
        }
    } catch (const uno::Exception&) {
    }
    return undo;
}

void registerAsExcel()
{
    AutomationRegistry::registerServer(QStringLiteral("Excel.Application"), createApplication);
}

void killOfficeForTests()
{
    const pid_t pid = OfficeConnection::instance().processId();
    if (pid > 0)
        killpg(pid, SIGKILL);
}

} // namespace OfficeServer
