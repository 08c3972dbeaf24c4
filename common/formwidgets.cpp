#include "common/formwidgets.h"

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
