#pragma once
// The workbook import shared by the three tools: a fresh link to the spreadsheet application
// and the open-file dialog whose filter depends on what that application opens.

#include <QString>
#include <memory>

class ExcelOpKiv;
class QWidget;

// Destroys the old link (closing its workbook), starts a new one in its place and asks for a
// workbook file. The dialog's title and filter pass through the translation function with the
// given context. Returns the chosen path, empty when the dialog was cancelled.
QString replaceLinkAndAskForWorkbook(QWidget* parent, const char* translationContext,
                                     std::unique_ptr<ExcelOpKiv>& link);

// Destroys the old link and starts a new one in its place.
void replaceLink(std::unique_ptr<ExcelOpKiv>& link);
