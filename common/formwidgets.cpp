#include "common/formwidgets.h"

#include <QStatusBar>

#include <QMenuBar>

#include <QMainWindow>

#include <QComboBox>
#include <QLabel>

void widenLabelsToFit(QWidget* form)
{
    const QList<QLabel*> labels = form->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        const int needed = label->sizeHint().width();
        if (needed > label->width())
            label->resize(needed, label->height());
    }
}

void fillComboBox(const QList<QString>& names, QComboBox* box)
{
    if (!box)
        return;
    box->clear();
    for (const QString& name : names)
        box->addItem(name);
}

void addMenuAndStatusBars(QMainWindow* window, int width, QMenuBar*& menubar, QStatusBar*& statusbar)
{
    menubar = placedWidget<QMenuBar>(window, "menubar", QRect(0, 0, width, 24));
    window->setMenuBar(menubar);
    statusbar = new QStatusBar(window);
    statusbar->setObjectName(QStringLiteral("statusbar"));
    window->setStatusBar(statusbar);
}
