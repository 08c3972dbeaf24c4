#pragma once
// The few dialogs the toolbox shows, behind small seams: production shows them parentless and
// modal with the exact texts; tests queue the answers and read back what would have been shown.

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>

class QProgressDialog;
class QWidget;

class KivMessageBox
{
public:
    // A parentless modal box showing only the text, until the user dismisses it.
    static void inform(const QString& text);
    // A parentless modal box with a text, an informative text and OK / Cancel (OK the default).
    // True when the user chose OK.
    static bool confirm(const QString& text, const QString& informativeText);

    // Tests: answer every box without showing it (Ok unless an answer is queued).
    static void setHeadless(bool headless);
    static void setNextAnswer(QMessageBox::StandardButton answer);
    // Texts of the boxes answered headless, oldest first ("text\ninformative" for confirm).
    static QStringList shownTexts();
    static void clearShownTexts();
};

class KivFileDialog
{
public:
    // The standard open-file dialog: empty start folder, default options; empty when cancelled.
    static QString getOpenFileName(QWidget* parent, const QString& caption, const QString& filter);
    // The standard folder dialog: empty caption and start folder, folders only.
    static QString getExistingDirectory(QWidget* parent);

    // Tests: the next dialog returns this at once (an empty text stands for a cancel).
    static void setHeadless(bool headless);
    static void setNextFileName(const QString& fileName);
    static void setNextDirectory(const QString& directory);
    static QString lastCaption();
    static QString lastFilter();
};

// The modal progress dialog of a long run. The owner sets the value after each step and asks
// wasCanceled(); setting the value lets the event loop turn so the cancel button stays usable.
class KivProgressDialog
{
public:
    KivProgressDialog(const QString& label, const QString& cancelText, int minimum, int maximum);
    ~KivProgressDialog();
    KivProgressDialog(const KivProgressDialog&) = delete;
    KivProgressDialog& operator=(const KivProgressDialog&) = delete;

    void setValue(int value);
    bool wasCanceled() const;
    void close();
    int minimum() const;
    int maximum() const;

    // Tests: the next dialog is cancelled as soon as its value reaches this (-1: never).
    static void setCancelAtValue(int value);
    // Tests: label, range and the values set on the most recent dialog.
    static QString lastLabel();
    static QString lastCancelText();
    static int lastMaximum();
    static QList<int> lastValues();

private:
    QPointer<QProgressDialog> dialog;
    int cancelAtValue = -1;
};

// Puts every seam above into headless test mode.
void setDialogsHeadlessForTests();
