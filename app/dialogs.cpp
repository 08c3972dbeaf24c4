#include "app/dialogs.h"

#include <QFileDialog>
#include <QList>
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

struct ProgressState
{
    int cancelAtValue = -1;
    QString lastLabel;
    QString lastCancelText;
    int lastMaximum = 0;
    QList<int> lastValues;
};

ProgressState& progressState()
{
    static ProgressState state;
    return state;
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
    return box.exec() == QMessageBox::Ok;
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

KivProgressDialog::KivProgressDialog(const QString& label, const QString& cancelText, int minimum,
                                     int maximum)
    : dialog(new QProgressDialog(label, cancelText, minimum, maximum))
{
    ProgressState& state = progressState();
    cancelAtValue = state.cancelAtValue;
    state.cancelAtValue = -1;
    state.lastLabel = label;
    state.lastCancelText = cancelText;
    state.lastMaximum = maximum;
    state.lastValues.clear();
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(0);
    dialog->show();
}

KivProgressDialog::~KivProgressDialog()
{
    delete dialog.data();
}

void KivProgressDialog::setValue(int value)
{
    progressState().lastValues.append(value);
    if (!dialog)
        return;
    dialog->setValue(value);
    if (cancelAtValue >= 0 && value >= cancelAtValue)
        dialog->cancel();
}

bool KivProgressDialog::wasCanceled() const
{
    // A dialog closed by the window manager counts as cancelled too.
    return !dialog || dialog->wasCanceled();
}

void KivProgressDialog::close()
{
    if (dialog)
        dialog->close();
}

int KivProgressDialog::minimum() const
{
    return dialog ? dialog->minimum() : 0;
}

int KivProgressDialog::maximum() const
{
    return dialog ? dialog->maximum() : 0;
}

void KivProgressDialog::setCancelAtValue(int value)
{
    progressState().cancelAtValue = value;
}

QString KivProgressDialog::lastLabel()
{
    return progressState().lastLabel;
}

QString KivProgressDialog::lastCancelText()
{
    return progressState().lastCancelText;
}

int KivProgressDialog::lastMaximum()
{
    return progressState().lastMaximum;
}

QList<int> KivProgressDialog::lastValues()
{
    return progressState().lastValues;
}

void setDialogsHeadlessForTests()
{
    KivMessageBox::setHeadless(true);
    KivFileDialog::setHeadless(true);
}
