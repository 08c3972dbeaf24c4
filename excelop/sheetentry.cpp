#include "excelop/sheetentry.h"

#include "automation/axobject.h"
#include "excelop/cellref.h"

#include <QDateTime>
#include <cmath>
#include <memory>

namespace {

constexpr int kTitleColumns = 256; // titles beyond this column are never looked at
constexpr double kLargestWholeNumber = 1e15;

QString numberToText(double number)
{
    if (std::isfinite(number) && number == std::floor(number) && std::fabs(number) < kLargestWholeNumber)
        return QString::number(static_cast<qint64>(number));
    return QString::number(number, 'g', 15);
}

QString rangeAddress(int firstCol, int firstRow, int lastCol, int lastRow)
{
    return columnLetters(firstCol) + QString::number(firstRow) + QLatin1Char(':') + columnLetters(lastCol)
           + QString::number(lastRow);
}

// The texts of a block one row or one column wide, in order; empty when the read failed.
QStringList lineTexts(const QVariant& value, int expected)
{
    QStringList texts;
    if (value.type() != QVariant::List) {
        if (expected == 1)
            texts.append(cellValueToText(value));
        return texts;
    }
    const QVariantList rows = value.toList();
    for (const QVariant& row : rows) {
        const QVariantList cells = row.toList();
        for (const QVariant& cell : cells)
            texts.append(cellValueToText(cell));
    }
    if (texts.size() != expected)
        texts.clear();
    return texts;
}

} // namespace

QString cellValueToText(const QVariant& value)
{
    switch (value.type()) {
    case QVariant::Invalid:
        return QString();
    case QVariant::Bool:
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case QVariant::Int:
    case QVariant::UInt:
    case QVariant::LongLong:
    case QVariant::ULongLong:
    case QVariant::Double:
        return numberToText(value.toDouble());
    case QVariant::Date:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QVariant::Time:
        return value.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QVariant::DateTime: {
        const QDateTime moment = value.toDateTime();
        if (moment.time() == QTime(0, 0))
            return moment.date().toString(QStringLiteral("yyyy-MM-dd"));
        return moment.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    }
    default:
        return value.toString();
    }
}

namespace {

// Runs the member on the object, if there is one; true when the office did it.
bool called(const std::unique_ptr<AxObject>& object, const char* member, const QVariant& argument = QVariant())
{
    return object && accepted(object.get(), [&] { object->dynamicCall(member, argument); });
}

} // namespace

SheetEntry::SheetEntry(qint32 index, std::unique_ptr<AxObject> sheet) : index(index), sheet(std::move(sheet)) {}

SheetEntry::~SheetEntry() = default;

void SheetEntry::clearTitles()
{
    titles.clear();
}

QString SheetEntry::getSheetName() const
{
    if (knownName.isEmpty() && sheet)
        knownName = sheet->property("Name").toString();
    return knownName;
}

QString SheetEntry::getCellValue(int row, int col)
{
    std::unique_ptr<AxObject> cell(sheet ? sheet->querySubObject("Cells(int,int)", row, col) : nullptr);
    return cell ? cellValueToText(cell->property("Value")) : QString();
}

bool SheetEntry::setCellValue(int row, int col, const QString& text)
{
    std::unique_ptr<AxObject> cell(sheet ? sheet->querySubObject("Cells(int,int)", row, col) : nullptr);
    return cell && cell->setProperty("Value", QVariant(text));
}

bool SheetEntry::insertColumn(int col)
{
    return called(std::unique_ptr<AxObject>(sheet ? sheet->querySubObject("Columns(int)", col) : nullptr), "Insert");
}

bool SheetEntry::deleteColumn(int col)
{
    return called(std::unique_ptr<AxObject>(sheet ? sheet->querySubObject("Columns(int)", col) : nullptr), "Delete");
}

bool SheetEntry::calculate()
{
    return sheet && accepted(sheet.get(), [&] { sheet->dynamicCall("Calculate()"); });
}

bool SheetEntry::calculateReachingOtherRows()
{
    return sheet && accepted(sheet.get(), [&] { sheet->dynamicCall("CalculateReachingOtherRows()"); });
}

bool SheetEntry::calculateCells(const QVector<QPoint>& cells)
{
    QVariantList places;
    for (const QPoint& cell : cells)
        places.append(QVariant(QVariantList{cell.x(), cell.y()}));
    return sheet && accepted(sheet.get(), [&] { sheet->dynamicCall("CalculateCells(QVariant)", QVariant(places)); });
}

bool SheetEntry::calculateDependentsOf(int firstCol, int firstRow, int lastCol, int lastRow)
{
    if (!sheet || firstCol < 1 || firstRow < 1 || lastCol < firstCol || lastRow < firstRow)
        return false;
    return called(std::unique_ptr<AxObject>(
                      sheet->querySubObject("Range(QString)", rangeAddress(firstCol, firstRow, lastCol, lastRow))),
                  "CalculateDependents");
}

bool SheetEntry::unprotectWithoutPassword()
{
    if (!sheet)
        return false;
    accepted(sheet.get(), [&] { sheet->dynamicCall("Unprotect(const QString&)", QString()); });
    return !isProtected(true);
}

bool SheetEntry::protectWithoutPassword()
{
    return sheet && accepted(sheet.get(), [&] { sheet->dynamicCall("Protect(const QString&)", QString()); })
           && isProtected();
}

bool SheetEntry::setAutoFilter(int row)
{
    return called(std::unique_ptr<AxObject>(sheet ? sheet->querySubObject("Rows(int)", row) : nullptr),
                  "AutoFilter(int)", 1);
}

bool SheetEntry::deleteRows(int firstRow, int lastRow)
{
    const QString span = QString::number(firstRow) + QLatin1Char(':') + QString::number(lastRow);
    return called(std::unique_ptr<AxObject>(sheet ? sheet->querySubObject("Rows(QString)", span) : nullptr), "Delete");
}

bool SheetEntry::deleteRowBlocks(const QList<QPair<int, int>>& blocks)
{
    if (blocks.isEmpty())
        return true;
    // One multi-area address, as Excel writes it: "3:5,8:8".
    QStringList areas;
    areas.reserve(blocks.size());
    for (const QPair<int, int>& block : blocks)
        areas.append(QString::number(block.first) + QLatin1Char(':') + QString::number(block.second));
    std::unique_ptr<AxObject> rows(sheet ? sheet->querySubObject("Range(QString)", areas.join(QLatin1Char(',')))
                                         : nullptr);
    return rows && accepted(rows.get(), [&rows] { rows->dynamicCall("Delete"); });
}

int SheetEntry::getColMax()
{
    const QStringList texts = readRowTexts(1, 1, kTitleColumns);
    int colmax = 1;
    for (int i = 0; i < texts.size(); ++i) {
        if (!texts.at(i).isEmpty())
            colmax = i + 1;
    }
    return colmax;
}

void SheetEntry::loadColumnTitles(int row)
{
    clearTitles();
    titleRow = row;
    const int count = getColMax();
    const QStringList texts = readRowTexts(row, 1, count);
    for (int position = 0; position < count; ++position)
        titles.append(ColumnTitle(texts.value(position), position));
}

QSet<QString> SheetEntry::getColumnValueSet(int firstRow, int lastRow, int col)
{
    const QStringList texts = readColumnTexts(col, firstRow, lastRow);
    return QSet<QString>(texts.cbegin(), texts.cend());
}

QStringList SheetEntry::readColumnTexts(int col, int firstRow, int lastRow)
{
    if (!sheet || col < 1 || firstRow < 1 || lastRow < firstRow)
        return {};
    std::unique_ptr<AxObject> range(sheet->querySubObject("Range(QString)", rangeAddress(col, firstRow, col, lastRow)));
    return range ? lineTexts(range->property("Value"), lastRow - firstRow + 1) : QStringList();
}

QStringList SheetEntry::readRowTexts(int row, int firstCol, int lastCol)
{
    if (!sheet || row < 1 || firstCol < 1 || lastCol < firstCol)
        return {};
    std::unique_ptr<AxObject> range(sheet->querySubObject("Range(QString)", rangeAddress(firstCol, row, lastCol, row)));
    return range ? lineTexts(range->property("Value"), lastCol - firstCol + 1) : QStringList();
}

bool SheetEntry::writeColumnTexts(int col, int firstRow, const QStringList& texts)
{
    QVariantList values;
    values.reserve(texts.size());
    for (const QString& text : texts)
        values.append(text);
    return writeColumnValues(col, firstRow, values);
}

bool SheetEntry::highlightCellsEqualTo(int col, int firstRow, int lastRow, int number)
{
    if (!sheet || col < 1 || firstRow < 1 || lastRow < firstRow)
        return false;
    std::unique_ptr<AxObject> range(sheet->querySubObject("Range(QString)", rangeAddress(col, firstRow, col, lastRow)));
    std::unique_ptr<AxObject> conditions(range ? range->querySubObject("FormatConditions") : nullptr);
    constexpr int kCellValue = 1;
    constexpr int kEqual = 3;
    return conditions && accepted(conditions.get(), [&] {
               conditions->dynamicCall("Add(int,int,QString)", kCellValue, kEqual, QStringLiteral("=%1").arg(number));
           });
}

bool SheetEntry::sortRowsByColumn(int firstRow, int lastRow, int lastCol, int keyCol)
{
    if (!sheet || firstRow < 1 || lastRow < firstRow || keyCol < 1 || keyCol > lastCol)
        return false;
    std::unique_ptr<AxObject> rows(
        sheet->querySubObject("Range(QString)", rangeAddress(1, firstRow, lastCol, lastRow)));
    std::unique_ptr<AxObject> key(
        sheet->querySubObject("Range(QString)", rangeAddress(keyCol, firstRow, keyCol, firstRow)));
    if (!rows || !key)
        return false;
    const QVariant keyValue = key->asVariant();
    return accepted(rows.get(), [&] { rows->dynamicCall("Sort(QVariant,int)", keyValue, 1); });
}

bool SheetEntry::sortRowsByKeys(int firstRow, int lastRow, int lastCol, const QVariantList& keys, bool followReferences)
{
    if (!sheet || firstRow < 1 || lastRow < firstRow || lastCol < 1 || keys.size() != lastRow - firstRow + 1)
        return false;
    std::unique_ptr<AxObject> rows(
        sheet->querySubObject("Range(QString)", rangeAddress(1, firstRow, lastCol, lastRow)));
    return rows && accepted(rows.get(), [&] {
               rows->dynamicCall("SortByKeys(QVariant,bool)", QVariant(keys), followReferences);
           });
}

int SheetEntry::countOf(const char* collection)
{
    std::unique_ptr<AxObject> parts(sheet ? sheet->querySubObject(collection) : nullptr);
    const QVariant count = parts ? parts->property("Count") : QVariant();
    return count.isValid() ? count.toInt() : -1;
}

bool SheetEntry::holdsNotesOrDrawings()
{
    return countOf("Comments") != 0 || countOf("Shapes") != 0;
}

bool SheetEntry::rowsHoldMergedCells(int firstRow, int lastRow)
{
    std::unique_ptr<AxObject> rows(
        sheet ? sheet->querySubObject("Rows(QString)", QStringLiteral("%1:%2").arg(firstRow).arg(lastRow)) : nullptr);
    const QVariant merged = rows ? rows->property("MergeCells") : QVariant();
    return !merged.isValid() || merged.toBool();
}

bool SheetEntry::conditionFormats(QVariantList& formats)
{
    const QVariant read = sheet ? sheet->property("ConditionFormats") : QVariant();
    formats = read.toList();
    return read.type() == QVariant::List;
}

bool SheetEntry::setConditionFormulas(int format, const QVariantList& formulas)
{
    return sheet && accepted(sheet.get(), [&] {
               sheet->dynamicCall("SetConditionFormulas(int,QVariant)", format, QVariant(formulas));
           });
}

QVariantList SheetEntry::rowLooks(int firstRow, int lastRow)
{
    std::unique_ptr<AxObject> rows(sheet && firstRow >= 1 && lastRow >= firstRow ? sheet->querySubObject(
                                       "Rows(QString)", QStringLiteral("%1:%2").arg(firstRow).arg(lastRow))
                                                                                 : nullptr);
    const QVariantList looks = rows ? rows->property("RowLooks").toList() : QVariantList();
    return looks.size() == lastRow - firstRow + 1 ? looks : QVariantList();
}

bool SheetEntry::copyBlockTo(int firstCol, int firstRow, int lastCol, int lastRow, SheetEntry& target, int targetCol,
                             int targetRow)
{
    if (!sheet || !target.sheet || firstRow < 1 || lastRow < firstRow || (lastCol != 0 && lastCol < firstCol))
        return false;
    std::unique_ptr<AxObject> source(
        lastCol == 0 ? sheet->querySubObject("Rows(QString)", QStringLiteral("%1:%2").arg(firstRow).arg(lastRow))
                     : sheet->querySubObject("Range(QString)", rangeAddress(firstCol, firstRow, lastCol, lastRow)));
    std::unique_ptr<AxObject> corner(target.sheet->querySubObject("Cells(int,int)", targetRow, targetCol));
    if (!source || !corner)
        return false;
    const QVariant destination = corner->asVariant();
    return accepted(source.get(), [&] { source->dynamicCall("Copy(QVariant)", destination); });
}

bool SheetEntry::setRowLooks(int firstRow, const QVariantList& looks, const QVariantList& now)
{
    if (looks.isEmpty())
        return true;
    const int lastRow = firstRow + looks.size() - 1;
    std::unique_ptr<AxObject> rows(sheet && firstRow >= 1 ? sheet->querySubObject(
                                       "Rows(QString)", QStringLiteral("%1:%2").arg(firstRow).arg(lastRow))
                                                          : nullptr);
    if (!rows)
        return false;
    if (now.size() != looks.size())
        return rows->setProperty("RowLooks", looks);
    return accepted(rows.get(), [&] { rows->dynamicCall("RestoreRowLooks(QVariant,QVariant)", looks, now); });
}

QList<QStringList> SheetEntry::blockFormulas(int firstCol, int firstRow, int lastCol, int lastRow)
{
    if (!sheet || firstCol < 1 || firstRow < 1 || lastCol < firstCol || lastRow < firstRow)
        return {};
    std::unique_ptr<AxObject> range(
        sheet->querySubObject("Range(QString)", rangeAddress(firstCol, firstRow, lastCol, lastRow)));
    const QVariant contents = range ? range->property("Formula") : QVariant();
    QList<QStringList> rows;
    if (contents.type() != QVariant::List) {
        if (contents.isValid() && firstRow == lastRow && firstCol == lastCol)
            rows.append(QStringList{contents.toString()});
        return rows;
    }
    for (const QVariant& row : contents.toList())
        rows.append(row.toStringList());
    return rows;
}

QList<QVariantList> SheetEntry::usedAreaValues()
{
    std::unique_ptr<AxObject> used(sheet ? sheet->querySubObject("UsedRange") : nullptr);
    const QVariant values = used ? used->property("Value") : QVariant();
    if (values.type() != QVariant::List)
        return {QVariantList{values}};
    QList<QVariantList> rows;
    for (const QVariant& row : values.toList())
        rows.append(row.toList());
    return rows;
}

QVector<bool> SheetEntry::writeColumnRuns(const QVariantList& runs)
{
    QVector<bool> written(runs.size(), false);
    if (runs.isEmpty() || !sheet)
        return written;
    const QVariantList answer = sheet->dynamicCall("WriteColumnRuns(QVariant)", QVariant(runs)).toList();
    for (int k = 0; k < answer.size() && k < written.size(); ++k)
        written[k] = answer.at(k).toBool();
    return written;
}

bool SheetEntry::writeColumnValues(int col, int firstRow, const QVariantList& values)
{
    if (values.isEmpty())
        return true;
    if (!sheet || col < 1 || firstRow < 1)
        return false;
    const int lastRow = firstRow + values.size() - 1;
    std::unique_ptr<AxObject> range(sheet->querySubObject("Range(QString)", rangeAddress(col, firstRow, col, lastRow)));
    if (!range)
        return false;
    QVariantList rows;
    rows.reserve(values.size());
    for (const QVariant& value : values)
        rows.append(QVariant(QVariantList{value}));
    return range->setProperty("Value", rows);
}

int SheetEntry::usedColumnCount()
{
    std::unique_ptr<AxObject> used(sheet ? sheet->querySubObject("UsedRange") : nullptr);
    std::unique_ptr<AxObject> columns(used ? used->querySubObject("Columns") : nullptr);
    return columns ? columns->property("Count").toInt() : 0;
}

int SheetEntry::usedRowCount()
{
    std::unique_ptr<AxObject> used(sheet ? sheet->querySubObject("UsedRange") : nullptr);
    std::unique_ptr<AxObject> rows(used ? used->querySubObject("Rows") : nullptr);
    return rows ? rows->property("Count").toInt() : 0;
}

QStringList SheetEntry::pivotTablesFromOtherSheets()
{
    QStringList corners;
    for (const QVariant& corner : sheet ? sheet->property("PivotTablesFromOtherSheets").toList() : QVariantList()) {
        const QVariantList place = corner.toList();
        corners << columnLetters(place.value(0).toInt()) + QString::number(place.value(1).toInt());
    }
    return corners;
}

int SheetEntry::keepPivotTablesAsValues()
{
    int kept = -1;
    if (sheet)
        accepted(sheet.get(), [&] { kept = sheet->dynamicCall("KeepPivotTablesAsValues()").toInt(); });
    return kept;
}

bool SheetEntry::holdsFormulas()
{
    std::unique_ptr<AxObject> used(sheet ? sheet->querySubObject("UsedRange") : nullptr);
    const QVariant hasFormula = used ? used->property("HasFormula") : QVariant();
    return !hasFormula.isValid() || hasFormula.toBool();
}

bool SheetEntry::formulasMatching(const QString& pattern, QList<PlacedFormula>& found)
{
    QVariant list;
    if (!sheet || !accepted(sheet.get(), [&] { list = sheet->dynamicCall("FormulasMatching(QString)", pattern); }))
        return false;
    found.clear();
    for (const QVariant& cell : list.toList()) {
        const QVariantList parts = cell.toList();
        found.append({parts.value(0).toInt(), parts.value(1).toInt(), parts.value(2).toString()});
    }
    return true;
}

QList<QStringList> SheetEntry::usedAreaFormulas()
{
    std::unique_ptr<AxObject> used(sheet ? sheet->querySubObject("UsedRange") : nullptr);
    const QVariant formulas = used ? used->property("Formula") : QVariant();
    if (formulas.type() != QVariant::List)
        return formulas.isValid() ? QList<QStringList>{{formulas.toString()}} : QList<QStringList>();
    QList<QStringList> rows;
    for (const QVariant& row : formulas.toList())
        rows.append(row.toStringList());
    return rows;
}

int SheetEntry::keepValues(int row, int firstCol, int lastCol)
{
    if (!sheet || row < 1 || firstCol < 1 || lastCol < firstCol)
        return 0;
    std::unique_ptr<AxObject> range(sheet->querySubObject("Range(QString)", rangeAddress(firstCol, row, lastCol, row)));
    return range ? range->dynamicCall("KeepValues").toInt() : 0;
}

bool SheetEntry::isProtected(bool whenUnknown)
{
    const QVariant isProtected = sheet ? sheet->property("ProtectContents") : QVariant();
    return isProtected.isValid() ? isProtected.toBool() : whenUnknown;
}

bool SheetEntry::isVisible()
{
    return sheet && sheet->property("Visible").toInt() != 0;
}

int SheetEntry::rowLimit()
{
    std::unique_ptr<AxObject> rows(sheet ? sheet->querySubObject("Rows") : nullptr);
    return rows ? rows->property("Count").toInt() : 0;
}

int SheetEntry::columnLimit()
{
    std::unique_ptr<AxObject> columns(sheet ? sheet->querySubObject("Columns") : nullptr);
    return columns ? columns->property("Count").toInt() : 0;
}

QStringList getColumnTitleTexts(const QList<ColumnTitle>& titles)
{
    QStringList texts;
    for (const ColumnTitle& title : titles)
        texts.append(title.text);
    return texts;
}
