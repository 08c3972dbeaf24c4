#include "automation/officevalues.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XUniqueCellFormatRangesSupplier.hpp>
#include <com/sun/star/util/Date.hpp>
#include <com/sun/star/util/NumberFormat.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

#include <QRegularExpression>
#include <cmath>

using namespace ::com::sun::star;

QString fromOUString(const rtl::OUString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}

rtl::OUString toOUString(const QString& text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()), text.size());
}

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr qint64 kLargestFill = 1000000; // cells; whole columns are never filled

// Text that an Excel application turns into a number when it is set as a cell's value.
bool readsAsNumber(const QString& text, double& number)
{
    static const QRegularExpression plainNumber(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!plainNumber.match(text).hasMatch())
        return false;
    bool ok = false;
    number = text.toDouble(&ok);
    return ok && std::isfinite(number);
}

uno::Any toAny(const QVariant& value)
{
    switch (value.type()) {
    case QVariant::Invalid:
        return uno::Any(rtl::OUString());
    case QVariant::Bool:
        return uno::Any(value.toBool() ? 1.0 : 0.0);
    case QVariant::Int:
    case QVariant::UInt:
    case QVariant::LongLong:
    case QVariant::ULongLong:
    case QVariant::Double:
        return uno::Any(value.toDouble());
    default: {
        const QString text = value.toString();
        double number = 0;
        if (readsAsNumber(text, number))
            return uno::Any(number);
        return uno::Any(toOUString(text));
    }
    }
}

struct BlockSize
{
    int rows = 0;
    int columns = 0;
};

table::CellRangeAddress addressOf(const uno::Reference<table::XCellRange>& range)
{
    return uno::Reference<sheet::XCellRangeAddressable>(range, uno::UNO_QUERY_THROW)->getRangeAddress();
}

BlockSize sizeOf(const table::CellRangeAddress& address)
{
    return {address.EndRow - address.StartRow + 1, address.EndColumn - address.StartColumn + 1};
}

} // namespace

OfficeValues::OfficeValues(const uno::Reference<sheet::XSpreadsheetDocument>& document) : document(document)
{
    uno::Reference<util::XNumberFormatsSupplier> formats(document, uno::UNO_QUERY);
    if (!formats.is())
        return;
    util::Date date;
    if (formats->getNumberFormatSettings()->getPropertyValue("NullDate") >>= date)
        nullDate = QDate(date.Year, date.Month, date.Day);
}

OfficeValues::Kind OfficeValues::kindOfFormat(int formatKey)
{
    const auto known = formatKinds.constFind(formatKey);
    if (known != formatKinds.constEnd())
        return *known;
    Kind kind = Kind::Number;
    uno::Reference<util::XNumberFormatsSupplier> formats(document, uno::UNO_QUERY_THROW);
    sal_Int16 type = 0;
    const uno::Reference<beans::XPropertySet> format = formats->getNumberFormats()->getByKey(formatKey);
    format->getPropertyValue("Type") >>= type;
    rtl::OUString code;
    format->getPropertyValue("FormatString") >>= code;
    // An .xls file keeps a truth value's format as the texts it shows: "TRUE";"TRUE";"FALSE".
    static const QRegularExpression truthCode(QStringLiteral("^\"TRUE\";\"TRUE\";\"FALSE\"$"));
    if ((type & util::NumberFormat::LOGICAL) || truthCode.match(fromOUString(code)).hasMatch())
        kind = Kind::Logical;
    else if ((type & util::NumberFormat::DATETIME) == util::NumberFormat::DATETIME)
        kind = Kind::DateTime;
    else if (type & util::NumberFormat::DATE)
        kind = Kind::Date;
    else if (type & util::NumberFormat::TIME)
        kind = Kind::Time;
    formatKinds.insert(formatKey, kind);
    return kind;
}

QVariant OfficeValues::typedNumber(double number, Kind kind) const
{
    double days = std::floor(number);
    qint64 milliseconds = std::llround((number - days) * kSecondsPerDay * 1000.0);
    // Within half a millisecond of midnight rounds up to the next day, not back to this one's 00:00.
    if (milliseconds >= qint64(kSecondsPerDay * 1000.0)) {
        milliseconds = 0;
        days += 1;
        if (kind == Kind::Time && days == 1.0)
            return QTime(0, 0); // a time of day alone has no day to advance
    }
    switch (kind) {
    case Kind::Logical:
        return number != 0.0;
    case Kind::Date:
        if (milliseconds == 0)
            return nullDate.addDays(static_cast<qint64>(days));
        return QDateTime(nullDate.addDays(static_cast<qint64>(days)), QTime(0, 0).addMSecs(int(milliseconds)));
    case Kind::DateTime:
        return QDateTime(nullDate.addDays(static_cast<qint64>(days)), QTime(0, 0).addMSecs(int(milliseconds)));
    case Kind::Time:
        if (days == 0.0)
            return QTime(0, 0).addMSecs(int(milliseconds));
        return QDateTime(nullDate.addDays(static_cast<qint64>(days)), QTime(0, 0).addMSecs(int(milliseconds)));
    case Kind::Number:
        break;
    }
    return number;
}

QHash<QPair<int, int>, OfficeValues::Kind> OfficeValues::specialCellsOf(const uno::Reference<table::XCellRange>& range)
{
    // Numbers in cells formatted as dates, times or truth values are handed out as such.
    QHash<QPair<int, int>, Kind> specialCells;
    const table::CellRangeAddress address = addressOf(range);
    uno::Reference<sheet::XUniqueCellFormatRangesSupplier> formatGroups(range, uno::UNO_QUERY_THROW);
    uno::Reference<container::XIndexAccess> groups = formatGroups->getUniqueCellFormatRanges();
    for (sal_Int32 g = 0; g < groups->getCount(); ++g) {
        uno::Reference<sheet::XSheetCellRanges> group(groups->getByIndex(g), uno::UNO_QUERY_THROW);
        sal_Int32 formatKey = 0;
        uno::Reference<beans::XPropertySet>(group, uno::UNO_QUERY_THROW)->getPropertyValue("NumberFormat") >>=
            formatKey;
        const Kind kind = kindOfFormat(formatKey);
        if (kind == Kind::Number)
            continue;
        for (const table::CellRangeAddress& part : group->getRangeAddresses()) {
            for (int row = part.StartRow; row <= part.EndRow; ++row)
                for (int col = part.StartColumn; col <= part.EndColumn; ++col)
                    specialCells.insert({row - address.StartRow, col - address.StartColumn}, kind);
        }
    }
    return specialCells;
}

OfficeValues::Kind OfficeValues::kindOfCell(const uno::Reference<table::XCellRange>& cell)
{
    sal_Int32 formatKey = 0;
    uno::Reference<beans::XPropertySet>(cell, uno::UNO_QUERY_THROW)->getPropertyValue("NumberFormat") >>= formatKey;
    return kindOfFormat(formatKey);
}

// Cells whose formula ends in an error (#N/A, #DIV/0!, ...), with the error as the cell shows it:
// the block read gives them as empty.
static QHash<QPair<int, int>, QString> errorCellsOf(const uno::Reference<table::XCellRange>& range)
{
    QHash<QPair<int, int>, QString> errors;
    const table::CellRangeAddress address = addressOf(range);
    const uno::Reference<sheet::XSheetCellRanges> found =
        uno::Reference<sheet::XCellRangesQuery>(range, uno::UNO_QUERY_THROW)
            ->queryFormulaCells(sheet::FormulaResult::ERROR);
    for (const table::CellRangeAddress& part : found->getRangeAddresses()) {
        for (int row = part.StartRow; row <= part.EndRow; ++row) {
            for (int col = part.StartColumn; col <= part.EndColumn; ++col) {
                const int r = row - address.StartRow;
                const int c = col - address.StartColumn;
                uno::Reference<text::XTextRange> cell(range->getCellByPosition(c, r), uno::UNO_QUERY_THROW);
                errors.insert({r, c}, fromOUString(cell->getString()));
            }
        }
    }
    return errors;
}

// Formula cells showing a truth value (TRUE(), or a truth value an .xls file kept as one): their
// cell format says number, their result is shown as TRUE or FALSE.
static QHash<QPair<int, int>, bool> truthFormulaCellsOf(const uno::Reference<table::XCellRange>& range,
                                                        const uno::Sequence<uno::Sequence<uno::Any>>& data)
{
    QHash<QPair<int, int>, bool> truths;
    const table::CellRangeAddress address = addressOf(range);
    const uno::Reference<sheet::XSheetCellRanges> found =
        uno::Reference<sheet::XCellRangesQuery>(range, uno::UNO_QUERY_THROW)
            ->queryFormulaCells(sheet::FormulaResult::VALUE);
    for (const table::CellRangeAddress& part : found->getRangeAddresses()) {
        for (int row = part.StartRow; row <= part.EndRow; ++row) {
            for (int col = part.StartColumn; col <= part.EndColumn; ++col) {
                const int r = row - address.StartRow;
                const int c = col - address.StartColumn;
                // Only a 0 or a 1 can be a truth value: the block read says which, with no call per cell.
                double value = -1;
                if (r >= data.getLength() || c >= data[r].getLength() || !(data[r][c] >>= value)
                    || (value != 0.0 && value != 1.0))
                    continue;
                uno::Reference<table::XCell> cell = range->getCellByPosition(c, r);
                const QString shown =
                    fromOUString(uno::Reference<text::XTextRange>(cell, uno::UNO_QUERY_THROW)->getString());
                if (shown == QLatin1String(value != 0.0 ? "TRUE" : "FALSE"))
                    truths.insert({r, c}, value != 0.0);
            }
        }
    }
    return truths;
}

QList<QVariantList> OfficeValues::read(const uno::Reference<table::XCellRange>& range)
{
    const uno::Sequence<uno::Sequence<uno::Any>> data =
        uno::Reference<sheet::XCellRangeData>(range, uno::UNO_QUERY_THROW)->getDataArray();
    bool someEmpty = false;
    for (const uno::Sequence<uno::Any>& cells : data)
        for (const uno::Any& cell : cells)
            if (!cell.has<double>() && !(cell.has<rtl::OUString>() && !cell.get<rtl::OUString>().isEmpty()))
                someEmpty = true;
    const QHash<QPair<int, int>, QString> errors = someEmpty ? errorCellsOf(range) : QHash<QPair<int, int>, QString>();
    bool someZeroOrOne = false;
    for (const uno::Sequence<uno::Any>& cells : data)
        for (const uno::Any& cell : cells)
            if (cell.has<double>() && (cell.get<double>() == 0.0 || cell.get<double>() == 1.0))
                someZeroOrOne = true;
    const QHash<QPair<int, int>, bool> truths =
        someZeroOrOne ? truthFormulaCellsOf(range, data) : QHash<QPair<int, int>, bool>();
    const bool oneCell = data.getLength() == 1 && data[0].getLength() == 1;
    // One cell asks for its own format only when it holds a number: a single read stays cheap.
    const QHash<QPair<int, int>, Kind> specialCells = oneCell ? QHash<QPair<int, int>, Kind>() : specialCellsOf(range);

    QList<QVariantList> rows;
    rows.reserve(data.getLength());
    for (sal_Int32 r = 0; r < data.getLength(); ++r) {
        const uno::Sequence<uno::Any>& cells = data[r];
        QVariantList row;
        row.reserve(cells.getLength());
        for (sal_Int32 c = 0; c < cells.getLength(); ++c) {
            double number = 0;
            rtl::OUString text;
            if (errors.contains({r, c}))
                row.append(errors.value({r, c}));
            else if (truths.contains({r, c}))
                row.append(truths.value({r, c}));
            else if (cells[c] >>= number)
                row.append(typedNumber(number, oneCell ? kindOfCell(range) : specialCells.value({r, c}, Kind::Number)));
            else if ((cells[c] >>= text) && !text.isEmpty())
                row.append(fromOUString(text));
            else
                row.append(QVariant());
        }
        rows.append(row);
    }
    return rows;
}

bool OfficeValues::write(const uno::Reference<table::XCellRange>& range, const QVariantList& rows)
{
    const BlockSize size = sizeOf(addressOf(range));
    if (rows.size() != size.rows)
        return false;
    uno::Sequence<uno::Sequence<uno::Any>> data(size.rows);
    uno::Sequence<uno::Any>* dataRows = data.getArray();
    for (int r = 0; r < size.rows; ++r) {
        const QVariantList row = rows.at(r).toList();
        if (row.size() != size.columns)
            return false;
        uno::Sequence<uno::Any> cells(size.columns);
        uno::Any* cellValues = cells.getArray();
        for (int c = 0; c < size.columns; ++c)
            cellValues[c] = toAny(row.at(c));
        dataRows[r] = cells;
    }
    uno::Reference<sheet::XCellRangeData>(range, uno::UNO_QUERY_THROW)->setDataArray(data);
    return true;
}

void OfficeValues::writeOne(const uno::Reference<table::XCellRange>& cell, const QVariant& value)
{
    uno::Sequence<uno::Sequence<uno::Any>> data(1);
    data.getArray()[0] = uno::Sequence<uno::Any>(&static_cast<const uno::Any&>(toAny(value)), 1);
    uno::Reference<sheet::XCellRangeData>(cell, uno::UNO_QUERY_THROW)->setDataArray(data);
}

bool OfficeValues::fill(const uno::Reference<table::XCellRange>& range, const QVariant& value)
{
    const BlockSize size = sizeOf(addressOf(range));
    if (qint64(size.rows) * size.columns > kLargestFill)
        return false;
    QVariantList row;
    for (int c = 0; c < size.columns; ++c)
        row.append(value);
    QVariantList rows;
    for (int r = 0; r < size.rows; ++r)
        rows.append(QVariant(row));
    return write(range, rows);
}
