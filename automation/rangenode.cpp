#include "automation/rangenode.h"

#include "automation/formulavalues.h"
#include "automation/propertyvalues.h"
#include "automation/rowlooks.h"
#include "automation/quietdocument.h"
#include "automation/sheetcalculation.h"
#include "automation/sheetgroupdeletion.h"
#include "automation/sheetlookups.h"
#include "automation/sortfollowsreferences.h"

#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/ConditionOperator.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeFormula.hpp>
#include <com/sun/star/sheet/XCellRangeMovement.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetOperation.hpp>
#include <com/sun/star/sheet/XDatabaseRanges.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSheetConditionalEntries.hpp>
#include <com/sun/star/sheet/XSheetFilterDescriptor.hpp>
#include <com/sun/star/sheet/XSheetFilterable.hpp>
#include <com/sun/star/sheet/XUnnamedDatabaseRanges.hpp>
#include <com/sun/star/table/TableSortField.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XSortable.hpp>

#include <algorithm>
#include <vector>

namespace OfficeNodes {

namespace {

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

} // namespace

RangeNode::RangeNode(DocumentPtr document, uno::Reference<sheet::XSpreadsheet> sheet, RangeKind kind,
                     uno::Reference<table::XCellRange> range, int first, int count)
    : document(std::move(document)),
      sheet(std::move(sheet)),
      kind(kind),
      range(std::move(range)),
      first(first),
      count(count)
{}

AutomationNodePtr RangeNode::subObject(const QString& member, const QVariantList& args, AutomationError& error)
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

QVariant RangeNode::call(const QString& member, const QVariantList& args, AutomationError& error)
{
    if (member == QLatin1String("SortByKeys"))
        return guarded<QVariant>(error, [&] {
            if (!args.value(1).toBool())
                return sortByKeys(args.value(0).toList(), error);
            SortFollowsReferences following;
            return sortByKeys(args.value(0).toList(), error);
        });
    if (member == QLatin1String("Sort"))
        return guarded<QVariant>(error, [&] { return sortRows(args, error); });
    if (member == QLatin1String("Merge"))
        return guarded<QVariant>(error, [&] {
            uno::Reference<util::XMergeable>(range, uno::UNO_QUERY_THROW)->merge(true);
            return QVariant();
        });
    // Excel's Range.Copy Destination:=, within the workbook.
    if (member == QLatin1String("Copy"))
        return guarded<QVariant>(error, [&] { return copyTo(args.value(0), error); });
    if (member == QLatin1String("Insert"))
        return guarded<QVariant>(error, [&] { return changeLines(true, error); });
    if (member == QLatin1String("Delete"))
        return guarded<QVariant>(error, [&] { return changeLines(false, error); });
    if (member == QLatin1String("AutoFilter"))
        return guarded<QVariant>(error, [&] { return autoFilter(args.value(0, 1).toInt()); });
    // Not Excel's: rows from the first get these looks, given how they look now.
    if (member == QLatin1String("RestoreRowLooks"))
        return guarded<QVariant>(error, [&] {
            restoreRowLooks(args.value(0).toList(), args.value(1).toList());
            return QVariant(true);
        });
    // Excel's Range.Dependents.Calculate: what takes from these cells is calculated again.
    if (member == QLatin1String("CalculateDependents"))
        return guarded<QVariant>(error, [&] {
            SheetCalculation::calculateDependents(document->component, range);
            return QVariant(true);
        });
    // Not Excel's call, but what Excel's Range.Value = Range.Value does: formulas become the
    // values they show. The number of cells changed.
    if (member == QLatin1String("KeepValues"))
        return guarded<QVariant>(error, [&] {
            noteFormulasWritten(*document); // an error shown becomes a formula of its own (=#REF!)
            return QVariant(FormulaValues::keepValues(document->component, {range}));
        });
    unknownMember(error, member);
    return QVariant();
}

QVariant RangeNode::property(const QString& name, AutomationError& error)
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
    // Not Excel's: each row's height, whether it shows and whether its height follows its text.
    if (name == QLatin1String("RowLooks"))
        return guarded<QVariant>(error, [&] {
            const table::CellRangeAddress address = rangeAddress();
            return QVariant(readRowLooks(sheet, address.StartRow, address.EndRow, mayHoldManualRowBreaks(*document)));
        });
    if (name == QLatin1String("Formula"))
        return guarded<QVariant>(error, [&] { return formulas(); });
    unknownMember(error, name);
    return QVariant();
}

void RangeNode::setProperty(const QString& name, const QVariant& value, AutomationError& error)
{
    if (name == QLatin1String("RowLooks")) {
        guarded<bool>(error, [&] {
            restoreRowLooks(value.toList(), {});
            return true;
        });
        return;
    }
    if (name != QLatin1String("Value")) {
        unknownMember(error, name);
        return;
    }
    const bool written = guarded<bool>(error, [&] { return writeValue(value); });
    if (!written && !error.failed())
        fail(error, QStringLiteral("The value does not fit the range"));
}

QVariant RangeNode::readValue()
{
    const QList<QVariantList> rows = document->values.read(range);
    if (rows.size() == 1 && rows.first().size() == 1)
        return rows.first().first();
    QVariantList result;
    for (const QVariantList& row : rows)
        result.append(QVariant(row));
    return result;
}

bool RangeNode::writeValue(const QVariant& value)
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
QVariant RangeNode::changeLines(bool insert, AutomationError& error)
{
    uno::Reference<table::XColumnRowRange> lines(sheet, uno::UNO_QUERY_THROW);
    if (kind == RangeKind::Block || kind == RangeKind::Cell) {
        fail(error, QStringLiteral("Only whole rows or columns can be inserted or deleted"));
        return QVariant();
    }
    noteLinesOrSheetsMoved(*document, insert ? LineMove::Inserted : LineMove::Other);
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
QVariant RangeNode::autoFilter(int /*field*/)
{
    const QPair<int, int> end = usedAreaEnd(sheet);
    const int top = kind == RangeKind::Rows ? first : rangeAddress().StartRow;
    const int bottom = std::max(top, end.second);
    const int sheetIndex = sheetPosition(sheet);
    uno::Reference<sheet::XUnnamedDatabaseRanges> unnamed(
        uno::Reference<beans::XPropertySet>(document->document, uno::UNO_QUERY_THROW)
            ->getPropertyValue("UnnamedDatabaseRanges"),
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
             uno::Reference<sheet::XCellRangesQuery>(rowHeads, uno::UNO_QUERY_THROW)
                 ->queryVisibleCells()
                 ->getRangeAddresses())
            shown.push_back(block);
    std::sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) { return a.StartRow < b.StartRow; });
    uno::Reference<sheet::XSheetFilterable> table(sheet->getCellRangeByPosition(0, top, std::max(0, end.first), bottom),
                                                  uno::UNO_QUERY_THROW);
    const uno::Reference<sheet::XSheetFilterDescriptor> noConditions = table->createFilterDescriptor(true);
    uno::Reference<beans::XPropertySet>(noConditions, uno::UNO_QUERY_THROW)
        ->setPropertyValue("ContainsHeader", uno::Any(true));
    table->filter(noConditions);
    int next = top + 1;
    const auto hide = [this](int from, int to) {
        uno::Reference<table::XColumnRowRange> rows(sheet->getCellRangeByPosition(0, from, 0, to),
                                                    uno::UNO_QUERY_THROW);
        uno::Reference<beans::XPropertySet>(rows->getRows(), uno::UNO_QUERY_THROW)
            ->setPropertyValue("IsVisible", uno::Any(false));
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
QVariant RangeNode::sortRows(const QVariantList& args, AutomationError& error)
{
    auto key = args.value(0).canConvert<AutomationHandle>()
                   ? std::dynamic_pointer_cast<RangeNode>(args.value(0).value<AutomationHandle>().node)
                   : nullptr;
    if (!key) {
        fail(error, QStringLiteral("Sort needs the key column as a range"));
        return QVariant();
    }
    const int field = uno::Reference<sheet::XCellRangeAddressable>(key->cellRange(), uno::UNO_QUERY_THROW)
                          ->getRangeAddress()
                          .StartColumn
                      - rangeAddress().StartColumn;
    sortBlock(range, field, args.value(1, 1).toInt() != 2);
    return QVariant();
}

// Not Excel's: the rows go into the order of the numbers given, one per row, and rows of the same
// number keep their order; with a second argument true, references to the moved cells follow them. The numbers stand in
// the column right of the range while it sorts; no row is fitted to its text meanwhile (the caller puts the rows' looks
// back).
QVariant RangeNode::sortByKeys(const QVariantList& keys, AutomationError& error)
{
    const table::CellRangeAddress address = rangeAddress();
    if (keys.size() != address.EndRow - address.StartRow + 1) {
        fail(error, QStringLiteral("One key per row is needed"));
        return QVariant();
    }
    QVariantList keyRows;
    for (const QVariant& key : keys)
        keyRows.append(QVariant(QVariantList{key}));
    const int keyColumn = address.EndColumn + 1;
    QuietDocument quiet(document);
    const uno::Reference<table::XCellRange> keyCells =
        sheet->getCellRangeByPosition(keyColumn, address.StartRow, keyColumn, address.EndRow);
    document->values.write(keyCells, keyRows);
    try {
        sortBlock(sheet->getCellRangeByPosition(address.StartColumn, address.StartRow, keyColumn, address.EndRow),
                  keyColumn - address.StartColumn, true);
    } catch (...) {
        uno::Reference<sheet::XSheetOperation>(keyCells, uno::UNO_QUERY_THROW)->clearContents(sheet::CellFlags::VALUE);
        throw;
    }
    uno::Reference<sheet::XSheetOperation>(keyCells, uno::UNO_QUERY_THROW)->clearContents(sheet::CellFlags::VALUE);
    return QVariant();
}

void RangeNode::sortBlock(const uno::Reference<table::XCellRange>& block, int field, bool ascending)
{
    table::TableSortField sortField;
    sortField.Field = field;
    sortField.IsAscending = ascending;
    sortField.FieldType = table::TableSortFieldType_AUTOMATIC;
    uno::Sequence<table::TableSortField> fields(1);
    fields.getArray()[0] = sortField;
    const uno::Sequence<beans::PropertyValue> descriptor = propertyValues(
        {propertyValue("SortFields", uno::Any(fields)), propertyValue("ContainsHeader", uno::Any(false)),
         propertyValue("IsSortColumns", uno::Any(false)), propertyValue("BindFormatsToContent", uno::Any(true))});
    // Sorted through a database range of its own, so the sheet's filter range stays as it is.
    uno::Reference<sheet::XDatabaseRanges> databaseRanges(
        uno::Reference<beans::XPropertySet>(document->document, uno::UNO_QUERY_THROW)
            ->getPropertyValue("DatabaseRanges"),
        uno::UNO_QUERY_THROW);
    QString rangeName = QStringLiteral("KivExcelSort");
    for (int n = 1; databaseRanges->hasByName(toOUString(rangeName)); ++n)
        rangeName = QStringLiteral("KivExcelSort%1").arg(n);
    databaseRanges->addNewByName(
        toOUString(rangeName),
        uno::Reference<sheet::XCellRangeAddressable>(block, uno::UNO_QUERY_THROW)->getRangeAddress());
    try {
        uno::Reference<util::XSortable>(block, uno::UNO_QUERY_THROW)->sort(descriptor);
    } catch (...) {
        databaseRanges->removeByName(toOUString(rangeName));
        throw;
    }
    databaseRanges->removeByName(toOUString(rangeName));
}

bool RangeNode::hasFormula()
{
    uno::Reference<sheet::XSheetCellRanges> formulas =
        uno::Reference<sheet::XCellRangesQuery>(range, uno::UNO_QUERY_THROW)
            ->queryContentCells(sheet::CellFlags::FORMULA);
    return formulas->getRangeAddresses().getLength() > 0;
}

// Excel's RowHeight: the height (in points) the rows share, or nothing when they differ or
// some are hidden.
QVariant RangeNode::commonRowHeight()
{
    const table::CellRangeAddress address = rangeAddress();
    const int rowCount = address.EndRow - address.StartRow + 1;
    uno::Reference<table::XColumnRowRange> lines(sheet, uno::UNO_QUERY_THROW);
    sal_Int32 firstHeight = 0;
    uno::Reference<beans::XPropertySet>(lines->getRows()->getByIndex(address.StartRow), uno::UNO_QUERY_THROW)
        ->getPropertyValue("Height") >>= firstHeight;
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
QVariant RangeNode::formulas()
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

int RangeNode::countOf()
{
    const table::CellRangeAddress address = rangeAddress();
    if (kind == RangeKind::Rows)
        return address.EndRow - address.StartRow + 1;
    if (kind == RangeKind::Columns)
        return address.EndColumn - address.StartColumn + 1;
    return (address.EndRow - address.StartRow + 1) * (address.EndColumn - address.StartColumn + 1);
}

// Contents, formats and merged cells land from the destination's top left; relative references
// move along, so a formula of the row keeps pointing into its row.
QVariant RangeNode::copyTo(const QVariant& destination, AutomationError& error)
{
    const auto target = destination.canConvert<AutomationHandle>()
                            ? std::dynamic_pointer_cast<RangeNode>(destination.value<AutomationHandle>().node)
                            : nullptr;
    if (!target || target->document != document) {
        fail(error, QStringLiteral("Copy needs a destination range in the same workbook"));
        return QVariant();
    }
    const table::CellRangeAddress to = target->rangeAddress();
    table::CellAddress corner;
    corner.Sheet = to.Sheet;
    corner.Column = to.StartColumn;
    corner.Row = to.StartRow;
    noteFormulasWritten(*document);
    uno::Reference<sheet::XCellRangeMovement>(target->sheet, uno::UNO_QUERY_THROW)->copyRange(corner, rangeAddress());
    return QVariant();
}

void RangeNode::restoreRowLooks(const QVariantList& looks, const QVariantList& now)
{
    const bool mayHoldBreaks = mayHoldManualRowBreaks(*document);
    if (holdsPageBreak(looks))
        document->rowBreaksMayHaveCome = true;
    writeRowLooks(sheet, rangeAddress().StartRow, looks, now, mayHoldBreaks);
}

table::CellRangeAddress RangeNode::rangeAddress()
{
    return uno::Reference<sheet::XCellRangeAddressable>(range, uno::UNO_QUERY_THROW)->getRangeAddress();
}

} // namespace OfficeNodes
