#include "common/onelinefield.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextEdit>
#include <QUrl>

namespace {

class FocusMover : public QObject
{
public:
    explicit FocusMover(QTextEdit* field) : QObject(field), field(field) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        // As a Tab would: the field passes Tab on to the next one.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &tab);
        return true;
    }

private:
    QTextEdit* field;
};

QString droppedLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    const QList<QUrl> urls = data->urls();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

// Watches the field's viewport, where a text edit takes its drops.
class FileDropTaker : public QObject
{
public:
    FileDropTaker(QTextEdit* field, std::function<void(const QString&)> onFile)
        : QObject(field), onFile(std::move(onFile))
    {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto drag = static_cast<QDragMoveEvent*>(event);
            if (droppedLocalFile(drag->mimeData()).isEmpty())
                drag->ignore();
            else
                drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto drop = static_cast<QDropEvent*>(event);
            const QString path = droppedLocalFile(drop->mimeData());
            if (path.isEmpty()) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            onFile(path);
            return true;
        }
        default:
            return false;
        }
    }

private:
    std::function<void(const QString&)> onFile;
};

} // namespace

void makeOneLineField(QTextEdit* field)
{
    field->setTabChangesFocus(true);
    field->setLineWrapMode(QTextEdit::NoWrap);
    field->setWordWrapMode(QTextOption::NoWrap);
    field->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    field->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The count fields are 40 pixels wide: a thin margin lets a five-digit count show whole.
    field->document()->setDocumentMargin(1);
    field->installEventFilter(new FocusMover(field));
}

void acceptFileDrops(QTextEdit* field, std::function<void(const QString& path)> onFile)
{
    // A read-only text edit turns drops off on its viewport, where they arrive.
    field->setAcceptDrops(true);
    field->viewport()->setAcceptDrops(true);
    field->viewport()->installEventFilter(new FileDropTaker(field, std::move(onFile)));
}
