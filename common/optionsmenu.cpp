#include "common/optionsmenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include <algorithm>

namespace {

QString optionKey(const QString& settingsKey)
{
    return QStringLiteral("options/") + settingsKey;
}

} // namespace

QMenu* optionsMenuOf(QMainWindow* window)
{
    if (auto menu = window->findChild<QMenu*>(QStringLiteral("optionsMenu")))
        return menu;
    const bool hadMenuBar = window->findChild<QMenuBar*>() != nullptr;
    QMenuBar* bar = window->menuBar();
    const int heightBefore = hadMenuBar ? bar->sizeHint().height() : 0;
    QMenu* menu = bar->addMenu(QCoreApplication::translate("OptionsMenu", "选项"));
    menu->setObjectName(QStringLiteral("optionsMenu"));
    // The form below keeps its written size: the window grows by what the menu bar grew.
    const int grown = std::max(0, bar->sizeHint().height() - heightBefore);
    if (window->minimumHeight() > 0)
        window->setMinimumHeight(window->minimumHeight() + grown);
    window->resize(window->width(), window->height() + grown);
    return menu;
}

QAction* addRememberedOption(QMenu* menu, const QString& text, const QString& settingsKey)
{
    QAction* action = menu->addAction(text);
    action->setCheckable(true);
    action->setChecked(QSettings().value(optionKey(settingsKey), false).toBool());
    action->setObjectName(settingsKey);
    QObject::connect(action, &QAction::toggled,
                     [settingsKey](bool checked) { QSettings().setValue(optionKey(settingsKey), checked); });
    return action;
}

QActionGroup* addRememberedChoice(QMenu* menu, const QString& title, const QStringList& texts,
                                  const QStringList& values, const QString& settingsKey)
{
    QMenu* choices = menu->addMenu(title);
    auto group = new QActionGroup(choices);
    group->setObjectName(settingsKey);
    group->setExclusive(true);
    const QString remembered = QSettings().value(optionKey(settingsKey), values.value(0)).toString();
    for (int k = 0; k < texts.size(); ++k) {
        QAction* action = choices->addAction(texts.at(k));
        action->setCheckable(true);
        action->setData(values.value(k));
        action->setChecked(values.value(k) == remembered || (k == 0 && !values.contains(remembered)));
        group->addAction(action);
    }
    QObject::connect(group, &QActionGroup::triggered, [settingsKey](QAction* action) {
        QSettings().setValue(optionKey(settingsKey), action->data().toString());
    });
    return group;
}

QString chosenValue(const QActionGroup* group)
{
    const QAction* checked = group->checkedAction();
    return checked ? checked->data().toString() : QString();
}
