#pragma once
// The original kept beside a workbook before a tool saves its changes into it.

#include <QString>

// Copies the workbook to "<name>.备份<ext>" in its folder ("<name>.备份2<ext>", "<name>.备份3<ext>",
// ... when that name is taken). Returns the copy's path; empty when no whole copy could be made
// (nothing half-written is left).
QString keepBackupBeside(const QString& workbookPath);

// What the user is told when the backup failed and the workbook was therefore not saved.
QString backupFailedText(const QString& workbookPath);
