#include "automation/rowareasnode.h"

#include <com/sun/star/table/XColumnRowRange.hpp>

#include <algorithm>

namespace OfficeNodes {

RowAreasNode::RowAreasNode(DocumentPtr document, uno::Reference<sheet::XSpreadsheet> sheet,
                           QList<QPair<int, int>> areas)
    : document(std::move(document)),
      model(this->document->component, uno::UNO_QUERY_THROW),
      sheet(std::move(sheet)),
      areas(std::move(areas))
{}

// Bottom-up, so the areas still to go keep their row numbers. Undo records and row-height
// updates cost the office more than the deletions themselves; both are off meanwhile.
QVariant RowAreasNode::remove()
{
    QList<QPair<int, int>> bottomUp = areas;
    std::sort(bottomUp.begin(), bottomUp.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    uno::Reference<table::XTableRows> rows =
        uno::Reference<table::XColumnRowRange>(sheet, uno::UNO_QUERY_THROW)->getRows();
    uno::Reference<beans::XPropertySet> settings(model, uno::UNO_QUERY_THROW);
    noteLinesOrSheetsMoved(*document);
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
QVariantList RowAreasNode::rowLook(const uno::Reference<table::XTableRows>& rows, int index)
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
void RowAreasNode::matchRowsFromBelow(const uno::Reference<table::XTableRows>& rows, int rowCount, int removed,
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

void RowAreasNode::restore(const uno::Reference<beans::XPropertySet>& settings, const uno::Any& undo,
                           const uno::Any& adjustHeight)
{
    model->unlockControllers();
    settings->setPropertyValue("IsAdjustHeightEnabled", adjustHeight);
    settings->setPropertyValue("IsUndoEnabled", undo);
}

} // namespace OfficeNodes
