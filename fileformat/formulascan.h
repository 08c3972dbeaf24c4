#pragma once
// What an .xlsx package's cell formulas may hold, read from the file itself: asking the office
// means turning every formula of every sheet into text, which for a long sheet costs more than
// reading its whole package. Each answer is "maybe" (true) unless the package shows "no".

#include <QByteArray>
#include <QString>
#include <functional>

namespace FormulaScan {

// Whether some cell formula of the .xlsx or .xlsm package passes the test, which gets the text as
// the file holds it (&amp; for &). True as well for other formats, packages not read whole, and
// formulas holding a character reference (&#58;), which may stand for anything.
bool anyCellFormula(const QString& path, const std::function<bool(const QByteArray&)>& test);

// A range over sheets ('Jan:Mar'!A1, [1]Jan:Mar!A1) has a ':' before a '!'.
bool mayHoldSheetRanges(const QString& path);

// What the office compiles again when lines move: a table by name (Table1[Amount]; another
// file's [1] counts too) or a lost reference (#REF!).
bool mayHoldTablesOrLostReferences(const QString& path);

// Both answers from one reading of the package, and whether some sheet lists row breaks (Excel
// keeps its manual page breaks there): asking the office lays out every page of the sheet.
struct Findings
{
    bool sheetRanges = true;
    bool tablesOrLostReferences = true;
    bool rowBreaks = true;
};
Findings findingsOf(const QString& path);

} // namespace FormulaScan
