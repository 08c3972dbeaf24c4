#pragma once
// The cell references a formula's text holds, as the office writes it (Sheet1.A1, $'my sheet'.$B$1,
// a;b) or as Excel does (Sheet1!A1). Numbers are 1-based.

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

// One end of a reference: its sheet (empty for the formula's own sheet), its row and column.
struct ReferenceEnd
{
    QString sheet;
    bool sheetAbsolute = true;
    bool hasRow = false; // false for whole columns (A:C)
    bool rowAbsolute = false;
    int row = 0;
    bool hasColumn = false; // false for whole rows (3:5)
    int column = 0;
};

struct Reference
{
    ReferenceEnd first;
    ReferenceEnd last;
};

// False for anything not understood: names (other than constantNames, folded case), tables,
// errors, other files, array constants.
bool readReferences(const QString& formula, QVector<Reference>& references, const QSet<QString>& constantNames = {});

// The references that can be read, passing over what cannot (names, tables, errors, other files'
// references, array constants). An array formula's braces are allowed.
QVector<Reference> readableReferences(const QString& formula);

// What a formula names, read as readableReferences reads it.
struct FormulaParts
{
    QVector<Reference> references;
    // The sheets its references name, also where the cells after the sheet are not understood
    // ($'Data'.R1C1); other files' sheets are not among them.
    QStringList sheets;
    // What it holds that is no function, reference, number or truth value: defined names,
    // tables and the like.
    QStringList names;
};
FormulaParts readFormulaParts(const QString& formula);
