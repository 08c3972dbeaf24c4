#include "excelop/cellref.h"

#include <QRegularExpression>
#include <QStringList>

#include <limits>

bool CellRef::parse(const QString& text)
{
    QString cell = text;
    cell.remove(QLatin1Char(' '));
    cell = cell.trimmed();
    const int colon = cell.indexOf(QLatin1Char(':'));
    if (colon >= 0)
        cell.truncate(colon);
    cell = cell.toUpper();

    static const QRegularExpression cellPattern(QStringLiteral("^[A-Z]+[0-9]+$"));
    if (!cellPattern.match(cell).hasMatch())
        return false;

    static const QRegularExpression letterRuns(QStringLiteral("[A-Z]+"));
    static const QRegularExpression digitRuns(QStringLiteral("[0-9]+"));
    const QString rowText = cell.split(letterRuns, Qt::KeepEmptyParts).value(1);
    const QString columnText = cell.split(digitRuns, Qt::KeepEmptyParts).value(0);

    col = colLettersToNumber(columnText);
    row = rowText.toInt(); // 0 when it does not fit
    return true;
}

qint32 CellRef::colLettersToNumber(const QString& columnLetters) const
{
    const QString upper = columnLetters.toUpper();
    if (upper.isEmpty())
        return 0;
    qint64 number = 0;
    qint64 weight = 1;
    for (int i = upper.size() - 1; i >= 0; --i) {
        const int place = letters.indexOf(upper.at(i)) + 1;
        if (place == 0)
            return 0;
        number += place * weight;
        if (number > std::numeric_limits<qint32>::max())
            return 0;
        if (i > 0 && weight > std::numeric_limits<qint32>::max())
            return 0; // a further letter could only push past the range
        weight *= letters.size();
    }
    return static_cast<qint32>(number);
}

QString columnLetters(int column)
{
    const QString letters = CellRef().letters;
    QString text;
    for (int rest = column; rest > 0; rest = (rest - 1) / letters.size())
        text.prepend(letters.at((rest - 1) % letters.size()));
    return text;
}

int columnNumber(const QString& letters)
{
    return CellRef().colLettersToNumber(letters);
}
