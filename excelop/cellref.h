#pragma once
// A typed cell position such as A2 (or a column such as AA) turned into 1-based numbers, with
// its own letters table; never asks the spreadsheet application.

#include <QString>

class CellRef
{
public:
    // True when the text is a cell reference (spaces ignored, only the part before a ":" counts,
    // either letter case); then row and col hold its numbers, otherwise they keep their values.
    bool parse(const QString& text);
    // The column number of the letters (A = 1, AA = 27); 0 when they are empty, hold anything
    // but A to Z in either case, or give a number beyond the 32-bit range.
    qint32 colLettersToNumber(const QString& columnLetters) const;

    QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    qint32 row = 0;
    qint32 col = 0;
};

// "A".."Z", "AA".. for a 1-based column number.
QString columnLetters(int column);
// The column number of letters such as "AB" (either case); 0 when they are none.
int columnNumber(const QString& letters);
