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
    static const QRegularExpression keyword(QStringLiteral("(?<=[\\w.])\\[(#(?:all|data|headers|totals|this row))\\]"),
                                            QRegularExpression::CaseInsensitiveOption
                                                | QRegularExpression::UseUnicodePropertiesOption);
    static const QStringList spelled{QStringLiteral("#All"), QStringLiteral("#Data"), QStringLiteral("#Headers"),
                                     QStringLiteral("#Totals"), QStringLiteral("#This Row")};
    QString out;
    int from = 0;
    // Only outside texts: the pieces between double quotes stay as they are.
    for (int quote = formula.indexOf(QLatin1Char('"')); from <= formula.size();
         quote = formula.indexOf(QLatin1Char('"'), from)) {
        const int end = quote < 0 ? formula.size() : quote;
        QString piece = formula.mid(from, end - from);
        for (auto match = keyword.match(piece); match.hasMatch(); match = keyword.match(piece, match.capturedStart())) {
            const QString word = *std::find_if(spelled.begin(), spelled.end(), [&](const QString& s) {
                return s.compare(match.captured(1), Qt::CaseInsensitive) == 0;
            });
            piece.replace(match.capturedStart(), match.capturedLength(),
                          QStringLiteral("[[") + word + QStringLiteral("]]"));
        }
        out += piece;
        if (quote < 0)
            break;
        const int closing = formula.indexOf(QLatin1Char('"'), quote + 1);
        const int textEnd = closing < 0 ? formula.size() : closing + 1;
        out += formula.mid(quote, textEnd - quote);
        from = textEnd;
    }
    return out;
}
