#pragma once
// Cell values between the office and the automation layer: numbers, texts, dates, times and
// truth values as an Excel application hands them out; one conversion for one cell and for
// whole blocks, so equal cells read alike whichever way they are read.

#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCellRange.hpp>

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

QString fromOUString(const rtl::OUString& text);
rtl::OUString toOUString(const QString& text);

class OfficeValues
{
public:
    OfficeValues() = default;
    explicit OfficeValues(
        const ::com::sun::star::uno::Reference<::com::sun::star::sheet::XSpreadsheetDocument>& document);

    // The block's values, row by row: an invalid QVariant for an empty cell, QString, double,
    // bool, QDate, QTime or QDateTime. Throws UNO exceptions.
    QList<QVariantList> read(const ::com::sun::star::uno::Reference<::com::sun::star::table::XCellRange>& range);
    // Rows of values into a block of exactly that size; false when the sizes differ.
    bool write(const ::com::sun::star::uno::Reference<::com::sun::star::table::XCellRange>& range,
               const QVariantList& rows);
    // One value into a block of one cell.
    void writeOne(const ::com::sun::star::uno::Reference<::com::sun::star::table::XCellRange>& cell,
                  const QVariant& value);
    // One value into every cell of the block.
    bool fill(const ::com::sun::star::uno::Reference<::com::sun::star::table::XCellRange>& range,
              const QVariant& value);

private:
    enum class Kind { Number, Date, Time, DateTime, Logical };
    Kind kindOfFormat(int formatKey);
    Kind kindOfCell(const ::com::sun::star::uno::Reference<::com::sun::star::table::XCellRange>& cell);
    QHash<QPair<int, int>, Kind> specialCellsOf(
        const ::com::sun::star::uno::Reference<::com::sun::star::table::XCellRange>& range);
    QVariant typedNumber(double number, Kind kind) const;

    ::com::sun::star::uno::Reference<::com::sun::star::sheet::XSpreadsheetDocument> document;
    QHash<int, Kind> formatKinds;
    QDate nullDate{1899, 12, 30};
};
