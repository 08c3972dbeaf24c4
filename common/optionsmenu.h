#pragma once
// A tool window's 选项 menu: checkable choices the window remembers between runs (QSettings).
// Added above the form, the window grows by the menu bar's height so the form keeps its geometry.

#include <QString>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;

// The window's 选项 menu, made on first use.
QMenu* optionsMenuOf(QMainWindow* window);

// A checkable action, checked as the user left it last time (unchecked the first time).
QAction* addRememberedOption(QMenu* menu, const QString& text, const QString& settingsKey);

// Exclusive choices in a sub-menu; `values` are what is remembered, the first is the default.
// Returns the group; the checked action's data() holds its value.
QActionGroup* addRememberedChoice(QMenu* menu, const QString& title, const QStringList& texts,
                                  const QStringList& values, const QString& settingsKey);

// The value of the checked action of a group from addRememberedChoice.
QString chosenValue(const QActionGroup* group);
