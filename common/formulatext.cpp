#include "common/formulatext.h"

#include <QRegularExpression>

QString formulaWithoutTexts(const QString& formula)
{
    QString out;
    bool inText = false;
    for (const QChar c : formula) {
        if (c == QLatin1Char('"'))
            inText = !inText;
        else if (!inText)
            out.append(c);
    }
    return out;
}

bool reachesTableByName(const QString& formula)
{
    static const QRegularExpression table(QStringLiteral("[\\w.]\\["), QRegularExpression::UseUnicodePropertiesOption);
    return formulaWithoutTexts(formula).contains(table);
}
