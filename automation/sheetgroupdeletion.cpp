#include "automation/sheetgroupdeletion.h"
#include "automation/calltimer.h"
#include "automation/documentview.h"
#include "automation/quietdocument.h"

#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/sheet/XLabelRange.hpp>
#include <com/sun/star/sheet/XLabelRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>

#include <optional>

namespace OfficeNodes {

const OUString kSheetGroupDeletion("KivExcel sheet group deletion");

namespace {

using LabelRanges = QList<QPair<table::CellRangeAddress, table::CellRangeAddress>>;

uno::Reference<sheet::XLabelRanges> labelRangesOf(const DocumentPtr& document, const char* which)
{
    return uno::Reference<sheet::XLabelRanges>(
        uno::Reference<beans::XPropertySet>(document->document, uno::UNO_QUERY_THROW)
            ->getPropertyValue(OUString::createFromAscii(which)),
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

// A sheet's deletion, undone, brings back its cells, but not its page style, its view (panes,
// zoom, grid lines) nor the document's label ranges on it.
void restoreWhatUndoMisses(const DocumentPtr& document, const DocumentState::BeforeGroupDeletion& before)
{
    for (const QString& name : before.sheets)
        document->pageStylesToPutBack.insert(name);
    if (readLabelRanges(document, "ColumnLabelRanges") != before.columnLabels)
        writeLabelRanges(document, "ColumnLabelRanges", before.columnLabels);
    if (readLabelRanges(document, "RowLabelRanges") != before.rowLabels)
        writeLabelRanges(document, "RowLabelRanges", before.rowLabels);
    if (!DocumentView::keepsLoadedViews(document->component))
        DocumentView::restoreSettings(document->component, before.viewSettings);
}

} // namespace

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
    before.viewSettings = DocumentView::settingsOf(document->component);
    return before;
}

void putBackPageStyles(const DocumentPtr& document)
{
    if (document->pageStylesToPutBack.isEmpty())
        return;
    uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
    // Of a big workbook cut down to one sheet, most names wait for a later file: one call lists
    // the sheets there are, instead of one call for each name waiting.
    QSet<QString> present;
    for (const OUString& name : sheets->getElementNames())
        present.insert(fromOUString(name));
    const QSet<QString> waiting = document->pageStylesToPutBack & present;
    for (const QString& name : waiting) {
        uno::Reference<beans::XPropertySet> sheet(sheets->getByName(toOUString(name)), uno::UNO_QUERY_THROW);
        const uno::Any pageStyle(toOUString(document->pageStyleBeforeDeletions.value(name)));
        if (sheet->getPropertyValue("PageStyle") != pageStyle)
            sheet->setPropertyValue("PageStyle", pageStyle);
        document->pageStylesToPutBack.remove(name);
    }
}

uno::Reference<document::XUndoManager> undoManagerOf(const DocumentPtr& document)
{
    return uno::Reference<document::XUndoManagerSupplier>(document->component, uno::UNO_QUERY_THROW)->getUndoManager();
}

bool undoLastStep(const DocumentPtr& document)
{
    uno::Reference<document::XUndoManager> undo = undoManagerOf(document);
    if (!undo->isUndoPossible())
        return false;
    document->activeSheet.clear();
    noteLinesOrSheetsMoved(*document);
    const bool groupDeletion = undo->getCurrentUndoActionTitle() == kSheetGroupDeletion;
    std::optional<CallTimer> undoing(std::in_place, "  undo: the office's undo");
    {
        QuietDocument quiet(document);
        undo->undo();
        undo->clearRedo();
    }
    undoing.reset();
    const CallTimer restoring("  undo: what it misses");
    if (groupDeletion && !document->beforeGroupDeletions.isEmpty())
        restoreWhatUndoMisses(document, document->beforeGroupDeletions.takeLast());
    return true;
}

} // namespace OfficeNodes
