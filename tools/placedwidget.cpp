#include "tools/placedwidget.h"

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
