#pragma once
// The workbook import shared by the three tools' windows: the open-file dialog whose filter
// depends on what the office opens, and a fresh link with the chosen workbook open.

#include <QString>
#include <QStringList>
#include <memory>

class ExcelOpKiv;
class QWidget;

// Asks for a workbook file. The dialog opens in the folder the named tool (its window class)
// used last. The link is left as it is, so a cancelled dialog changes nothing. Returns the chosen
// path, empty when the dialog was cancelled.
QString askForWorkbook(QWidget* parent, const char* toolName, const std::unique_ptr<ExcelOpKiv>& link);

// Destroys the old link (closing its workbook), starts a new one in its place and opens the
// workbook with its sheets listed, under the wait cursor. False when it did not open: one box
// has said why.
bool openInNewLink(const QString& path, std::unique_ptr<ExcelOpKiv>& link);

// openInNewLink, and a box naming a workbook that opened read-only, for the tools that save in
// place: the workbook's sheet names, none when it did not open.
QStringList importedSheetNames(QWidget* window, const QString& path, std::unique_ptr<ExcelOpKiv>& link);

// What a tool that saves in place says at import about a workbook that opened read-only.
QString readOnlyAtImportText(const QString& path);
