#pragma once
// Forms laid out with absolute positions: a widget made, named and placed in one step, labels
// that fit their text, lists filled in one step.

#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>

template <typename Widget>
Widget* placedWidget(QWidget* parent, const char* objectName, const QRect& geometry)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setGeometry(geometry);
    return widget;
}

// Labels placed for a narrower font than the one at hand would cut their text off: they grow to
// the width their text needs, keeping their place.
void widenLabelsToFit(QWidget* form);

class QMainWindow;
class QMenuBar;
class QStatusBar;
// The window's menu bar (across its top, as wide as the form) and status bar, named as the
// forms name them.
void addMenuAndStatusBars(QMainWindow* window, int width, QMenuBar*& menubar, QStatusBar*& statusbar);

class QComboBox;
// Clears the box and appends the names in list order; does nothing without a box.
void fillComboBox(const QList<QString>& names, QComboBox* box);
