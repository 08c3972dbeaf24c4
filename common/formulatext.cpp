#include "common/formulatext.h"

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
