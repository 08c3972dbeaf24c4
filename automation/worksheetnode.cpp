#include "automation/worksheetnode.h"

#include "automation/countnode.h"
#include "automation/rowareasnode.h"
#include "automation/rowspans.h"
#include "automation/sheetlookups.h"
#include "automation/conditionformulas.h"
#include "automation/formulasearch.h"
#include "automation/pivotvalues.h"
#include "automation/sheetcalculation.h"
#include "automation/quietdocument.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/sheet/TablePageBreakData.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XConditionalFormats.hpp>
#include <com/sun/star/sheet/XSheetAnnotations.hpp>
#include <com/sun/star/sheet/XSheetAnnotationsSupplier.hpp>
#include <com/sun/star/sheet/XSheetPageBreak.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/sheet/XSpreadsheets2.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/util/XProtectable.hpp>

#include <vector>

namespace OfficeNodes {

WorksheetNode::WorksheetNode(DocumentPtr document, uno::Reference<sheet::XSpreadsheet> sheet)
    : document(std::move(document)), sheet(std::move(sheet))
{}

AutomationNodePtr WorksheetNode::subObject(const QString& member, const QVariantList& args, AutomationError& error)
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

QVariant WorksheetNode::call(const QString& member, const QVariantList& args, AutomationError& error)
{
    if (member == QLatin1String("Copy"))
        return guarded<QVariant>(error, [&] { return copyBefore(args.value(0), args.value(1).toBool(), error); });
    if (member == QLatin1String("Move"))
        return guarded<QVariant>(error, [&] { return moveBefore(args.value(0), error); });
    if (member == QLatin1String("Delete"))
        return guarded<QVariant>(error, [&] { return remove(); });
    if (member == QLatin1String("Calculate"))
        return guarded<QVariant>(error, [&] {
            SheetCalculation::calculate(document->component, sheet);
            return QVariant(true);
        });
    // Not Excel's: after rows were taken out, what takes from other rows is calculated again.
    if (member == QLatin1String("CalculateReachingOtherRows"))
        return guarded<QVariant>(error, [&] {
            SheetCalculation::calculateReachingOtherRows(document->component, sheet);
            return QVariant(true);
        });
    // Not Excel's: these cells alone ([column, row], 1-based) are calculated, as Range.Calculate
    // does for each; the rest of the sheet keeps its results.
    if (member == QLatin1String("CalculateCells"))
        return guarded<QVariant>(error, [&] {
            calculateCells(args.value(0).toList());
            return QVariant(true);
        });
    // As Excel's: the password is the one the sheet was protected with ("" for none); a wrong one
    // leaves the sheet protected. Protect keeps the actions the protection allowed before.
    if (member == QLatin1String("Unprotect") || member == QLatin1String("Protect"))
        return guarded<QVariant>(error, [&] {
            const uno::Reference<util::XProtectable> protectable(sheet, uno::UNO_QUERY_THROW);
            const OUString password = toOUString(args.value(0).toString());
            try {
                if (member == QLatin1String("Protect"))
                    protectable->protect(password);
                else
                    protectable->unprotect(password);
            } catch (const lang::IllegalArgumentException&) {
                fail(error, QStringLiteral("The password is wrong"));
            }
            return QVariant(bool(protectable->isProtected()));
        });
    // Not Excel's: runs of values down columns, each [column, first row (both 1-based), values],
    // written in one call; whether each was written (not into part of an array formula, say).
    if (member == QLatin1String("WriteColumnRuns"))
        return guarded<QVariant>(error, [&] { return QVariant(writeColumnRuns(args.value(0).toList())); });
    // Not Excel's (whose copied sheet carries a pivot table's cache): pivot tables built from
    // another sheet become the cells they show; how many there were.
    if (member == QLatin1String("KeepPivotTablesAsValues"))
        return guarded<QVariant>(error, [&] {
            noteLinesOrSheetsMoved(*document); // a sheet of its own holds the cells meanwhile
            return QVariant(keepPivotTablesAsValues(document->document, sheet));
        });
    // Not Excel's: the formulas matching a regular expression, found by the office's own search,
    // as [row, column, formula] each; what a check looks for without every formula read.
    if (member == QLatin1String("FormulasMatching"))
        return guarded<QVariant>(error, [&] {
            return QVariant(FormulaSearch::formulasMatching(sheet, toOUString(args.value(0).toString())));
        });
    if (member == QLatin1String("SetConditionFormulas"))
        return guarded<QVariant>(error, [&] {
            writeConditionFormulas(sheet, args.value(0).toInt(), args.value(1).toList());
            return QVariant(true);
        });
    unknownMember(error, member);
    return QVariant();
}

QVariant WorksheetNode::property(const QString& name, AutomationError& error)
{
    if (name == QLatin1String("Name"))
        return guarded<QVariant>(error, [&] { return QVariant(sheetName(sheet)); });
    if (name == QLatin1String("Index"))
        return guarded<QVariant>(error, [&] { return QVariant(sheetPosition(sheet) + 1); });
    if (name == QLatin1String("ProtectContents"))
        return guarded<QVariant>(error, [&] {
            return QVariant(bool(uno::Reference<util::XProtectable>(sheet, uno::UNO_QUERY_THROW)->isProtected()));
        });
    if (name == QLatin1String("PivotTablesFromOtherSheets"))
        return guarded<QVariant>(error, [&] { return QVariant(pivotTablesFromOtherSheets(sheet)); });
    if (name == QLatin1String("ConditionFormats"))
        return guarded<QVariant>(error, [&] { return QVariant(readConditionFormats(sheet)); });
    // Excel's xlSheetVisible (-1) or xlSheetHidden (0).
    if (name == QLatin1String("Visible"))
        return guarded<QVariant>(error, [&] {
            uno::Reference<beans::XPropertySet> properties(sheet, uno::UNO_QUERY_THROW);
            return QVariant(properties->getPropertyValue("IsVisible").get<bool>() ? -1 : 0);
        });
    unknownMember(error, name);
    return QVariant();
}

void WorksheetNode::setProperty(const QString& name, const QVariant& value, AutomationError& error)
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

void WorksheetNode::calculateCells(const QVariantList& cells)
{
    std::vector<uno::Reference<table::XCellRange>> ranges;
    for (const QVariant& item : cells) {
        const QVariantList cell = item.toList();
        const int column = cell.value(0).toInt() - 1;
        const int row = cell.value(1).toInt() - 1;
        if (column >= 0 && row >= 0)
            ranges.push_back(sheet->getCellRangeByPosition(column, row, column, row));
    }
    noteFormulasWritten(*document); // Table1[#all] is written as Table1[[#All]]
    SheetCalculation::calculateCells(document->component, ranges);
}

QVariantList WorksheetNode::writeColumnRuns(const QVariantList& runs)
{
    // The values go back where the rows were fitted to them already: no row is fitted again.
    QuietDocument quiet(document);
    QVariantList written;
    for (const QVariant& item : runs) {
        const QVariantList run = item.toList();
        const int column = run.value(0).toInt() - 1;
        const int firstRow = run.value(1).toInt() - 1;
        const QVariantList values = run.value(2).toList();
        bool done = false;
        if (column >= 0 && firstRow >= 0 && !values.isEmpty()) {
            QVariantList rows;
            for (const QVariant& value : values)
                rows.append(QVariant(QVariantList{value}));
            try {
                done = document->values.write(
                    sheet->getCellRangeByPosition(column, firstRow, column, firstRow + values.size() - 1), rows);
            } catch (const uno::RuntimeException&) {
                throw;
            } catch (const uno::Exception&) {
                // the office refused this run; the others go on
            }
        }
        written.append(done);
    }
    return written;
}

AutomationNodePtr WorksheetNode::block(const uno::Reference<table::XCellRange>& range, RangeKind kind, int first,
                                       int count)
{
    return std::make_shared<RangeNode>(document, sheet, kind, range, first, count);
}

// Notes, drawing objects, conditional formats and manual row breaks of the sheet. The office marks
// a sheet's draw page and its list of breaks as old interfaces, yet offers no other call that
// reads either in one go.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
int WorksheetNode::countOfSheetParts(const QString& member)
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
    if (!mayHoldManualRowBreaks(*document))
        return manualBreaks;
    const uno::Sequence<sheet::TablePageBreakData> breaks =
        uno::Reference<sheet::XSheetPageBreak>(sheet, uno::UNO_QUERY_THROW)->getRowPageBreaks();
    for (const sheet::TablePageBreakData& pageBreak : breaks)
        manualBreaks += pageBreak.ManualBreak ? 1 : 0;
    return manualBreaks;
}
#pragma GCC diagnostic pop

AutomationNodePtr WorksheetNode::range(const QString& address)
{
    const QList<QPair<int, int>> rowAreas = parseRowAreas(address);
    if (!rowAreas.isEmpty())
        return std::make_shared<RowAreasNode>(document, sheet, rowAreas);
    return block(sheet->getCellRangeByName(toOUString(address)));
}

uno::Reference<table::XCellRange> WorksheetNode::wholeSheet(const uno::Reference<table::XColumnRowRange>& lines)
{
    return sheet->getCellRangeByPosition(0, 0, lines->getColumns()->getCount() - 1, lines->getRows()->getCount() - 1);
}

AutomationNodePtr WorksheetNode::cells(const QVariantList& args, AutomationError& error)
{
    const int row = args.value(0).toInt();
    const int col = args.value(1).toInt();
    if (row < 1 || col < 1) {
        fail(error, QStringLiteral("Rows and columns count from 1"));
        return nullptr;
    }
    return block(sheet->getCellRangeByPosition(col - 1, row - 1, col - 1, row - 1), RangeKind::Cell);
}

AutomationNodePtr WorksheetNode::columns(const QVariantList& args, AutomationError& error)
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

AutomationNodePtr WorksheetNode::rows(const QVariantList& args, AutomationError& error)
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
    return block(sheet->getCellRangeByPosition(0, span.first - 1, lastColumn, span.second - 1), RangeKind::Rows,
                 span.first - 1, span.second - span.first + 1);
}

// The sheet an argument names, for Copy and Move; none (and the error said) when it names none.
std::shared_ptr<WorksheetNode> WorksheetNode::sheetArgument(const QVariant& before, const char* member,
                                                            AutomationError& error)
{
    auto target = before.canConvert<AutomationHandle>()
                      ? std::dynamic_pointer_cast<WorksheetNode>(before.value<AutomationHandle>().node)
                      : nullptr;
    if (!target)
        fail(error, QStringLiteral("%1 needs the sheet to place the sheet before").arg(QLatin1String(member)));
    return target;
}

// Excel's Copy(Before): the copy goes just before the given sheet, of this workbook or another,
// and becomes its workbook's active sheet. A true second argument places it after the sheet, as
// Excel's After:= does (the automation calls pass no empty arguments).
QVariant WorksheetNode::copyBefore(const QVariant& sheetArg, bool placedAfter, AutomationError& error)
{
    const auto target = sheetArgument(sheetArg, "Copy", error);
    if (!target)
        return QVariant();
    const int position = sheetPosition(target->spreadsheet()) + (placedAfter ? 1 : 0);
    if (target->document != document)
        return importInto(*target, position);
    uno::Reference<sheet::XSpreadsheets> sheets = document->document->getSheets();
    const QString source = sheetName(sheet);
    QString copyName;
    for (int n = 2; copyName.isEmpty() || sheets->hasByName(toOUString(copyName)); ++n)
        copyName = QStringLiteral("%1 (%2)").arg(source.left(25)).arg(n);
    noteLinesOrSheetsMoved(*document);
    sheets->copyByName(toOUString(source), toOUString(copyName), static_cast<sal_Int16>(position));
    document->activeSheet.set(sheets->getByName(toOUString(copyName)), uno::UNO_QUERY_THROW);
    return QVariant();
}

// Into another workbook, as Excel copies across workbooks: formats, widths, merged cells, views,
// the sheet's names and drawings go along; references to the other sheets of its workbook
// become references to that file.
QVariant WorksheetNode::importInto(const WorksheetNode& target, int position)
{
    uno::Reference<sheet::XSpreadsheets2> sheets(target.document->document->getSheets(), uno::UNO_QUERY_THROW);
    noteLinesOrSheetsMoved(*target.document);
    target.document->rowBreaksMayHaveCome = true;
    const sal_Int32 at = sheets->importSheet(document->document, toOUString(sheetName(sheet)), position);
    uno::Reference<container::XIndexAccess> list(sheets, uno::UNO_QUERY_THROW);
    target.document->activeSheet.set(list->getByIndex(at), uno::UNO_QUERY_THROW);
    return QVariant();
}

// Excel's Sheet.Move Before:=: the sheet goes right before the other.
QVariant WorksheetNode::moveBefore(const QVariant& before, AutomationError& error)
{
    const auto target = sheetArgument(before, "Move", error);
    if (!target)
        return QVariant();
    // The office counts the places before the sheet leaves its own.
    noteLinesOrSheetsMoved(*document);
    document->document->getSheets()->moveByName(toOUString(sheetName(sheet)),
                                                static_cast<sal_Int16>(sheetPosition(target->spreadsheet())));
    return QVariant();
}

QVariant WorksheetNode::remove()
{
    const QString name = sheetName(sheet);
    noteLinesOrSheetsMoved(*document);
    document->document->getSheets()->removeByName(toOUString(name));
    if (document->activeSheet == sheet)
        document->activeSheet.set(sheetIndex(document->document)->getByIndex(0), uno::UNO_QUERY);
    return QVariant();
}

} // namespace OfficeNodes
