#include "common/formulatext.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

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

QString withTableKeywordsBracketed(const QString& formula)
{
    // A text in quotes matches first and is copied as it is; only a keyword outside texts changes.
    static const QRegularExpression textOrKeyword(
        QStringLiteral("\"[^\"]*\"?|(?<=[\\w.])\\[(#(?:all|data|headers|totals|this row))\\]"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    static const QStringList spelled{QStringLiteral("#All"), QStringLiteral("#Data"), QStringLiteral("#Headers"),
                                     QStringLiteral("#Totals"), QStringLiteral("#This Row")};
    QString out;
    int copied = 0;
    for (auto found = textOrKeyword.globalMatch(formula); found.hasNext();) {
        const QRegularExpressionMatch match = found.next();
        if (match.captured(1).isEmpty())
            continue;
        const QString word = *std::find_if(spelled.begin(), spelled.end(), [&](const QString& s) {
            return s.compare(match.captured(1), Qt::CaseInsensitive) == 0;
        });
        out += formula.mid(copied, match.capturedStart() - copied) + QStringLiteral("[[") + word + QStringLiteral("]]");
        copied = match.capturedEnd();
    }
    return out + formula.mid(copied);
}
