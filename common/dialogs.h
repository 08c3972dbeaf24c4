#pragma once
// The few dialogs the toolbox shows, behind small seams: production shows them parentless and
// modal with the exact texts; tests queue the answers and read back what would have been shown.

#include "common/notice.h"

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>

class QWidget;

// Every box shows its texts as plain text: they may hold what a web site sent, and a label that
// read them as rich text would turn a served <a href="file:..."> into a live link.
class KivMessageBox
{
public:
    enum class Choice { Ok, Cancel, Dismiss };

    // A modal box showing only the text, until the user dismisses it, with the icon of its kind,
    // centred on the window that asked (the active window when none is given).
    static void inform(const QString& text, NoticeKind kind = NoticeKind::Information, QWidget* parent = nullptr);
    // A modal box with a text, an informative text and OK / Cancel (OK the default), the buttons
    // named as given (their standard names when empty). True when the user chose OK.
    static bool confirm(const QString& text, const QString& informativeText, const QString& okText = QString(),
                        const QString& cancelText = QString(), QWidget* parent = nullptr);
    // As confirm, with a third button of the given text beside OK and Cancel (named as given).
    // Headless, a queued QMessageBox::Ignore stands for the third button.
    static Choice confirmOrDismiss(const QString& text, const QString& informativeText, const QString& dismissText,
                                   const QString& okText = QString(), const QString& cancelText = QString());
    // A parentless modal box with Yes / No, No the default. True only when the user chose Yes
    // (headless: only a queued QMessageBox::Yes).
    static bool askYesNo(const QString& text, const QString& informativeText);

    // Tests: answer every box without showing it (Ok unless an answer is queued).
    static void setHeadless(bool headless);
    static void setNextAnswer(QMessageBox::StandardButton answer);
    // Texts of the boxes answered headless, oldest first ("text\ninformative" for the boxes with
    // an informative text).
    static QStringList shownTexts();
    static void clearShownTexts();
    // The kind and the window of the last box answered headless.
    static NoticeKind lastKind();
    static QWidget* lastParent();
};

// While one lives, boxes shown without a window of their own (the office layer's notices) are
// centred on this window: the tool window that is importing or running.
class BoxesCentredOn
{
public:
    explicit BoxesCentredOn(QWidget* window);
    ~BoxesCentredOn();
    BoxesCentredOn(const BoxesCentredOn&) = delete;
    BoxesCentredOn& operator=(const BoxesCentredOn&) = delete;

private:
    QPointer<QWidget> previous;
};

class KivFileDialog
{
public:
    // The standard open-file dialog, default options; empty when cancelled. With a folder key it
    // opens in the folder last chosen under that key and remembers the new one (QSettings).
    static QString getOpenFileName(QWidget* parent, const QString& caption, const QString& filter,
                                   const QString& folderKey = QString());
    // Several files at once, as above; empty when cancelled.
    static QStringList getOpenFileNames(QWidget* parent, const QString& caption, const QString& filter,
                                        const QString& folderKey = QString());
    // The standard save-file dialog, as above; empty when cancelled.
    static QString getSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                                   const QString& folderKey = QString());
    // The standard folder dialog: empty caption, folders only, the start folder as above.
    static QString getExistingDirectory(QWidget* parent, const QString& folderKey = QString());

    // Tests: the next dialog returns this at once (an empty text stands for a cancel); one name
    // for a dialog of several files.
    static void setHeadless(bool headless);
    static void setNextFileName(const QString& fileName);
    static void setNextDirectory(const QString& directory);
    static QString lastCaption();
    static QString lastFilter();
    static QString lastStartFolder();
};

// Runs show their progress as a modal progress dialog (a turning event loop keeps its cancel
// button usable); the windows' start-up calls this.
void showRunProgressAsDialog();

// Puts every seam above into headless test mode.
void setDialogsHeadlessForTests();
