#include "formchecks.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocument>
#include <QtTest>

namespace {

QString nameOf(const QWidget* widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

QString describe(const QRect& rect)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

QList<QWidget*> shownWidgets(const QWidget* form)
{
    QList<QWidget*> shown;
    for (QWidget* child : form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!child->isHidden() && !child->isWindow())
            shown.append(child);
    return shown;
}

bool isPlainText(const QLabel* label)
{
    return label->textFormat() == Qt::PlainText
           || (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text()));
}

// Where a widget draws its one line of plain text, and how it aligns it there.
struct TextPlace
{
    QString text;
    QRect room;
    Qt::Alignment alignment;
};

bool textPlace(const QWidget* widget, TextPlace& place)
{
    if (auto label = qobject_cast<const QLabel*>(widget)) {
        if (!isPlainText(label) || label->wordWrap())
            return false;
        const int margin = label->margin();
        place = {label->text(), label->contentsRect().adjusted(margin, margin, -margin, -margin), label->alignment()};
        return true;
    }
    auto button = qobject_cast<const QAbstractButton*>(widget);
    if (!button || !(qobject_cast<const QPushButton*>(button) || qobject_cast<const QCheckBox*>(button)))
        return false;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    auto push = qobject_cast<const QPushButton*>(button);
    if (push && (push->autoDefault() || push->isDefault()))
        option.features |= QStyleOptionButton::AutoDefaultButton;
    const QStyle::SubElement contents = push ? QStyle::SE_PushButtonContents : QStyle::SE_CheckBoxContents;
    // "&&" shows as "&", a single "&" marks the shortcut and shows as an underline.
    QString shown = button->text();
    shown.replace(QStringLiteral("&&"), QChar(1)).remove(QLatin1Char('&')).replace(QChar(1), QLatin1Char('&'));
    place = {shown, button->style()->subElementRect(contents, &option, button),
             push ? Qt::Alignment(Qt::AlignCenter) : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter)};
    return true;
}

// Where the widget shows: a label where its text is drawn, anything else all of it.
QRect shownArea(const QWidget* widget)
{
    auto label = qobject_cast<const QLabel*>(widget);
    if (!label || !isPlainText(label) || label->wordWrap())
        return widget->geometry();
    const QRect contents = label->contentsRect();
    const QSize text = QFontMetrics(label->font()).size(0, label->text()).boundedTo(contents.size());
    return QStyle::alignedRect(label->layoutDirection(), label->alignment(), text, contents)
        .translated(label->geometry().topLeft());
}

} // namespace

ProgramFont::ProgramFont() : before(QApplication::font())
{
    QFont interface = before;
    interface.setPointSize(9);
    QApplication::setFont(interface);
}

ProgramFont::~ProgramFont()
{
    QApplication::setFont(before);
}

QStringList cutOffTexts(const QWidget* form)
{
    QStringList faults;
    for (const QWidget* widget : shownWidgets(form)) {
        TextPlace place;
        if (!textPlace(widget, place) || place.text.isEmpty())
            continue;
        // The letters themselves: the blank half of a full-width "：" or "。" may go unseen.
        const QFontMetrics metrics(widget->font());
        const QSize advance(metrics.horizontalAdvance(place.text), metrics.height());
        const int origin = QStyle::alignedRect(widget->layoutDirection(), place.alignment, advance, place.room).x();
        const QRect ink = metrics.tightBoundingRect(place.text);
        const int left = origin + ink.left();
        const int right = origin + ink.left() + ink.width();
        if (left < place.room.left() || right > place.room.left() + place.room.width())
            faults << QStringLiteral("%1 shows \"%2\" from %3 to %4 px, its letters reach from %5 to %6 px")
                          .arg(nameOf(widget), place.text)
                          .arg(place.room.left())
                          .arg(place.room.left() + place.room.width())
                          .arg(left)
                          .arg(right);
    }
    return faults;
}

QStringList widgetsOutside(const QWidget* form)
{
    QStringList faults;
    for (const QWidget* widget : shownWidgets(form))
        if (!form->rect().contains(widget->geometry()))
            faults << QStringLiteral("%1 %2 reaches out of the form %3")
                          .arg(nameOf(widget), describe(widget->geometry()), describe(form->rect()));
    return faults;
}

QStringList overlappingWidgets(const QWidget* form)
{
    QStringList faults;
    const QList<QWidget*> widgets = shownWidgets(form);
    for (int i = 0; i < widgets.size(); ++i)
        for (int j = i + 1; j < widgets.size(); ++j) {
            const QRect first = shownArea(widgets.at(i));
            const QRect second = shownArea(widgets.at(j));
            if (first.intersects(second))
                faults << QStringLiteral("%1 %2 and %3 %4 overlap")
                              .arg(nameOf(widgets.at(i)), describe(first), nameOf(widgets.at(j)), describe(second));
        }
    return faults;
}

QStringList layoutFaults(const QWidget* form)
{
    return cutOffTexts(form) + widgetsOutside(form) + overlappingWidgets(form);
}

QStringList layoutFaultsOnScreen(QMainWindow& window)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return {QStringLiteral("%1 never showed").arg(nameOf(&window))};
    return layoutFaults(window.centralWidget());
}
