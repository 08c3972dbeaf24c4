#pragma once
// Reading a formula's text: what stands between double quotes is a text constant, which may hold
// anything that looks like a reference or a function.

#include <QString>

// The formula without its text constants ("..." and what is in them).
QString formulaWithoutTexts(const QString& formula);

// Whether the formula reaches a table by name (Table1[Column]); not another file's [1], nor a
// bracket inside a text.
bool reachesTableByName(const QString& formula);
