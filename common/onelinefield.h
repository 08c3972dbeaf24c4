#pragma once
// The forms' path, cell and count fields are text edits that stand for one line.

#include <QString>
#include <functional>

class QTextEdit;

// Tab and Enter move the focus on instead of typing into the field; the text never wraps, it
// scrolls, so a long path or a six-digit count stays on the one visible line.
void makeOneLineField(QTextEdit* field);

// A file dropped on the field (from a file manager) is handed to onFile as a local path; other
// drops are refused.
void acceptFileDrops(QTextEdit* field, std::function<void(const QString& path)> onFile);
