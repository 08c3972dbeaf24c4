#pragma once
// Reading a formula's text: what stands between double quotes is a text constant, which may hold
// anything that looks like a reference or a function.

#include <QString>

// The formula without its text constants ("..." and what is in them).
QString formulaWithoutTexts(const QString& formula);

// Whether the formula reaches a table by name (Table1[Column]); not another file's [1], nor a
// bracket inside a text.
bool reachesTableByName(const QString& formula);

// The formula with a table's single-bracket keywords written in double brackets: Table1[#All]
// as Table1[[#All]]. The office prints Table1[#All] as Table1[#all] and cannot read that back,
// so a formula it compiles again from its text loses the table (Err:504); the double-bracket
// form means the same to Excel and the office reads it. Texts and other brackets stay.
QString withTableKeywordsBracketed(const QString& formula);
