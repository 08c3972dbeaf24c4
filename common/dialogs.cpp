#include "common/dialogs.h"

#include "common/busycursor.h"
#include "common/runprogress.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QCoreApplication>
#include <QProgressDialog>
#include <functional>

namespace {

struct MessageBoxState
{
    bool headless = false;
    QList<QMessageBox::StandardButton> nextAnswers;
    QStringList shown;
    NoticeKind lastKind = NoticeKind::Information;
    QPointer<QWidget> lastParent;
    QPointer<QWidget> askingWindow; // set by BoxesCentredOn
};

MessageBoxState& messageBoxState()
{
    static MessageBoxState state;
    return state;
}

QMessageBox::StandardButton takeHeadlessAnswer(const QString& recordedText)
{
    MessageBoxState& state = messageBoxState();
    state.shown.append(recordedText);
    return state.nextAnswers.isEmpty() ? QMessageBox::Ok : state.nextAnswers.takeFirst();
}

struct FileDialogState
{
    bool headless = false;
    QStringList nextFileNames;
    QStringList nextDirectories;
    QString lastCaption;
    QString lastFilter;
    QString lastStartFolder;
};

FileDialogState& fileDialogState()
{
    static FileDialogState state;
    return state;
}

// Call once the texts are set: the informative label only exists from then on, and QMessageBox
// makes it open links by itself, past KivDesktopServices.
void showAsPlainText(QMessageBox& box)
{
    box.setTextFormat(Qt::PlainText);
    const QList<QLabel*> labels = box.findChildren<QLabel*>();
    for (QLabel* label : labels) {
        label->setTextFormat(Qt::PlainText);
        label->setOpenExternalLinks(false);
    }
}

} // namespace

namespace {

QMessageBox::Icon iconOf(NoticeKind kind)
{
    switch (kind) {
    case NoticeKind::Warning:
        return QMessageBox::Warning;
    case NoticeKind::Failure:
        return QMessageBox::Critical;
    case NoticeKind::Information:
        break;
    }
    return QMessageBox::Information;
}

QString settingsKeyOf(const QString& folderKey)
{
    return QStringLiteral("folders/") + folderKey;
}

QString rememberedFolder(const QString& folderKey)
{
    if (folderKey.isEmpty())
        return QString();
    const QString folder = QSettings().value(settingsKeyOf(folderKey)).toString();
    return QFileInfo(folder).isDir() ? folder : QString();
}

void rememberFolder(const QString& folderKey, const QString& folder)
{
    if (!folderKey.isEmpty() && !folder.isEmpty())
        QSettings().setValue(settingsKeyOf(folderKey), folder);
}

} // namespace

void KivMessageBox::inform(const QString& text, NoticeKind kind, QWidget* parent)
{
    MessageBoxState& state = messageBoxState();
    if (!parent)
        parent = state.askingWindow ? state.askingWindow.data() : QApplication::activeWindow();
    state.lastKind = kind;
    state.lastParent = parent;
    if (state.headless) {
        takeHeadlessAnswer(text);
        return;
    }
    // A box with a parent opens centred on it.
    QMessageBox box(parent);
    box.setIcon(iconOf(kind));
    box.setText(text);
    showAsPlainText(box);
    NormalCursor arrow;
    box.exec();
}

bool KivMessageBox::confirm(const QString& text, const QString& informativeText, const QString& okText,
                            const QString& cancelText, QWidget* parent)
{
    if (messageBoxState().headless)
        return takeHeadlessAnswer(text + "\n" + informativeText) == QMessageBox::Ok;
    QMessageBox box(parent);
    box.setText(text);
    box.setInformativeText(informativeText);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    if (!okText.isEmpty())
        box.button(QMessageBox::Ok)->setText(okText);
    if (!cancelText.isEmpty())
        box.button(QMessageBox::Cancel)->setText(cancelText);
    showAsPlainText(box);
    NormalCursor arrow;
    return box.exec() == QMessageBox::Ok;
}

KivMessageBox::Choice KivMessageBox::confirmOrDismiss(const QString& text, const QString& informativeText,
                                                      const QString& dismissText, const QString& okText,
                                                      const QString& cancelText)
{
    if (messageBoxState().headless) {
        const QMessageBox::StandardButton answer = takeHeadlessAnswer(text + "\n" + informativeText);
        if (answer == QMessageBox::Ok)
            return Choice::Ok;
        return answer == QMessageBox::Ignore ? Choice::Dismiss : Choice::Cancel;
    }
    QMessageBox box;
    box.setText(text);
    box.setInformativeText(informativeText);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    if (!okText.isEmpty())
        box.button(QMessageBox::Ok)->setText(okText);
    if (!cancelText.isEmpty())
        box.button(QMessageBox::Cancel)->setText(cancelText);
    QPushButton* dismiss = box.addButton(dismissText, QMessageBox::RejectRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    showAsPlainText(box);
    NormalCursor arrow;
    box.exec();
    if (box.clickedButton() == dismiss)
        return Choice::Dismiss;
    return box.clickedButton() == box.button(QMessageBox::Ok) ? Choice::Ok : Choice::Cancel;
}

bool KivMessageBox::askYesNo(const QString& text, const QString& informativeText)
{
    if (messageBoxState().headless)
        return takeHeadlessAnswer(text + "\n" + informativeText) == QMessageBox::Yes;
    QMessageBox box;
    box.setText(text);
    box.setInformativeText(informativeText);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    showAsPlainText(box);
    NormalCursor arrow;
    return box.exec() == QMessageBox::Yes;
}

void KivMessageBox::setHeadless(bool headless)
{
    messageBoxState().headless = headless;
}

void KivMessageBox::setNextAnswer(QMessageBox::StandardButton answer)
{
    messageBoxState().nextAnswers.append(answer);
}

QStringList KivMessageBox::shownTexts()
{
    return messageBoxState().shown;
}

void KivMessageBox::clearShownTexts()
{
    messageBoxState().shown.clear();
    messageBoxState().nextAnswers.clear();
}

BoxesCentredOn::BoxesCentredOn(QWidget* window) : previous(messageBoxState().askingWindow)
{
    messageBoxState().askingWindow = window;
}

BoxesCentredOn::~BoxesCentredOn()
{
    messageBoxState().askingWindow = previous;
}

NoticeKind KivMessageBox::lastKind()
{
    return messageBoxState().lastKind;
}

QWidget* KivMessageBox::lastParent()
{
    return messageBoxState().lastParent;
}

namespace {

// The file dialogs' common course: the start folder of the key, the headless answer or the
// dialog itself, and the folder of the first file chosen remembered.
QStringList askForFiles(const QString& caption, const QString& filter, const QString& folderKey,
                        const std::function<QStringList(const QString& startFolder)>& dialog)
{
    FileDialogState& state = fileDialogState();
    state.lastCaption = caption;
    state.lastFilter = filter;
    state.lastStartFolder = rememberedFolder(folderKey);
    QStringList chosen;
    if (state.headless) {
        const QString next = state.nextFileNames.isEmpty() ? QString() : state.nextFileNames.takeFirst();
        if (!next.isEmpty())
            chosen.append(next);
    } else {
        NormalCursor arrow;
        chosen = dialog(state.lastStartFolder);
        chosen.removeAll(QString());
    }
    if (!chosen.isEmpty())
        rememberFolder(folderKey, QFileInfo(chosen.first()).absolutePath());
    return chosen;
}

} // namespace

QString KivFileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& filter,
                                       const QString& folderKey)
{
    return askForFiles(caption, filter, folderKey,
                       [&](const QString& start) {
                           return QStringList{QFileDialog::getOpenFileName(parent, caption, start, filter)};
                       })
        .value(0);
}

QStringList KivFileDialog::getOpenFileNames(QWidget* parent, const QString& caption, const QString& filter,
                                            const QString& folderKey)
{
    return askForFiles(caption, filter, folderKey, [&](const QString& start) {
        return QFileDialog::getOpenFileNames(parent, caption, start, filter);
    });
}

QString KivFileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                                       const QString& folderKey)
{
    return askForFiles(caption, filter, folderKey,
                       [&](const QString& start) {
                           return QStringList{QFileDialog::getSaveFileName(parent, caption, start, filter)};
                       })
        .value(0);
}

QString KivFileDialog::getExistingDirectory(QWidget* parent, const QString& folderKey)
{
    FileDialogState& state = fileDialogState();
    state.lastCaption.clear();
    state.lastFilter.clear();
    state.lastStartFolder = rememberedFolder(folderKey);
    QString chosen;
    if (state.headless)
        chosen = state.nextDirectories.isEmpty() ? QString() : state.nextDirectories.takeFirst();
    else {
        NormalCursor arrow;
        chosen = QFileDialog::getExistingDirectory(parent, QString(), state.lastStartFolder, QFileDialog::ShowDirsOnly);
    }
    if (!chosen.isEmpty())
        rememberFolder(folderKey, QDir::cleanPath(chosen));
    return chosen;
}

void KivFileDialog::setHeadless(bool headless)
{
    fileDialogState().headless = headless;
}

void KivFileDialog::setNextFileName(const QString& fileName)
{
    fileDialogState().nextFileNames.append(fileName);
}

void KivFileDialog::setNextDirectory(const QString& directory)
{
    fileDialogState().nextDirectories.append(directory);
}

QString KivFileDialog::lastCaption()
{
    return fileDialogState().lastCaption;
}

QString KivFileDialog::lastFilter()
{
    return fileDialogState().lastFilter;
}

QString KivFileDialog::lastStartFolder()
{
    return fileDialogState().lastStartFolder;
}

namespace {

class ProgressDialogView : public RunProgress::View
{
public:
    ProgressDialogView(const QString& label, const QString& cancelText, int minimum, int maximum)
        : dialog(new QProgressDialog(label, cancelText, minimum, maximum))
    {
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->setMinimumDuration(0);
        dialog->show();
        // 0 % from the start: without a value the bar stays empty through a run's first long calls.
        dialog->setValue(minimum);
    }
    ~ProgressDialogView() override { delete dialog.data(); }

    void setLabel(const QString& label) override
    {
        if (dialog)
            dialog->setLabelText(label);
        QCoreApplication::processEvents();
    }
    void setValue(int value) override
    {
        if (dialog)
            dialog->setValue(value);
    }
    // A dialog closed by the window manager counts as cancelled too.
    bool wasCanceled() const override { return !dialog || dialog->wasCanceled(); }
    void close() override
    {
        if (dialog)
            dialog->close();
    }

private:
    QPointer<QProgressDialog> dialog;
};

} // namespace

void showRunProgressAsDialog()
{
    RunProgress::setViewFactory([](const QString& label, const QString& cancelText, int minimum, int maximum) {
        return std::make_unique<ProgressDialogView>(label, cancelText, minimum, maximum);
    });
}

void setDialogsHeadlessForTests()
{
    KivMessageBox::setHeadless(true);
    KivFileDialog::setHeadless(true);
}
