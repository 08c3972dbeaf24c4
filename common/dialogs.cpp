#include "common/dialogs.h"

#include "common/runprogress.h"

#include <QFileDialog>
#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QCoreApplication>
#include <QProgressDialog>

namespace {

struct MessageBoxState
{
    bool headless = false;
    QList<QMessageBox::StandardButton> nextAnswers;
    QStringList shown;
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

void KivMessageBox::inform(const QString& text)
{
    if (messageBoxState().headless) {
        takeHeadlessAnswer(text);
        return;
    }
    QMessageBox box;
    box.setText(text);
    showAsPlainText(box);
    box.exec();
}

bool KivMessageBox::confirm(const QString& text, const QString& informativeText)
{
    if (messageBoxState().headless)
        return takeHeadlessAnswer(text + "\n" + informativeText) == QMessageBox::Ok;
    QMessageBox box;
    box.setText(text);
    box.setInformativeText(informativeText);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    showAsPlainText(box);
    return box.exec() == QMessageBox::Ok;
}

KivMessageBox::Choice KivMessageBox::confirmOrDismiss(const QString& text,
                                                      const QString& informativeText,
                                                      const QString& dismissText)
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
    QPushButton* dismiss = box.addButton(dismissText, QMessageBox::RejectRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    showAsPlainText(box);
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

QString KivFileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& filter)
{
    FileDialogState& state = fileDialogState();
    state.lastCaption = caption;
    state.lastFilter = filter;
    if (state.headless)
        return state.nextFileNames.isEmpty() ? QString() : state.nextFileNames.takeFirst();
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QString KivFileDialog::getExistingDirectory(QWidget* parent)
{
    FileDialogState& state = fileDialogState();
    state.lastCaption.clear();
    state.lastFilter.clear();
    if (state.headless)
        return state.nextDirectories.isEmpty() ? QString() : state.nextDirectories.takeFirst();
    return QFileDialog::getExistingDirectory(parent, QString(), QString(), QFileDialog::ShowDirsOnly);
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
