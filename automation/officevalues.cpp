#include "automation/officevalues.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
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
    formats->getNumberFormats()->getByKey(formatKey)->getPropertyValue("Type") >>= type;
    if (type & util::NumberFormat::LOGICAL)
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
    const double days = std::floor(number);
    const qint64 milliseconds = std::llround((number - days) * kSecondsPerDay * 1000.0);
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
        uno::Reference<beans::XPropertySet>(group, uno::UNO_QUERY_THROW)->getPropertyValue("NumberFormat") >>= formatKey;
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

QList<QVariantList> OfficeValues::read(const uno::Reference<table::XCellRange>& range)
{
    const uno::Sequence<uno::Sequence<uno::Any>> data =
        uno::Reference<sheet::XCellRangeData>(range, uno::UNO_QUERY_THROW)->getDataArray();
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
            if (cells[c] >>= number)
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
